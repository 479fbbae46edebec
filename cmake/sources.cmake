# The portable core: every source of src/ whose name does not end in _win.cpp.
file(GLOB_RECURSE LUMAFORGE_ALL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
set(LUMAFORGE_CORE_SOURCES ${LUMAFORGE_ALL_SOURCES})
list(FILTER LUMAFORGE_CORE_SOURCES EXCLUDE REGEX "_(win|posix)\\.cpp$")
set(LUMAFORGE_POSIX_SOURCES ${LUMAFORGE_ALL_SOURCES})
list(FILTER LUMAFORGE_POSIX_SOURCES INCLUDE REGEX "_posix\\.cpp$")
set(LUMAFORGE_WIN_SOURCES ${LUMAFORGE_ALL_SOURCES})
list(FILTER LUMAFORGE_WIN_SOURCES INCLUDE REGEX "_win\\.cpp$")
list(FILTER LUMAFORGE_WIN_SOURCES EXCLUDE REGEX "/main_win\\.cpp$")

file(GLOB_RECURSE LUMAFORGE_ALL_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_test.cpp)
set(LUMAFORGE_CORE_TESTS ${LUMAFORGE_ALL_TESTS})
list(FILTER LUMAFORGE_CORE_TESTS EXCLUDE REGEX "_win_test\\.cpp$")
set(LUMAFORGE_WIN_TESTS ${LUMAFORGE_ALL_TESTS})
list(FILTER LUMAFORGE_WIN_TESTS INCLUDE REGEX "_win_test\\.cpp$")
# Test helpers: the portable ones serve both test builds, the _win ones the Windows tests only.
file(GLOB LUMAFORGE_ALL_TEST_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
set(LUMAFORGE_CORE_TEST_SUPPORT ${LUMAFORGE_ALL_TEST_SUPPORT})
list(FILTER LUMAFORGE_CORE_TEST_SUPPORT EXCLUDE REGEX "_win\\.cpp$")
set(LUMAFORGE_WIN_TEST_SUPPORT ${LUMAFORGE_ALL_TEST_SUPPORT})

add_library(lumaforge_core STATIC ${LUMAFORGE_CORE_SOURCES})
# nlohmann/json is header-only; only its own folder goes on the include path, so the cross build
# never sees the host's C library headers.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json-include)
file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
target_include_directories(lumaforge_core PUBLIC ${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated
                                                 ${CMAKE_BINARY_DIR}/json-include)
