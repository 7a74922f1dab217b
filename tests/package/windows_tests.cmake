# The installer and the zip (packaging/windows) made by this build and
# checked under Wine. tests/win32/run_wine_tests.sh runs them in its X
# session with a notification-area host.

# Writes the schedule the installed Kiv opens at log-on.
add_executable(kiv_package_schedule_writer schedule_writer.cpp)
target_link_libraries(kiv_package_schedule_writer PRIVATE kivwin32_system kiv_warnings)

# Makes both, as scripts/package.sh does.
add_test(NAME package_win32_build
  COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target kiv_installer kiv_zip)
set_tests_properties(package_win32_build PROPERTIES FIXTURES_SETUP kiv_installer TIMEOUT 600)

# In a Wine prefix of its own, made fresh for every run.
add_test(NAME package_win32_install
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/installer_test.sh
          ${CMAKE_BINARY_DIR}/installer-prefix
          ${CMAKE_BINARY_DIR}/packages/Kiv-${PROJECT_VERSION}-setup.exe
          ${CMAKE_BINARY_DIR}/packages/Kiv-${PROJECT_VERSION}-win32.zip
          $<TARGET_FILE:kiv_package_schedule_writer>
          ${PROJECT_SOURCE_DIR}/cmake/wine_emulator.sh)
set_tests_properties(package_win32_install PROPERTIES
  FIXTURES_REQUIRED kiv_installer RESOURCE_LOCK wine_display TIMEOUT 600)
set_tests_properties(package_win32_build package_win32_install PROPERTIES LABELS "package;win32")
