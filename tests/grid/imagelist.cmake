vantora_add_test(NAME tst_imagelist SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_imagelist.cpp
  LIBS vantora_core vantora_test_headers LABELS gui)
