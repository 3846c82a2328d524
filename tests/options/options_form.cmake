vantora_add_test(NAME tst_frmoptions
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frmoptions.cpp
  LIBS vantora_core
  LABELS gui)
# The test includes the form's generated header (to check the public ui member); it is
# generated for vantora_core, so the test looks for it there instead of running uic itself.
set_target_properties(tst_frmoptions PROPERTIES AUTOUIC OFF)
target_include_directories(tst_frmoptions PRIVATE
  $<TARGET_PROPERTY:vantora_core,BINARY_DIR>/vantora_core_autogen/include)
