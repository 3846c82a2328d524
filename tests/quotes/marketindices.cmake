vantora_add_test(NAME tst_marketindices
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_marketindices.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui net)
add_dependencies(tst_marketindices slidetape)
