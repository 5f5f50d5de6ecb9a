# The built saver as a file: imports, header, instructions, manifest, size.
add_test(NAME image_check
  COMMAND ${MEANDRA_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/image_check.py $<TARGET_FILE:meandra>
          ${CMAKE_CURRENT_LIST_DIR}/win95-imports.txt)
