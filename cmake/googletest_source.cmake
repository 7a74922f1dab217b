# GoogleTest compiled inside the build from its source (Debian's googletest
# package puts it in /usr/src/googletest), for builds that cannot use the
# host's prebuilt libraries: the cross build for Windows. Nothing is
# downloaded. Its CMake project names the targets as find_package(GTest)
# does (GTest::gtest, GTest::gtest_main).
set(KIV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source folder")
if(NOT EXISTS ${KIV_GOOGLETEST_SOURCE}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest source in ${KIV_GOOGLETEST_SOURCE}: install Debian's googletest package")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# SYSTEM: its headers are not held to this project's warning set.
add_subdirectory(${KIV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
