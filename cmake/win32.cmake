# The saver, built without any C or C++ runtime for every 32-bit Windows,
# and the Win32 test programs that run its units under Wine.

# The i686 build is the saver that ships. The x86-64 build of the same
# sources (cmake/mingw-x86_64.cmake) exists only to run the Win32 and
# end-to-end tests under 64-bit Wine on machines that run no 32-bit code.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MEANDRA_WINE_ARCH win64)
  set(MEANDRA_ARCH_FLAGS)
  set(MEANDRA_ENTRY_PREFIX "")
  set(MEANDRA_ENTRY_SUFFIX "")
else()
  set(MEANDRA_WINE_ARCH win32)
  set(MEANDRA_ARCH_FLAGS -march=i486 -mno-mmx -mno-sse)
  # Entry points are stdcall functions of no arguments: _Name@0.
  set(MEANDRA_ENTRY_PREFIX "_")
  set(MEANDRA_ENTRY_SUFFIX "@0")
endif()

# Code the saver runs: i486 instructions only, no exceptions, no RTTI,
# nothing that needs a runtime library behind it.
set(MEANDRA_SAVER_FLAGS
  -Wall -Wextra -Os ${MEANDRA_ARCH_FLAGS}
  -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
  -fno-stack-protector -fno-threadsafe-statics -fno-ident
  -ffunction-sections -fdata-sections)

add_library(meandra_units STATIC ${PURE_SOURCES} ${WIN32_SOURCES})
target_include_directories(meandra_units PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
target_compile_options(meandra_units PRIVATE ${MEANDRA_SAVER_FLAGS})
target_compile_definitions(meandra_units PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX WINVER=0x0400 _WIN32_WINNT=0x0400)

add_executable(meandra WIN32 meandra/main.cpp meandra/crt.cpp resources/meandra.rc)
set_target_properties(meandra PROPERTIES OUTPUT_NAME meandra SUFFIX .scr)
target_compile_options(meandra PRIVATE ${MEANDRA_SAVER_FLAGS} -fno-tree-loop-distribute-patterns)
target_include_directories(meandra PRIVATE ${PROJECT_SOURCE_DIR}/resources)
target_link_options(meandra PRIVATE
  -nostdlib -s -Wl,-e,${MEANDRA_ENTRY_PREFIX}SaverEntry${MEANDRA_ENTRY_SUFFIX}
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--gc-sections -Wl,--no-insert-timestamp)
target_link_libraries(meandra PRIVATE meandra_units kernel32 user32 gdi32 advapi32 winmm gcc)

set(MEANDRA_SCR $<TARGET_FILE:meandra>)
# What the image check reads besides the image: the objects it is linked from.
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/meandra-objects.txt
  CONTENT "$<TARGET_OBJECTS:meandra>;$<TARGET_FILE:meandra_units>")

# The Wine worlds (display, prefix and wineserver each) that the Win32 and
# end-to-end tests run in, side by side: ctest hands each test one world
# that no other test holds, from the list of worlds written here (the
# win32 test preset names it). Run without it, every test takes world 1, so
# run them one at a time then.
set(MEANDRA_WORLDS 2 CACHE STRING "How many Wine worlds the tests run in side by side")
set(MEANDRA_WINE_DIR ${PROJECT_BINARY_DIR}/wine)
set(MEANDRA_WORLD_LIST ${PROJECT_BINARY_DIR}/worlds.json)
set(world_entries)
foreach(world RANGE 1 ${MEANDRA_WORLDS})
  list(APPEND world_entries "{\"id\": \"${world}\", \"slots\": 1}")
  add_test(NAME wine_start_${world}
    COMMAND ${CMAKE_COMMAND} -E env MEANDRA_WINE_ARCH=${MEANDRA_WINE_ARCH}
            ${PROJECT_SOURCE_DIR}/tests/support/wine-env start ${MEANDRA_WINE_DIR}/${world} $<TARGET_FILE:probe>)
  add_test(NAME wine_stop_${world} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/wine-env stop ${MEANDRA_WINE_DIR}/${world})
  set_tests_properties(wine_start_${world} PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
  set_tests_properties(wine_stop_${world} PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
endforeach()
list(JOIN world_entries ", " world_entries)
file(WRITE ${MEANDRA_WORLD_LIST}
  "{\"version\": {\"major\": 1, \"minor\": 0}, \"local\": [{\"worlds\": [${world_entries}]}]}\n")

# Registers a test that runs in a Wine world. The test finds the env.sh of
# its world from MEANDRA_WINE_WORLDS and the world ctest gave it (wine-exec,
# harness.py).
function(meandra_wine_test name)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    RESOURCE_GROUPS worlds:1
    TIMEOUT 600
    ENVIRONMENT "MEANDRA_WINE_WORLDS=${MEANDRA_WINE_DIR}")
endfunction()

add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
add_subdirectory(tests/bench)
