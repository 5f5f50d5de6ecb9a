# The built saver over two monitors, in each layout's world of its own
# (tests/win32/monitors.cmake starts them and names the layouts).
foreach(layout left right)
  add_test(NAME e2e_monitors_${layout} COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/monitors_saver.py)
  meandra_monitors_test(e2e_monitors_${layout} ${layout})
  set_property(TEST e2e_monitors_${layout} APPEND PROPERTY ENVIRONMENT
    "MEANDRA_SCR=$<TARGET_FILE:meandra>"
    "MEANDRA_PROBE=$<TARGET_FILE:probe>"
    "MEANDRA_BUILD_DIR=${PROJECT_BINARY_DIR}"
    "MEANDRA_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "MEANDRA_E2E_OUT=${MEANDRA_E2E_OUT}/monitors-${layout}")
endforeach()
