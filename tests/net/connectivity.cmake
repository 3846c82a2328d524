# Connectivity against a mocked NetworkManager (python3-dbusmock) on a private bus that the
# test starts itself.
vantora_add_test(NAME tst_connectivity
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_connectivity.cpp
  LIBS vantora_core Qt6::DBus vantora_test_support
  LABELS net gui)
