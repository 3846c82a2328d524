vantora_add_test(NAME tst_changehighlighter
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_changehighlighter.cpp
  LIBS vantora_core
  LABELS gui)

vantora_add_test(NAME tst_alertchecker
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_alertchecker.cpp
  LIBS vantora_core vantora_test_support
  LABELS gui)

vantora_add_test(NAME tst_quotelog
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quotelog.cpp
  LIBS vantora_core vantora_feed vantora_test_support
  LABELS gui net)

vantora_add_test(NAME tst_portfoliovaluer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portfoliovaluer.cpp
  LIBS vantora_core
  LABELS gui)
