# Cross build of the native 32-bit Windows program with mingw-w64 (Debian's
# i686-w64-mingw32 tools), with the posix thread model that GoogleTest's
# std::mutex needs. GCC's runtime and winpthread are linked statically, so the
# executables import only DLLs that come with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(kiv_mingw_triplet i686-w64-mingw32)
set(CMAKE_C_COMPILER ${kiv_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kiv_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${kiv_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${kiv_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The static runtime brings its debugging sections along; optimised builds drop them.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")

# Tests and build-time steps run the Windows programs under Wine, in a prefix
# of the build folder's own (made afresh by the test run, see tests/win32).
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine_emulator.sh ${CMAKE_BINARY_DIR}/wine-prefix)
