# bench_quotes: parsing an answer and filling 30 grid rows, and a whole update (30 stocks,
# then 42 index requests) against the built-in feed on loopback.
# bench_first_quotes: time from process start to the first quotes in the grid (the splash's
# three seconds left out) and the resident memory then.
# Include from bench/CMakeLists.txt after find_package(benchmark REQUIRED).
add_executable(bench_quotes ${CMAKE_CURRENT_LIST_DIR}/bench_quotes.cpp)
target_link_libraries(bench_quotes PRIVATE vantora_core vantora_test_support benchmark::benchmark
  vantora_warnings)

add_executable(bench_first_quotes ${CMAKE_CURRENT_LIST_DIR}/bench_first_quotes.cpp)
target_link_libraries(bench_first_quotes PRIVATE vantora_core vantora_warnings)
