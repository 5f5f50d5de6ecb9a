# The icon is drawn at build time from resources/ballicon.py; the resource
# script picks it up from the generated directory.
if(WIN32)
  set(MEANDRA_ICON ${PROJECT_BINARY_DIR}/generated/meandra.ico)
  add_custom_command(
    OUTPUT ${MEANDRA_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
    COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/ballicon.py ${MEANDRA_ICON}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/ballicon.py
    COMMENT "Drawing the saver's icon"
    VERBATIM)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/meandra.rc PROPERTIES
    OBJECT_DEPENDS "${MEANDRA_ICON};${CMAKE_CURRENT_LIST_DIR}/meandra.manifest;${PROJECT_SOURCE_DIR}/settings/dialogids.h")
endif()
