vantora_add_test(NAME tst_wayland SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_wayland.cpp
  LIBS vantora_feed LABELS gui)
target_compile_definitions(tst_wayland PRIVATE VANTORA_EXECUTABLE="$<TARGET_FILE:vantora>")
add_dependencies(tst_wayland vantora)
