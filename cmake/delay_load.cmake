# Import libraries that load their DLL at the first call instead of at start-up. Under Wine each of
# these DLLs (and what they pull in) costs tens of milliseconds before the first line of the program
# runs; the window is on the screen before any of them is needed.
find_program(LUMAFORGE_DLLTOOL NAMES ${CMAKE_C_COMPILER_TARGET}-dlltool x86_64-w64-mingw32-dlltool REQUIRED)
find_program(LUMAFORGE_NM NAMES ${CMAKE_C_COMPILER_TARGET}-nm x86_64-w64-mingw32-nm REQUIRED)
# Inside the function CMAKE_CURRENT_LIST_FILE names its caller; the libraries depend on this file.
set(LUMAFORGE_DELAY_LOAD_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(lumaforge_delay_loaded out)
    set(folder ${CMAKE_BINARY_DIR}/delay-load)
    file(MAKE_DIRECTORY ${folder})
    set(libraries)
    find_library(LUMAFORGE_UUID NAMES libuuid.a uuid REQUIRED)
    execute_process(COMMAND ${LUMAFORGE_NM} ${LUMAFORGE_UUID} OUTPUT_VARIABLE uuid_symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "[ \t][RDT] [A-Za-z0-9_]+" uuid_data "${uuid_symbols}")
    list(TRANSFORM uuid_data REPLACE "^[ \t][RDT] " "")
    foreach(name ${ARGN})
        find_library(LUMAFORGE_IMPORT_${name} NAMES lib${name}.a ${name} REQUIRED)
        set(def ${folder}/${name}.def)
        set(library ${folder}/lib${name}-delay.a)
        if(NOT EXISTS ${library} OR ${LUMAFORGE_IMPORT_${name}} IS_NEWER_THAN ${library}
           OR ${LUMAFORGE_DELAY_LOAD_SCRIPT} IS_NEWER_THAN ${library})
            execute_process(COMMAND ${LUMAFORGE_NM} ${LUMAFORGE_IMPORT_${name}} OUTPUT_VARIABLE symbols
                            COMMAND_ERROR_IS_FATAL ANY)
            string(REGEX MATCHALL "[ \t]I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
            list(TRANSFORM imports REPLACE "^[ \t]I __imp_" "")
            # The interface identifiers some of these libraries list as exports are data that
            # libuuid holds; as delay-loaded thunks they would win over it and read as code.
            list(REMOVE_ITEM imports ${uuid_data})
            list(REMOVE_DUPLICATES imports)
            list(SORT imports)
            list(JOIN imports "\n" exports)
            file(WRITE ${def} "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
            # dlltool names its helper symbols after the output path: relative, so that the
            # program's bytes do not depend on where it was built.
            execute_process(COMMAND ${LUMAFORGE_DLLTOOL} --input-def ${name}.def --output-delaylib lib${name}-delay.a
                            WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)
        endif()
        list(APPEND libraries ${library})
    endforeach()
    set(${out} ${libraries} PARENT_SCOPE)
endfunction()
