vantora_add_test(NAME tst_sourcekeys
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sourcekeys.cpp
  LIBS vantora_core
  LABELS gui net)
target_include_directories(tst_sourcekeys PRIVATE ${CMAKE_SOURCE_DIR}/tests/feed)
