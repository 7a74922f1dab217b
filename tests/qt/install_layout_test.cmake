# Installs the build into a scratch prefix and checks the desktop program's
# files: cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=bin -DDATADIR=share
#              -P install_layout_test.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(share ${PREFIX}/${DATADIR})
set(expected
  ${PREFIX}/${BINDIR}/kiv
  ${share}/kiv/kiv-help.html
  ${share}/applications/kiv.desktop
  ${share}/icons/hicolor/scalable/apps/kiv.svg)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected ${share}/icons/hicolor/${size}x${size}/apps/kiv.png)
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(STRINGS ${share}/applications/kiv.desktop entry)
foreach(line "Name=Kiv" "GenericName=Database task scheduler" "Exec=kiv" "Icon=kiv"
             "Categories=Utility;Database;")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "kiv.desktop lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
