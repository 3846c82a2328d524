vantora_add_test(NAME tst_mainwindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow.cpp
  LIBS vantora_core vantora_feed vantora_test_support
  LABELS gui net)
