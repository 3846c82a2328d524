# find_package(Slidetape) for forms that place the HorizontalScroller control directly.
include(CMakeFindDependencyMacro)
find_dependency(Qt6 COMPONENTS Core Gui Widgets)
include("${CMAKE_CURRENT_LIST_DIR}/SlidetapeTargets.cmake")
