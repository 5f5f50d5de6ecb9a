# Stand-ins for the platform's password components, placed by the tests.
function(meandra_password_fixture target tag output)
  add_library(${target} SHARED ${PROJECT_SOURCE_DIR}/tests/support/password_fixture.cpp)
  target_compile_definitions(${target} PRIVATE FIXTURE_TAG="${tag}" ${ARGN})
  target_link_libraries(${target} PRIVATE user32 -static -Wl,--kill-at)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output} SUFFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fixtures/${target}
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fixtures/${target}
    ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fixtures/${target}
    IMPORT_PREFIX "" IMPORT_SUFFIX ".implib")
  list(APPEND MEANDRA_E2E_DEPENDS ${target})
  set(MEANDRA_E2E_DEPENDS ${MEANDRA_E2E_DEPENDS} PARENT_SCOPE)
endfunction()

meandra_password_fixture(fixture_password system PASSWORD.CPL)
meandra_password_fixture(fixture_planted planted PASSWORD.CPL)
meandra_password_fixture(fixture_mpr system MPR.DLL)
meandra_password_fixture(fixture_mpr_without_change system MPR.DLL FIXTURE_WITHOUT_CHANGE)
