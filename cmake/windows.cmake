# The Windows program, its language module and its tests, cross-built with MinGW-w64.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
add_link_options(-static -static-libgcc -static-libstdc++)
# Two builds of one commit give the same bytes: no time stamp in the PE headers, and neither the
# source nor the build folder in the binaries (they would come in through __FILE__).
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_link_options(-Wl,--no-insert-timestamp)

include(cmake/sources.cmake)

# minizip and zlib for MinGW: minizip built by bootstrap into build/deps/mingw, zlib from Debian.
find_library(LUMAFORGE_MINIZIP minizip REQUIRED)
find_library(LUMAFORGE_ZLIB NAMES libz.a z REQUIRED)
find_path(LUMAFORGE_MINIZIP_INCLUDE minizip/zip.h REQUIRED)
# PCRE2 for MinGW, built by bootstrap too; the result scrapers define PCRE2_STATIC themselves.
find_library(LUMAFORGE_PCRE2 NAMES libpcre2-8.a pcre2-8 REQUIRED)
find_path(LUMAFORGE_PCRE2_INCLUDE pcre2.h REQUIRED)
# libsodium for MinGW, built by bootstrap from Debian's source as well.
find_library(LUMAFORGE_SODIUM NAMES libsodium.a sodium REQUIRED)
find_path(LUMAFORGE_SODIUM_INCLUDE sodium.h REQUIRED)
target_include_directories(lumaforge_core PUBLIC ${LUMAFORGE_MINIZIP_INCLUDE} ${LUMAFORGE_PCRE2_INCLUDE}
                                                 ${LUMAFORGE_SODIUM_INCLUDE})
target_compile_definitions(lumaforge_core PUBLIC SODIUM_STATIC)
target_link_libraries(lumaforge_core PUBLIC ${LUMAFORGE_MINIZIP} ${LUMAFORGE_ZLIB} ${LUMAFORGE_PCRE2}
                                            ${LUMAFORGE_SODIUM})

add_library(lumaforge_win STATIC ${LUMAFORGE_WIN_SOURCES})
include(cmake/demo.cmake)
include(cmake/publish.cmake)
include(cmake/delay_load.cmake)
lumaforge_delay_loaded(LUMAFORGE_DELAY_LOADED comctl32 gdiplus shell32 ole32 oleaut32 wininet shlwapi comdlg32 oleacc)
# The plain import libraries after them only for the data they hold (the GDI+ GUIDs, IID_IAccessible).
target_link_libraries(lumaforge_win PUBLIC lumaforge_core ${LUMAFORGE_DELAY_LOADED} gdi32 user32 uuid gdiplus oleacc)

set(LUMAFORGE_RC_DIR ${PROJECT_SOURCE_DIR}/src/res)
set(LUMAFORGE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${PROJECT_SOURCE_DIR}/src -I${LUMAFORGE_RC_DIR} -I${LUMAFORGE_GENERATED_DIR} -c 65001")

# The version resources and the manifest carry the project's version.
configure_file(${LUMAFORGE_RC_DIR}/lumaforge.manifest.in ${LUMAFORGE_GENERATED_DIR}/lumaforge.manifest @ONLY)
function(lumaforge_version_resource name file_name description file_type)
    set(LUMAFORGE_VERSION_FILE_NAME ${file_name})
    set(LUMAFORGE_VERSION_DESCRIPTION ${description})
    set(LUMAFORGE_VERSION_FILE_TYPE ${file_type})
    configure_file(${LUMAFORGE_RC_DIR}/version.rc.in ${LUMAFORGE_GENERATED_DIR}/version_${name}.rc @ONLY)
endfunction()
lumaforge_version_resource(program Lumaforge.exe "Lumaforge desktop customisation" VFT_APP)
lumaforge_version_resource(language Lumaforge.CHS "Lumaforge Simplified Chinese language module" VFT_DLL)
lumaforge_version_resource(update Update.dll "Lumaforge updater" VFT_DLL)

file(GLOB LUMAFORGE_CURSOR_FILES CONFIGURE_DEPENDS ${LUMAFORGE_RC_DIR}/cursors/*.cur)
file(GLOB LUMAFORGE_SKIN_FILES CONFIGURE_DEPENDS ${LUMAFORGE_RC_DIR}/skin/*)
set_source_files_properties(${LUMAFORGE_RC_DIR}/lumaforge.rc PROPERTIES OBJECT_DEPENDS
    "${LUMAFORGE_RC_DIR}/strings_en.rc;${LUMAFORGE_GENERATED_DIR}/lumaforge.manifest;${LUMAFORGE_GENERATED_DIR}/version_program.rc;${LUMAFORGE_RC_DIR}/lumaforge.ico;${LUMAFORGE_RC_DIR}/loading.gif;${LUMAFORGE_CURSOR_FILES};${LUMAFORGE_RC_DIR}/skin.rc;${LUMAFORGE_SKIN_FILES}")
set_source_files_properties(${LUMAFORGE_RC_DIR}/lumaforge_chs.rc PROPERTIES OBJECT_DEPENDS
    "${LUMAFORGE_RC_DIR}/strings_chs.rc;${LUMAFORGE_GENERATED_DIR}/version_language.rc")

# The program folder: everything the program expects beside it.
set(LUMAFORGE_PROGRAM_DIR ${CMAKE_BINARY_DIR}/program)

add_executable(Lumaforge WIN32 src/app/main_win.cpp ${LUMAFORGE_RC_DIR}/lumaforge.rc)
target_link_libraries(Lumaforge PRIVATE lumaforge_win)
target_link_options(Lumaforge PRIVATE -municode)
set_target_properties(Lumaforge PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LUMAFORGE_PROGRAM_DIR})

# The folder-icon categories that ship with the program, beside it in cache\icons.
file(GLOB_RECURSE LUMAFORGE_FOLDER_ICON_FILES CONFIGURE_DEPENDS ${LUMAFORGE_RC_DIR}/folder-icons/*.ico)
set(LUMAFORGE_FOLDER_ICONS_STAMP ${CMAKE_BINARY_DIR}/folder-icons.stamp)
add_custom_command(OUTPUT ${LUMAFORGE_FOLDER_ICONS_STAMP}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${LUMAFORGE_RC_DIR}/folder-icons ${LUMAFORGE_PROGRAM_DIR}/cache/icons
    COMMAND ${CMAKE_COMMAND} -E touch ${LUMAFORGE_FOLDER_ICONS_STAMP}
    DEPENDS ${LUMAFORGE_FOLDER_ICON_FILES}
    COMMENT "Copying the folder-icon categories into the program folder")
add_custom_target(folder_icons ALL DEPENDS ${LUMAFORGE_FOLDER_ICONS_STAMP})
add_dependencies(Lumaforge folder_icons)

# The Simplified Chinese language module: a DLL that holds nothing but its string table.
add_library(LumaforgeCHS SHARED ${LUMAFORGE_RC_DIR}/lumaforge_chs.rc)
set_target_properties(LumaforgeCHS PROPERTIES OUTPUT_NAME Lumaforge PREFIX "" SUFFIX ".CHS" LINKER_LANGUAGE C
    RUNTIME_OUTPUT_DIRECTORY ${LUMAFORGE_PROGRAM_DIR})
target_link_options(LumaforgeCHS PRIVATE -nostdlib -Wl,--entry=0)

# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# The Windows tests link the program's string table so resource lookups behave as in the program.
add_executable(win_tests ${LUMAFORGE_WIN_TESTS} ${LUMAFORGE_WIN_TEST_SUPPORT} ${LUMAFORGE_RC_DIR}/lumaforge.rc)
target_link_libraries(win_tests PRIVATE lumaforge_win gtest_main ws2_32)
target_include_directories(win_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(win_tests PRIVATE
    LUMAFORGE_TEST_LANGUAGE_MODULE="$<TARGET_FILE:LumaforgeCHS>")
# The take-back switch is tried on the program itself.
add_dependencies(win_tests Lumaforge LumaforgeCHS folder_icons)
target_compile_definitions(win_tests PRIVATE LUMAFORGE_TEST_PROGRAM_DIR="${LUMAFORGE_PROGRAM_DIR}")
# The tests find the source tree through __FILE__: their own files keep the real paths.
get_target_property(LUMAFORGE_TEST_OPTIONS win_tests COMPILE_OPTIONS)
list(FILTER LUMAFORGE_TEST_OPTIONS EXCLUDE REGEX "^-ffile-prefix-map=")
set_target_properties(win_tests PROPERTIES COMPILE_OPTIONS "${LUMAFORGE_TEST_OPTIONS}")
# The layout tests at each system DPI run through dpi_system below, in a desktop of their own.
gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_FILTER -DpiSystem.*)
# Run by scripts/test-servers.sh before the tests: the prefix trusts the run's test authority.
add_executable(trust_test_authority tests/support/programs/trust_test_authority_win.cpp)
target_link_libraries(trust_test_authority PRIVATE crypt32)
target_link_options(trust_test_authority PRIVATE -municode)
add_dependencies(win_tests trust_test_authority)
add_executable(input_ready WIN32 tests/support/programs/input_ready_win.cpp)
target_link_options(input_ready PRIVATE -municode)
add_dependencies(win_tests input_ready)
include(cmake/sysinfo.cmake)

add_executable(filter_bench bench/filter_bench_win.cpp)
target_link_libraries(filter_bench PRIVATE lumaforge_win)
target_link_options(filter_bench PRIVATE -mwindows)

add_executable(extract_bench bench/extract_bench_win.cpp)
target_link_libraries(extract_bench PRIVATE lumaforge_win)

add_executable(journal_bench bench/journal_bench_win.cpp)
target_link_libraries(journal_bench PRIVATE lumaforge_win)
target_include_directories(journal_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)

add_executable(scrape_bench bench/scrape_bench_win.cpp)
target_link_libraries(scrape_bench PRIVATE lumaforge_win)

# Benchmarks that serve their content from the test HTTP server, with the test helpers.
function(lumaforge_server_bench name)
    add_executable(${name} bench/${name}_win.cpp tests/support/test_http_server_support_win.cpp
                           tests/support/win_test_support_win.cpp ${ARGN})
    target_link_libraries(${name} PRIVATE lumaforge_win ws2_32)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endfunction()
lumaforge_server_bench(download_bench)
lumaforge_server_bench(verify_bench)
lumaforge_server_bench(preview_bench tests/support/picture_maker_win.cpp)
lumaforge_server_bench(grid_bench tests/support/picture_maker_win.cpp)
lumaforge_server_bench(repaint_bench)

# Start to visible window, against a bare Win32 window (see scripts/startup-bench.sh).
add_executable(bare_window WIN32 bench/bare_window_win.cpp)
target_link_options(bare_window PRIVATE -municode)
add_executable(startup_bench bench/startup_bench_win.cpp)
target_link_options(startup_bench PRIVATE -municode)

find_program(LUMAFORGE_OBJDUMP NAMES ${CMAKE_C_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump REQUIRED)
add_test(NAME StartupImports.OnlyTheCoreDllsLoadBeforeTheWindow
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${LUMAFORGE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:Lumaforge>
                 -P ${PROJECT_SOURCE_DIR}/tests/build/startup_imports.cmake)

# The layout at each system DPI: the script sets the prefix's LogPixels for one Wine process each
# and puts it back; nothing else may run meanwhile.
add_test(NAME dpi_system COMMAND ${PROJECT_SOURCE_DIR}/scripts/dpi-test.sh $<TARGET_FILE:win_tests>)
set_tests_properties(dpi_system PROPERTIES RUN_SERIAL TRUE)
