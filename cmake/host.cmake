# Native build of the platform-free units and their GoogleTest suites,
# under AddressSanitizer and UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
include(GoogleTest)

set(MEANDRA_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-Wall -Wextra -g -O1 ${MEANDRA_SANITIZE})
add_link_options(${MEANDRA_SANITIZE})

add_library(meandra_pure STATIC ${PURE_SOURCES})
target_include_directories(meandra_pure PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)

add_subdirectory(tests/host)
