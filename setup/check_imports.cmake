# Fails the build when PROGRAM imports, at its start, from a library outside the system's known
# DLLs. Those are bound before the program's first instruction, and the loader looks for them
# beside the program first: in the Downloads folder a planted library of that name would run
# with the setup's rights. Known DLLs always come from System32; every other library has to be
# bound on first use (delay_load/*.def), after the entry has narrowed the search.
#
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<exe> -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)

# The known DLLs of Windows 7, which later versions keep, and ntdll, which every process has.
set(known_dlls advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 lpk msctf msvcrt normaliz
               nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 usp10
               wldap32 ws2_32)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
set(unknown)
foreach(import IN LISTS imports)
  string(REGEX REPLACE "^DLL Name: " "" library "${import}")
  string(TOLOWER "${library}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  if(NOT name IN_LIST known_dlls)
    list(APPEND unknown ${library})
  endif()
endforeach()
if(unknown)
  list(JOIN unknown ", " unknown)
  message(FATAL_ERROR "${PROGRAM} imports at start from ${unknown}, which a library planted "
                      "beside it could replace. Add the functions it calls to that library's "
                      "setup/delay_load/*.def so that it is bound on first use.")
endif()
