vantora_add_test(NAME tst_quotesourcekeys
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quotesourcekeys.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui net)
