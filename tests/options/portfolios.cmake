vantora_add_test(NAME tst_portfolios
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portfolios.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)
