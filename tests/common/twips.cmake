vantora_add_test(NAME tst_twips SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_twips.cpp
  LIBS vantora_core LABELS gui)
