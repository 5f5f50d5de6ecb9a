# The embedded tune, read back with an independent MIDI file reader and
# rendered by a General MIDI player; and the generator's refusals.
add_test(NAME tune_check
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/tune_check.py ${MEANDRA_TUNE_SOURCE} ${MEANDRA_TUNE_MIDI})
add_test(NAME tunegen_check
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/tunegen_check.py
          ${PROJECT_SOURCE_DIR}/resources/tunegen.py ${PROJECT_SOURCE_DIR}/resources/tune.notes)
set_tests_properties(tune_check tunegen_check PROPERTIES TIMEOUT 180)
