# bench_ticker: Vantora's main window started for real (built-in feed, index download, the
# Slidetape control) with index lines scrolling at speed 3; reports the process's share of
# one core and the steadiness of the frame interval. Run it through run_ticker_bench.sh,
# which puts it (and the real vantora program) under Xvfb.
add_executable(bench_ticker ${CMAKE_CURRENT_LIST_DIR}/bench_ticker.cpp)
target_link_libraries(bench_ticker PRIVATE vantora_core vantora_warnings)
add_dependencies(bench_ticker slidetape)
