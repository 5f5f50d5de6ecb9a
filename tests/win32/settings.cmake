# The dialog templates and the icon as the built saver carries them; reads
# the file only, so it needs no Wine.
add_test(NAME settings_resources
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/settings_resources.py $<TARGET_FILE:meandra>)
