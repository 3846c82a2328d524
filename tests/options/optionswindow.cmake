vantora_add_test(NAME tst_optionswindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_optionswindow.cpp ${CMAKE_CURRENT_LIST_DIR}/MainHarness.h
  LIBS vantora_core
  LABELS gui)
