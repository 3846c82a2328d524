# bench_feed: one quote update (30 stocks and 42 indices) against the built-in feed on
# loopback through Transfer, plus the feed's formatting alone.
# Include from bench/CMakeLists.txt after find_package(benchmark REQUIRED).
add_executable(bench_feed ${CMAKE_CURRENT_LIST_DIR}/bench_feed.cpp)
# The stand-in upstream of the live sources comes from the tests' shared headers.
target_link_libraries(bench_feed PRIVATE vantora_net vantora_feed vantora_test_headers
  benchmark::benchmark vantora_warnings)
