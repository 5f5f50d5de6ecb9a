# The icon is drawn at build time from resources/ballicon.py, and the
# version label is written from the file VERSION; the resource script picks
# both up from the generated directory.
if(WIN32)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/version.h @ONLY)
  set(MEANDRA_ICON ${PROJECT_BINARY_DIR}/generated/meandra.ico)
  add_custom_command(
    OUTPUT ${MEANDRA_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
    COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/ballicon.py ${MEANDRA_ICON}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/ballicon.py
    COMMENT "Drawing the saver's icon"
    VERBATIM)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/meandra.rc PROPERTIES
    OBJECT_DEPENDS "${MEANDRA_ICON};${PROJECT_BINARY_DIR}/generated/version.h;${CMAKE_CURRENT_LIST_DIR}/meandra.manifest;${PROJECT_SOURCE_DIR}/settings/dialogids.h")
endif()

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
