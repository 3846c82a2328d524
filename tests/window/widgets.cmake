vantora_add_test(NAME tst_linkbutton_imagelist
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_linkbutton_imagelist.cpp
  LIBS vantora_core
  LABELS gui)
