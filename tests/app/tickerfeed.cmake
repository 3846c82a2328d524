vantora_add_test(NAME tst_tickerfeed
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tickerfeed.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)
add_dependencies(tst_tickerfeed slidetape)
