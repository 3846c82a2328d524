vantora_add_test(NAME tst_quoteparser
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quoteparser.cpp
  LIBS vantora_core
  LABELS unit)

vantora_add_test(NAME tst_quotedownload
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quotedownload.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui net)
