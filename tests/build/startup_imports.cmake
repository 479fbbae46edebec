cmake_policy(VERSION 3.20)
# The program must start with nothing but the system's core DLLs loaded: every other DLL is
# delay-loaded, so the window is on the screen before any of them costs time. A plain import of
# one of them (a new library linked the usual way) brings the slow start back.
# cmake -DOBJDUMP=... -DPROGRAM=... -P startup_imports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" plain "${headers}")
list(TRANSFORM plain REPLACE "DLL Name: " "")
list(TRANSFORM plain TOLOWER)
set(allowed advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll)
list(REMOVE_ITEM plain ${allowed})
if(plain)
    message(FATAL_ERROR "loaded at start-up, not delay-loaded: ${plain}")
endif()
# The delay-loaded ones are named in the program all the same, or the check reads the wrong file.
file(STRINGS ${PROGRAM} names REGEX "^[A-Za-z0-9]+\\.dll$")
list(TRANSFORM names TOLOWER)
foreach(dll comctl32 gdiplus shell32 ole32 wininet)
    if(NOT "${dll}.dll" IN_LIST names)
        message(FATAL_ERROR "${dll}.dll is not named in ${PROGRAM}")
    endif()
endforeach()
message(STATUS "start-up imports: ${allowed}")
