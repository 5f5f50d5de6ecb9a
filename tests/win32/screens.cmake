# Wine worlds on displays of 16 bits (high colour, 5-6-5) and 8 bits (256
# colours, a palette), beside the 24-bit one that every test runs in, and the
# tests that run again in them: the two drawing paths compared, and (from
# tests/e2e) the pattern end to end.
function(meandra_wine_world world depth)
  set(dir ${MEANDRA_WINE_DIR}-${world})
  add_test(NAME ${world}_start COMMAND ${CMAKE_COMMAND} -E env MEANDRA_DESKTOP_DEPTH=${depth} MEANDRA_WINE_ARCH=${MEANDRA_WINE_ARCH}
           ${PROJECT_SOURCE_DIR}/tests/support/wine-env start ${dir} $<TARGET_FILE:probe>)
  add_test(NAME ${world}_stop COMMAND ${PROJECT_SOURCE_DIR}/tests/support/wine-env stop ${dir})
  set_tests_properties(${world}_start PROPERTIES FIXTURES_SETUP ${world} TIMEOUT 120 RESOURCE_LOCK wine)
  set_tests_properties(${world}_stop PROPERTIES FIXTURES_CLEANUP ${world} TIMEOUT 60 RESOURCE_LOCK wine)
endfunction()

# Moves a test registered with meandra_wine_test into another world.
function(meandra_in_world test world)
  get_test_property(${test} ENVIRONMENT environment)
  list(FILTER environment EXCLUDE REGEX "^MEANDRA_WINE_ENV=")
  list(APPEND environment "MEANDRA_WINE_ENV=${MEANDRA_WINE_DIR}-${world}/env.sh")
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED ${world} ENVIRONMENT "${environment}")
endfunction()

meandra_wine_world(wine16 16)
meandra_wine_world(wine8 8)
foreach(world wine16 wine8)
  add_test(NAME win32_offscreen_test_${world} COMMAND win32_offscreen_test)
  meandra_wine_test(win32_offscreen_test_${world})
  meandra_in_world(win32_offscreen_test_${world} ${world})
endforeach()
