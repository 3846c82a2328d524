# The one test that starts the real web engine.
if(TARGET vantora_webengine)
  vantora_add_test(NAME tst_webengine SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_webengine.cpp
    LIBS vantora_core vantora_webengine vantora_feed vantora_test_support LABELS gui net)
else()
  vantora_missing_test(NAME tst_webengine WHY "Qt WebEngine is not installed (qt6-webengine-dev)")
endif()
