# Transfer needs nothing but Qt Network, so its test builds it on its own and talks to the
# built-in feed over loopback.
vantora_add_test(NAME tst_transfer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_transfer.cpp
          ${PROJECT_SOURCE_DIR}/src/net/Transfer.cpp ${PROJECT_SOURCE_DIR}/src/net/Transfer.h
  LIBS vantora_feed Qt6::Network
  LABELS net unit)
target_include_directories(tst_transfer PRIVATE ${PROJECT_SOURCE_DIR}/src)
