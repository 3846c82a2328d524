# bench_feed: one quote update (30 stocks and 42 indices) against the built-in feed on
# loopback through Transfer, plus the feed's formatting alone.
# Include from bench/CMakeLists.txt after find_package(benchmark REQUIRED).
add_executable(bench_feed ${CMAKE_CURRENT_LIST_DIR}/bench_feed.cpp)
target_link_libraries(bench_feed PRIVATE vantora_net vantora_feed benchmark::benchmark
  vantora_warnings)
# The stand-in upstream of the live sources comes from the feed's tests.
target_include_directories(bench_feed PRIVATE ${CMAKE_SOURCE_DIR}/tests/feed)
