vantora_add_test(NAME tst_settingsio SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_settingsio.cpp
  LIBS vantora_core vantora_test_support LABELS gui)
