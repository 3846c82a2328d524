vantora_add_test(NAME tst_platformservices
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_platformservices.cpp
  LIBS vantora_platform LABELS gui)
