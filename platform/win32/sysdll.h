#pragma once
// The system DLLs that are no Known DLLs: the mixer's (winmm), printing's (winspool) and
// the themes' (uxtheme). Importing them by name would let a DLL of that name beside
// Keyvane.exe (a winmm.dll left in Downloads) run inside it at every start, since Windows
// looks in the program's folder first. They are loaded from System32 instead, at their
// first use, and their functions are reached through these tables (see also
// plat::LoadSystemDllsFromSystem32Only). So are the file dialogs' (comdlg32): a Known DLL on
// Windows, but Wine's imports winspool.drv, which its loader would look for beside the exe
// as the program starts.
#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <commdlg.h>
#include <mmsystem.h>
#include <uxtheme.h>
#include <winspool.h>

namespace plat::win32 {

struct WinmmFunctions {
  decltype(&::mixerGetNumDevs) mixerGetNumDevs;
  decltype(&::mixerOpen) mixerOpen;
  decltype(&::mixerClose) mixerClose;
  decltype(&::mixerGetDevCapsW) mixerGetDevCapsW;
  decltype(&::mixerGetLineInfoW) mixerGetLineInfoW;
  decltype(&::mixerGetLineControlsW) mixerGetLineControlsW;
  decltype(&::mixerGetControlDetailsW) mixerGetControlDetailsW;
  decltype(&::mixerSetControlDetails) mixerSetControlDetails;
};

struct WinspoolFunctions {
  decltype(&::GetDefaultPrinterW) GetDefaultPrinterW;
};

struct Comdlg32Functions {
  decltype(&::GetOpenFileNameW) GetOpenFileNameW;
  decltype(&::GetSaveFileNameW) GetSaveFileNameW;
};

struct UxthemeFunctions {
  decltype(&::SetWindowTheme) SetWindowTheme;
};

// Each DLL is loaded, and its functions looked up, at the first call. Null when the DLL or
// one of its functions cannot be had: the feature then fails as when its call fails.
const WinmmFunctions* Winmm();
const WinspoolFunctions* Winspool();
const UxthemeFunctions* Uxtheme();
const Comdlg32Functions* Comdlg32();

}  // namespace plat::win32
