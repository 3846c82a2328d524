# bench_soak: 10,000 accelerated update cycles (quotes, indices, ticker) against the built-in
# feed; reports the resident memory at the start and at the end. Run: bench_soak [cycles].
add_executable(bench_soak ${CMAKE_CURRENT_LIST_DIR}/bench_soak.cpp)
target_link_libraries(bench_soak PRIVATE vantora_core vantora_warnings)
add_dependencies(bench_soak slidetape)
