vantora_add_test(NAME tst_tradetracker
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tradetracker.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)
