vantora_add_test(NAME tst_portfolios
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portfolios.cpp
  LIBS vantora_core
  LABELS gui)
target_include_directories(tst_portfolios PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../options)
