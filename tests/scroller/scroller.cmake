vantora_add_test(NAME tst_horizontalscroller
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_horizontalscroller.cpp
  LIBS Slidetape::HorizontalScroller Qt6::Widgets
  LABELS gui)
# The plugin is loaded by the one-copy check.
add_dependencies(tst_horizontalscroller slidetape)

# A program outside the tree: the installed library through find_package(Slidetape 1.0).
set(_consumer_sanitize "")
if(VANTORA_SANITIZE)
  set(_consumer_sanitize "-fsanitize=address,undefined")
endif()
add_test(NAME tst_slidetape_consumer COMMAND ${CMAKE_COMMAND}
  -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/consumer
  -DWORK_DIR=${CMAKE_BINARY_DIR}/testwork/tst_slidetape_consumer
  -DGENERATOR=${CMAKE_GENERATOR} -DCXX=${CMAKE_CXX_COMPILER}
  -DSANITIZE_FLAGS=${_consumer_sanitize}
  -P ${CMAKE_CURRENT_LIST_DIR}/consumer/run_consumer.cmake)
set_tests_properties(tst_slidetape_consumer PROPERTIES LABELS "unit" TIMEOUT 600
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
