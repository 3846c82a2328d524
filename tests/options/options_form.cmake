vantora_add_test(NAME tst_frmoptions
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frmoptions.cpp
  LIBS vantora_core
  LABELS gui)
