vantora_add_test(NAME tst_linkbutton SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_linkbutton.cpp
  LIBS vantora_core vantora_test_headers LABELS gui)
