# find_package(Slidetape 1.0) for programs that place the HorizontalScroller control directly:
# link Slidetape::HorizontalScroller, #include <slidetape/HorizontalScroller.h>.
include(CMakeFindDependencyMacro)
find_dependency(Qt6 COMPONENTS Core Gui Widgets)
include("${CMAKE_CURRENT_LIST_DIR}/SlidetapeTargets.cmake")
