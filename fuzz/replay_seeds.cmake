# Writes the seed corpus afresh and replays every seed through the fuzz target.
# EMULATOR, when set, runs the programs of a cross build (Wine for Windows).
file(REMOVE_RECURSE "${FOLDER}")
execute_process(COMMAND ${EMULATOR} "${SEEDS}" "${FOLDER}" RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "writing the seed corpus failed")
endif()
file(GLOB seeds "${FOLDER}/*")
execute_process(COMMAND ${EMULATOR} "${REPLAY}" ${seeds} RESULT_VARIABLE replayed)
if(NOT replayed EQUAL 0)
  message(FATAL_ERROR "replaying the seed corpus failed")
endif()
