vantora_add_test(NAME tst_quoteformat
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quoteformat.cpp
  LIBS vantora_feed
  LABELS unit)

vantora_add_test(NAME tst_marketsource
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_marketsource.cpp ${CMAKE_CURRENT_LIST_DIR}/AnswerCleaning.h
  LIBS vantora_feed
  LABELS unit)

vantora_add_test(NAME tst_quotefeed
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quotefeed.cpp
  LIBS vantora_feed vantora_test_headers
  LABELS net unit)
target_compile_definitions(tst_quotefeed PRIVATE
  VANTORA_QUOTED_PATH="$<TARGET_FILE:vantora-quoted>")
add_dependencies(tst_quotefeed vantora-quoted)

vantora_add_test(NAME tst_livesources
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_livesources.cpp
  LIBS vantora_feed vantora_test_headers
  LABELS net unit)
target_compile_definitions(tst_livesources PRIVATE
  VANTORA_UPSTREAM_DIR="${CMAKE_CURRENT_LIST_DIR}/upstream")
