vantora_add_test(NAME tst_sourcekeys
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sourcekeys.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui net)
