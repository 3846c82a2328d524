vantora_add_test(NAME tst_writefailurenotice
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_writefailurenotice.cpp
  LIBS vantora_test_support LABELS gui)
