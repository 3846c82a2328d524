# Number reading and formatting, and money. The sources are compiled into the tests
# directly, so these tests need nothing of Vantora beyond Qt Core.
set(_common_src ${PROJECT_SOURCE_DIR}/src/common)

vantora_add_test(NAME tst_numbers
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_numbers.cpp ${_common_src}/Numbers.cpp
  LIBS Qt6::Core
  LABELS unit)
target_include_directories(tst_numbers PRIVATE ${PROJECT_SOURCE_DIR}/src)

vantora_add_test(NAME tst_money
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_money.cpp ${_common_src}/Money.cpp ${_common_src}/Numbers.cpp
  LIBS Qt6::Core
  LABELS unit)
target_include_directories(tst_money PRIVATE ${PROJECT_SOURCE_DIR}/src)
