vantora_add_test(NAME tst_browserpanel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_browserpanel.cpp
  LIBS vantora_core vantora_feed vantora_test_support LABELS gui)
