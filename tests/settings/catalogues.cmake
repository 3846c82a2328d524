vantora_add_test(NAME tst_catalogues SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_catalogues.cpp
  LIBS vantora_core LABELS gui)
