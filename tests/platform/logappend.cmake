vantora_add_test(NAME tst_logappend SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_logappend.cpp
  LIBS vantora_platform LABELS unit)
