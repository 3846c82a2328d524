vantora_add_test(NAME tst_updatecycle
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_updatecycle.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)
