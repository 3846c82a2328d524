vantora_add_test(NAME tst_settingsstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_settingsstore.cpp
  LIBS vantora_core LABELS unit)
