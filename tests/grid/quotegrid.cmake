vantora_add_test(NAME tst_quotegrid
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quotegrid.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)
