# Fails when a file under CORE_DIR includes anything but a C++ standard header
# (in angle brackets) or one of the core's own headers (in quotes), or when a
# core header is included against the direction of the layers: base/ at the
# bottom, the rule folders above it, engine/ (the scheduler) above them,
# form/ (the window) on top.
if(NOT CORE_DIR)
  message(FATAL_ERROR "CORE_DIR is not set")
endif()

set(standard_headers
  algorithm any array atomic bit bitset cassert cctype cerrno cfloat charconv chrono cinttypes
  climits clocale cmath compare complex concepts condition_variable cstddef cstdint cstdio
  cstdlib cstring ctime cwchar cwctype deque exception filesystem format forward_list fstream
  functional initializer_list iomanip ios iosfwd iostream istream iterator limits list locale
  map memory mutex new numbers numeric optional ostream queue random ranges ratio regex
  set source_location span sstream stack stdexcept stop_token streambuf string string_view
  system_error thread tuple type_traits typeinfo unordered_map unordered_set utility variant
  vector version)

# The folders each folder may include from. A folder not named here is not a
# layer of the core and may include any core header.
set(allowed_base base)
set(allowed_tasks base tasks)
set(allowed_compile base tasks compile)
set(allowed_scheduler base tasks compile scheduler)
set(allowed_schedule_file base tasks schedule_file)
set(allowed_shell base tasks schedule_file shell)
set(allowed_engine base tasks compile scheduler schedule_file shell engine)
set(allowed_form base tasks compile scheduler schedule_file shell engine form)

file(GLOB_RECURSE files "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(problems "")
foreach(file IN LISTS files)
  file(RELATIVE_PATH relative "${CORE_DIR}" "${file}")
  string(REGEX REPLACE "/.*" "" layer "${relative}")
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      list(FIND standard_headers "${CMAKE_MATCH_1}" found)
      if(found EQUAL -1)
        string(APPEND problems "\n  ${file}: <${CMAKE_MATCH_1}> is not a C++ standard header")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header "${CMAKE_MATCH_1}")
      string(REGEX REPLACE "/.*" "" included_layer "${header}")
      if(NOT EXISTS "${CORE_DIR}/${header}")
        string(APPEND problems "\n  ${file}: \"${header}\" is not a header of the core")
      elseif(DEFINED allowed_${layer})
        list(FIND allowed_${layer} "${included_layer}" found)
        if(found EQUAL -1)
          string(APPEND problems
            "\n  ${file}: ${layer}/ may not include \"${header}\" (the layers point down only)")
        endif()
      endif()
    else()
      string(APPEND problems "\n  ${file}: unreadable include: ${line}")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "The core must use the C++ standard library only, in one direction:${problems}")
endif()
