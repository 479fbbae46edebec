# Host build of the portable core and its tests, under the sanitizers named by LUMAFORGE_SANITIZE.
set(LUMAFORGE_SANITIZE "" CACHE STRING "Sanitizers for the native build (address;undefined or thread)")
if(LUMAFORGE_SANITIZE)
    list(JOIN LUMAFORGE_SANITIZE "," sanitizers)
    add_compile_options(-fsanitize=${sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${sanitizers})
endif()
add_compile_options(-Wall -Wextra)

include(cmake/sources.cmake)
target_sources(lumaforge_core PRIVATE ${LUMAFORGE_POSIX_SOURCES})
find_package(Threads REQUIRED)
# minizip reads the packages (the tests also write archives with it); PCRE2 reads result pages;
# libsodium hashes and signs the published files.
target_link_libraries(lumaforge_core PUBLIC Threads::Threads minizip z pcre2-8 sodium)
# The fuzz preset builds the fuzz targets instead of the tests.
option(LUMAFORGE_FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
if(LUMAFORGE_FUZZ)
    add_subdirectory(fuzz)
    return()
endif()
include(cmake/publish.cmake)

find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(core_tests ${LUMAFORGE_CORE_TESTS} ${LUMAFORGE_CORE_TEST_SUPPORT})
target_link_libraries(core_tests PRIVATE lumaforge_core lumaforge_publish GTest::gtest_main)
target_include_directories(core_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST)
