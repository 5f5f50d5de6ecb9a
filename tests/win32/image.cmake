# The built saver as a file: imports, header, instructions, manifest, size,
# and in the objects it is linked from, no constructors to run at start-up.
# Of the shipped i686 saver only; the x86-64 test build has no such test.
if(MEANDRA_WINE_ARCH STREQUAL win32)
add_test(NAME image_check
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/image_check.py $<TARGET_FILE:meandra>
          ${CMAKE_CURRENT_LIST_DIR}/win95-imports.txt
          "$<TARGET_OBJECTS:meandra>;$<TARGET_FILE:meandra_units>")
  set_tests_properties(image_check PROPERTIES LABELS "win32;shipped")
endif()
