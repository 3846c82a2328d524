vantora_add_test(NAME tst_horizontalscroller
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_horizontalscroller.cpp
  LIBS Slidetape::HorizontalScroller Qt6::Widgets
  LABELS gui)
