# The pattern model that the pattern tests compare screenshots with: the
# saver's own units, built for Win32 so that it runs the saver's arithmetic.
add_executable(patternmodel ${PROJECT_SOURCE_DIR}/tests/support/patternmodel.cpp)
target_link_libraries(patternmodel PRIVATE meandra_units user32 gdi32 advapi32 winmm -static)
list(APPEND MEANDRA_E2E_DEPENDS patternmodel)

# The preview of the README's picture: the window procedure in a preview
# hosted by the same process.
add_executable(previewshot ${PROJECT_SOURCE_DIR}/tests/support/previewshot.cpp)
target_link_libraries(previewshot PRIVATE meandra_units user32 gdi32 advapi32 winmm -static)
