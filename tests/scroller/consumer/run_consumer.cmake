# Installs Slidetape (its install component only) into a fresh prefix, checks what was
# installed, then configures, builds and runs the consumer program against it.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DCXX=...
#         -DSANITIZE_FLAGS=... -P run_consumer.cmake
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ${out}")
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --component Slidetape --prefix ${prefix})

file(GLOB_RECURSE libraries ${prefix}/*/libslidetape-widget.so.1)
if(NOT libraries)
  message(FATAL_ERROR "libslidetape-widget.so.1 was not installed")
endif()
file(GLOB_RECURSE versions ${prefix}/*/SlidetapeConfigVersion.cmake)
if(NOT versions)
  message(FATAL_ERROR "SlidetapeConfigVersion.cmake was not installed")
endif()
# The installed headers declare no data of the implementation.
file(GLOB headers ${prefix}/include/slidetape/*.h)
foreach(h IN LISTS headers)
  file(READ ${h} text)
  if(text MATCHES "[^A-Za-z_]m_[A-Za-z]")
    message(FATAL_ERROR "${h} declares private members")
  endif()
endforeach()

set(flags)
if(SANITIZE_FLAGS)
  set(flags "-DCMAKE_CXX_FLAGS=${SANITIZE_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZE_FLAGS}")
endif()
run("configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
  -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix} ${flags})
run("build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run("run" ${WORK_DIR}/build/consumer)
