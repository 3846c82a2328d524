# The secret store against a real gnome-keyring-daemon on a private session bus.
vantora_add_test(NAME tst_secretstore
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_secretstore.cpp
  LIBS vantora_platform Qt6::DBus
  LABELS unit)
