# The saver over two monitors runs in worlds of its own, one for each layout
# of tests/support/monitors-env ("left": the second monitor left of the
# primary one, so that the virtual screen starts at a negative x; "right").
# The in-process tests here, the end-to-end ones in tests/e2e/monitors.cmake.
set(MEANDRA_MONITOR_LAYOUTS left right)
foreach(layout ${MEANDRA_MONITOR_LAYOUTS})
  set(dir ${PROJECT_BINARY_DIR}/monitors-${layout})
  add_test(NAME monitors_${layout}_start COMMAND ${CMAKE_COMMAND} -E env MEANDRA_WINE_ARCH=${MEANDRA_WINE_ARCH}
    ${PROJECT_SOURCE_DIR}/tests/support/monitors-env start ${dir} ${layout} $<TARGET_FILE:probe>)
  add_test(NAME monitors_${layout}_stop COMMAND ${PROJECT_SOURCE_DIR}/tests/support/monitors-env stop ${dir})
  set_tests_properties(monitors_${layout}_start PROPERTIES FIXTURES_SETUP monitors_${layout} TIMEOUT 300)
  set_tests_properties(monitors_${layout}_stop PROPERTIES FIXTURES_CLEANUP monitors_${layout} TIMEOUT 60)
endforeach()

# Registers a test that runs in the two-monitor world of `layout`.
function(meandra_monitors_test name layout)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED monitors_${layout}
    RESOURCE_LOCK monitors_${layout}
    TIMEOUT 300
    ENVIRONMENT "MEANDRA_WINE_ENV=${PROJECT_BINARY_DIR}/monitors-${layout}/env.sh")
endfunction()

add_executable(win32_monitors ${CMAKE_CURRENT_LIST_DIR}/monitors.cpp)
target_link_libraries(win32_monitors PRIVATE meandra_units gtest gtest_main user32 gdi32 advapi32 winmm -static)
# One process for each case: Wine without a window manager was seen to end
# a process with an X error when it made windows again after destroying
# full-screen ones.
set(monitor_cases ThePlatformReports SaverWindowCovers PatternGrows MouseRule)
foreach(layout ${MEANDRA_MONITOR_LAYOUTS})
  foreach(case ${monitor_cases})
    add_test(NAME win32_monitors_${layout}_${case} COMMAND win32_monitors --gtest_filter=TwoMonitors.${case}*)
    meandra_monitors_test(win32_monitors_${layout}_${case} ${layout})
  endforeach()
endforeach()
