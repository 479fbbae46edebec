# Programs of ours that ship beside Lumaforge.exe: the updater library Update.dll, which the program
# loads at run time and calls once, and two stand-ins for the theme patcher that the status-bar link
# launches. Included by windows.cmake after the test program is defined, with its compile and link
# settings, so they are static Unicode binaries like the rest.
add_library(lumaforge_update SHARED ${PROJECT_SOURCE_DIR}/updater/update_dll_win.cpp
                                   ${PROJECT_SOURCE_DIR}/updater/update_dll.rc)
# Only the portable core (the update list); nothing of the program's window code is linked in.
target_link_libraries(lumaforge_update PRIVATE lumaforge_core wininet version user32 shell32)
# DoUpdate keeps its plain name also where the calling convention would decorate it (32-bit).
target_link_options(lumaforge_update PRIVATE -Wl,--kill-at)
set_target_properties(lumaforge_update PROPERTIES OUTPUT_NAME Update PREFIX "" RUNTIME_OUTPUT_DIRECTORY
    ${LUMAFORGE_PROGRAM_DIR})

# The patcher comes in one build per bitness of Windows. There is no 32-bit tool chain here, so
# both stand-ins are 64-bit programs; they differ only in name, and each says which one it is.
foreach(bits x64 x86)
    add_executable(lumaforge_patcher_${bits} WIN32 ${PROJECT_SOURCE_DIR}/demo/programs/patcher_win.cpp)
    target_link_libraries(lumaforge_patcher_${bits} PRIVATE user32)
    target_link_options(lumaforge_patcher_${bits} PRIVATE -municode)
    set_target_properties(lumaforge_patcher_${bits} PROPERTIES OUTPUT_NAME DudedOzodare-${bits}
        RUNTIME_OUTPUT_DIRECTORY ${LUMAFORGE_PROGRAM_DIR})
endforeach()

# Building the program builds what lies beside it; the program itself never links the library.
add_dependencies(Lumaforge lumaforge_update lumaforge_patcher_x64 lumaforge_patcher_x86)

# The updater's tests load the library as built.
target_compile_definitions(win_tests PRIVATE LUMAFORGE_TEST_UPDATE_DLL="$<TARGET_FILE:lumaforge_update>")
add_dependencies(win_tests lumaforge_update)
