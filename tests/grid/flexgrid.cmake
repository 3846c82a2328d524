vantora_add_test(NAME tst_flexgrid SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_flexgrid.cpp
  LIBS vantora_core LABELS gui)
