vantora_add_test(NAME tst_sounds SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sounds.cpp
  LIBS vantora_test_support LABELS unit)
