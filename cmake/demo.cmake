# Programs of ours that the demo server's packages carry: the screen saver of every screen saver
# package and the stand-in logon program of the login screens. demo/make_content.py takes them from
# ${CMAKE_BINARY_DIR}/demo. Included by windows.cmake after its compile and link settings, so they
# are static Unicode programs like the rest.
set(LUMAFORGE_DEMO_PROGRAM_DIR ${CMAKE_BINARY_DIR}/demo)

add_executable(lumaforge_saver WIN32 ${PROJECT_SOURCE_DIR}/demo/programs/screen_saver_win.cpp)
set_target_properties(lumaforge_saver PROPERTIES SUFFIX ".scr")

add_executable(lumaforge_logonui WIN32 ${PROJECT_SOURCE_DIR}/demo/programs/logonui_win.cpp)
set_target_properties(lumaforge_logonui PROPERTIES OUTPUT_NAME logonui)

foreach(program lumaforge_saver lumaforge_logonui)
    # Only the header-only handle owners of src/base; nothing of the program is linked in.
    target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${program} PRIVATE user32 gdi32)
    target_link_options(${program} PRIVATE -municode)
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LUMAFORGE_DEMO_PROGRAM_DIR})
endforeach()
