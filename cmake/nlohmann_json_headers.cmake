# nlohmann's JSON library for the cross build for Windows. It is header-only
# and the same for every target, but Debian installs it in /usr/include,
# which the cross compiler must never search (the host's C headers live
# there). So its one folder is copied into the build and named as
# find_package(nlohmann_json) names it.
set(KIV_NLOHMANN_JSON_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann JSON's header folder")
if(NOT EXISTS ${KIV_NLOHMANN_JSON_HEADERS}/json.hpp)
  message(FATAL_ERROR "No nlohmann JSON headers in ${KIV_NLOHMANN_JSON_HEADERS}: install Debian's nlohmann-json3-dev package")
endif()
file(COPY ${KIV_NLOHMANN_JSON_HEADERS} DESTINATION ${CMAKE_BINARY_DIR}/nlohmann_json/include)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
# SYSTEM: its headers are not held to this project's warning set.
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/nlohmann_json/include
  INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/nlohmann_json/include)
