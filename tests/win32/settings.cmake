# The dialog templates and the icon as the built saver carries them; reads
# the file only, so it needs no Wine.
# Of the shipped i686 saver only; the x86-64 test build has no such test.
if(MEANDRA_WINE_ARCH STREQUAL win32)
add_test(NAME settings_resources
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/settings_resources.py $<TARGET_FILE:meandra>)
  set_tests_properties(settings_resources PROPERTIES LABELS "win32;shipped")
endif()
