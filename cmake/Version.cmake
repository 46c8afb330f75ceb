# The version lives in one place: the project() line of the top CMakeLists.txt. The package, the
# programs' --version and the About box all read it from there; C++ code includes "dk61version.h"
# (DK61_VERSION, e.g. "4.0.0") after linking the INTERFACE target dk61version.
set(DK61_VERSION ${CMAKE_PROJECT_VERSION})
set(DK61_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version/dk61version.h.in
    ${DK61_GENERATED_DIR}/dk61version.h @ONLY)

add_library(dk61version INTERFACE)
target_include_directories(dk61version INTERFACE ${DK61_GENERATED_DIR})
