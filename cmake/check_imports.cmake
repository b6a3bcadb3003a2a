# Fails when an exe imports a DLL by name that is not a Known DLL. Windows loads a Known DLL
# from System32 only; any other DLL it looks for in the exe's folder first, so a DLL of that
# name left there (a winmm.dll in Downloads) would run inside the program. Such DLLs are
# loaded from System32 at run time instead (platform/win32/sysdll.h).
#   cmake -DEXE=<exe> -DOBJDUMP=<objdump> -P check_imports.cmake
# comctl32 is allowed too: the manifest binds it to the system's side-by-side copy.
cmake_minimum_required(VERSION 3.20)
set(ALLOWED
  advapi32.dll clbcatq.dll combase.dll comctl32.dll comdlg32.dll coml2.dll gdi32.dll gdiplus.dll
  imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll
  oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll
  user32.dll wldap32.dll ws2_32.dll)

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${EXE}: no imported DLL found in the objdump listing")
endif()
set(bad "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST ALLOWED)
    list(APPEND bad "${name}")
  endif()
endforeach()
if(bad)
  list(JOIN bad ", " bad)
  message(FATAL_ERROR "${EXE} imports ${bad} by name, which Windows would first look for beside "
                      "the exe; load it from System32 at run time (platform/win32/sysdll.h)")
endif()
