# ScrollerHost loads the real Slidetape plugin from the build's lib/ folder.
if(SCROLLERHOST_STANDALONE)
  # Fallback while vantora_core does not build: the loader compiled on its own.
  vantora_add_test(NAME tst_scrollerhost
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_scrollerhost.cpp
            ${CMAKE_CURRENT_LIST_DIR}/../../src/window/ScrollerHost.cpp
            ${CMAKE_CURRENT_LIST_DIR}/../../src/window/ScrollerHost.h
    LIBS Qt6::Widgets
    LABELS gui)
  target_include_directories(tst_scrollerhost PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../../src)
else()
  vantora_add_test(NAME tst_scrollerhost
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_scrollerhost.cpp
    LIBS vantora_core
    LABELS gui)
endif()
add_dependencies(tst_scrollerhost slidetape)
