# bench_feed: one quote update (30 stocks and 42 indices) against the built-in feed on
# loopback through Transfer, plus the feed's formatting alone.
# Include from bench/CMakeLists.txt after find_package(benchmark REQUIRED).
add_executable(bench_feed ${CMAKE_CURRENT_LIST_DIR}/bench_feed.cpp
  ${PROJECT_SOURCE_DIR}/src/net/Transfer.cpp ${PROJECT_SOURCE_DIR}/src/net/Transfer.h)
target_include_directories(bench_feed PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(bench_feed PRIVATE vantora_feed Qt6::Network benchmark::benchmark
  vantora_warnings)
