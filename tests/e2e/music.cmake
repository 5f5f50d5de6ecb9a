# Helper program of the tune's end-to-end tests (test_music.py finds it in
# this build directory).
add_executable(musicprobe ${PROJECT_SOURCE_DIR}/tests/support/musicprobe.cpp)
target_link_libraries(musicprobe PRIVATE user32 -static)
set_target_properties(musicprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests/e2e)
list(APPEND MEANDRA_E2E_DEPENDS musicprobe)
