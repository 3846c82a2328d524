vantora_add_test(NAME tst_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup.cpp
  LIBS vantora_core vantora_test_support LABELS gui)
vantora_add_test(NAME tst_programlife SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_programlife.cpp
  LIBS vantora_core LABELS gui)
target_compile_definitions(tst_programlife PRIVATE VANTORA_EXECUTABLE="$<TARGET_FILE:vantora>")
add_dependencies(tst_programlife vantora)
vantora_add_test(NAME tst_realprogram SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_realprogram.cpp
  LIBS vantora_core vantora_feed vantora_test_headers LABELS gui net)
target_compile_definitions(tst_realprogram PRIVATE VANTORA_EXECUTABLE="$<TARGET_FILE:vantora>")
add_dependencies(tst_realprogram vantora)
