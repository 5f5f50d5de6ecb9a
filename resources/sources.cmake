# The embedded tune: tunegen.py encodes the note list as a Standard MIDI
# File and writes it as a C++ array (and as a .mid file for the tune tests);
# it refuses to write a file whose size or layout is wrong.
set(MEANDRA_TUNE_SOURCE ${PROJECT_BINARY_DIR}/generated/tune_data.cpp)
set(MEANDRA_TUNE_MIDI ${PROJECT_BINARY_DIR}/generated/tune.mid)
add_custom_command(
  OUTPUT ${MEANDRA_TUNE_SOURCE} ${MEANDRA_TUNE_MIDI}
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/tunegen.py
          ${CMAKE_CURRENT_LIST_DIR}/tune.notes ${MEANDRA_TUNE_SOURCE} ${MEANDRA_TUNE_MIDI}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tunegen.py ${CMAKE_CURRENT_LIST_DIR}/tune.notes
  COMMENT "Writing the embedded tune from resources/tune.notes"
  VERBATIM)
list(APPEND PURE_SOURCES ${MEANDRA_TUNE_SOURCE})
