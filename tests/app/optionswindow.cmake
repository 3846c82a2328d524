vantora_add_test(NAME tst_optionswindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_optionswindow.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)
# A desktop-sized screen (the offscreen default of 800x800 is narrower than the window), so
# that the window's own size and place are what the tests see.
set_property(TEST tst_optionswindow APPEND PROPERTY ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_LIST_DIR}/desktop-screen.json")
