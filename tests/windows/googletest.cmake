# GoogleTest for a cross build: Debian's libgtest-dev holds the build
# machine's archives only, so the framework is compiled here for the target
# from the sources of Debian's googletest package.
set(MORAVEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's sources, built for the target of a cross build")
if(NOT EXISTS ${MORAVEL_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources at ${MORAVEL_GOOGLETEST_SOURCE}: "
                      "install Debian's googletest (tools/prerequisites windows)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${MORAVEL_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The framework is not this project's code: its warnings are not errors here.
foreach(target gtest gtest_main)
  set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS -ffp-contract=off -fno-fast-math)
endforeach()
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
