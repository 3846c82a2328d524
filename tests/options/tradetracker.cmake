vantora_add_test(NAME tst_tradetracker
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tradetracker.cpp ${CMAKE_CURRENT_LIST_DIR}/MainHarness.h
  LIBS vantora_core
  LABELS gui)
