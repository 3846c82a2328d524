vantora_add_test(NAME tst_mainwindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow.cpp
  LIBS vantora_core vantora_feed vantora_test_support
  LABELS gui net)
# The zoomed layouts again at a device pixel ratio of 2, in a settings folder of their own.
add_test(NAME tst_mainwindow_ratio2 COMMAND tst_mainwindow zoomedLayout)
get_test_property(tst_mainwindow ENVIRONMENT _env)
string(REPLACE "testwork/tst_mainwindow" "testwork/tst_mainwindow_ratio2" _env "${_env}")
set_tests_properties(tst_mainwindow_ratio2 PROPERTIES LABELS "gui;net" TIMEOUT 300
  ENVIRONMENT "${_env};QT_SCALE_FACTOR=2")
foreach(_dir config data runtime home)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/testwork/tst_mainwindow_ratio2/${_dir})
endforeach()
