vantora_add_test(NAME tst_clickablelabel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clickablelabel.cpp
  LIBS vantora_core vantora_test_headers LABELS gui)
