# KIV_COPYRIGHT: the copyright line of LICENSE ("Copyright (c) YEAR HOLDER"),
# written there once and shown by the packages and by Kiv.exe's version.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE KIV_COPYRIGHT REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
if(NOT KIV_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) YEAR HOLDER\"")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
