# Fails when a file under CORE_DIR includes anything but a C++ standard header
# (in angle brackets) or one of the core's own headers (in quotes).
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

file(GLOB_RECURSE files "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(problems "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      list(FIND standard_headers "${CMAKE_MATCH_1}" found)
      if(found EQUAL -1)
        string(APPEND problems "\n  ${file}: <${CMAKE_MATCH_1}> is not a C++ standard header")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      if(NOT EXISTS "${CORE_DIR}/${CMAKE_MATCH_1}")
        string(APPEND problems "\n  ${file}: \"${CMAKE_MATCH_1}\" is not a header of the core")
      endif()
    else()
      string(APPEND problems "\n  ${file}: unreadable include: ${line}")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "The core must use the C++ standard library only:${problems}")
endif()
