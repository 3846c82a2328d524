vantora_add_test(NAME tst_frmstockmain
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frmstockmain.cpp
  LIBS vantora_core
  LABELS gui)
