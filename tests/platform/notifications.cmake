# Desktop notifications against python3-dbusmock's notification daemon on a private bus.
vantora_add_test(NAME tst_desktopnotifications
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_desktopnotifications.cpp
  LIBS vantora_platform Qt6::DBus
  LABELS unit)
