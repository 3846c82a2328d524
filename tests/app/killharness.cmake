# Kills the real program with SIGKILL at random moments of its exit save and of its quote
# log appends, and checks the store and the logs after each kill (tests/app/killharness.py).
# The suite runs a few kills per phase; the full check is the script run by hand with its
# default of 100 kills per phase:
#   tests/app/killharness.py build-asan/bin/vantora
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(VANTORA_KILL_RUNS 3 CACHE STRING "Kills per phase in the suite's run of the kill harness")
  add_test(NAME killharness
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/killharness.py $<TARGET_FILE:vantora>
            --runs ${VANTORA_KILL_RUNS})
  set_tests_properties(killharness PROPERTIES
    LABELS "gui;net"
    TIMEOUT 300
    ENVIRONMENT "VANTORA_DATA_DIR=${CMAKE_BINARY_DIR}/bin;VANTORA_PLUGIN_DIR=${CMAKE_BINARY_DIR}/lib;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()
