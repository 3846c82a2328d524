# vantora_add_test(NAME <name> SOURCES <files...> LIBS <targets...> LABELS <labels...>)
# Every test runs headless with its own settings folder and program folder.
function(vantora_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test vantora_warnings)
  # Tests include the forms' generated headers from the window and options libraries; they
  # have no forms of their own for uic to process.
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/tests
    AUTOUIC OFF)
  # The program's read-only files (agreement text, sounds) are found beside the programs.
  if(TARGET vantora_data)
    add_dependencies(${T_NAME} vantora_data)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(work ${CMAKE_BINARY_DIR}/testwork/${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${T_LABELS}"
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${work}/config;XDG_DATA_HOME=${work}/data;XDG_RUNTIME_DIR=${work}/runtime;VANTORA_HOME=${work}/home;VANTORA_DATA_DIR=${CMAKE_BINARY_DIR}/bin;VANTORA_PLUGIN_DIR=${CMAKE_BINARY_DIR}/lib;QTWEBENGINE_DISABLE_SANDBOX=1;ASAN_OPTIONS=detect_leaks=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  file(MAKE_DIRECTORY ${work}/config ${work}/data ${work}/runtime ${work}/home)
endfunction()

# vantora_missing_test(NAME <name> WHY <text>)
# A test that cannot be built here because a package is missing. On a developer's machine it
# is left out with a note; with CI set it stands as a failing test, so that a missing install
# step cannot hide behind a green run.
function(vantora_missing_test)
  cmake_parse_arguments(M "" "NAME;WHY" "" ${ARGN})
  if(DEFINED ENV{CI})
    add_test(NAME ${M_NAME} COMMAND sh -c "echo '${M_NAME} cannot run: ${M_WHY}'; exit 1")
  else()
    message(STATUS "${M_NAME} left out: ${M_WHY}")
  endif()
endfunction()
