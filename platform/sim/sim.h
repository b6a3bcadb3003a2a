#pragma once
// The simulated machine behind the platform headers, for the native tests.
// It holds the state a test sets up and asserts on, and records every call.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace sim {

// Forgets everything and gives the program a fresh, empty folder.
void Reset();
// Forgets the records of calls made so far (boxes, launches, modal forms, dialogs, key
// and mouse events, clipboard changes, terminations, exits) and keeps everything else:
// for long runs that would otherwise pile them up.
void ForgetRecords();

// ---- clock and messages. The clock is virtual: it moves only when the program waits.
std::uint32_t Now();
void SetNow(std::uint32_t tick);
// Runs fn from the message loop once the clock reaches tick.
void At(std::uint32_t tick, std::function<void()> fn);
// Delivers a message to a window now: its hook first, then the form's own handling.
void SendMessage(plat::WindowHandle window, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
// How many times ProcessPendingMessages ran.
int PumpCount();
bool QuitRequested();

// ---- the end of the session, as Windows asks it: every window in turn until one says no
// (the answer); then every window is told whether the session ends.
bool QueryEndSession();
void EndSession(bool ending);
// The reason a window gave for holding the session up; "" when none.
std::string ShutdownBlockReason(plat::WindowHandle window);

// ---- hotkeys
struct Registration {
  plat::WindowHandle window;
  int id;
  unsigned modifiers;  // without kModNoRepeat
  unsigned vk;
  bool noRepeat = false;  // asked to fire once while held
};
std::vector<Registration> Registrations();  // in the order they were made
int RegisterCalls();
// Another program holds this combination: registering it is refused.
void TakeCombination(unsigned modifiers, unsigned vk);
// Presses a combination: the registration that holds it gets WM_HOTKEY, unless a key box's
// capture takes it first. False when neither does.
bool PressHotKey(unsigned modifiers, unsigned vk);

// ---- processes
void AddProcess(const std::string& exeFile, std::uint32_t pid);
void SetCurrentProcess(std::uint32_t pid);
// OpenProcess fails for this process.
void DenyAccess(std::uint32_t pid);
// Taking the snapshot fails (the tool-help functions are missing).
void SetSnapshotAvailable(bool available);
bool ProcessRunning(std::uint32_t pid);
struct Termination {
  std::uint32_t pid;
  std::uint32_t waitMs;
};
std::vector<Termination> Terminations();

// ---- shell
struct ShellCall {
  std::string file;
  bool hasParameters;
  std::string parameters;
  std::uint32_t tick = 0;  // the clock when it was made
  std::string verb = "open";
  int showCmd = 1;
  plat::WindowHandle owner = 0;
};
std::vector<ShellCall> ShellCalls();
// Opening exactly this file fails from now on with that Windows error code (2: not found,
// 5: access denied, 1155: no program associated...); the call is still recorded.
void FailShellOpen(const std::string& file, std::uint32_t error);  // error 0: it opens again
// 64-bit Windows for a 32-bit program (off after Reset). WindowsFolder is "C:\Windows".
void SetWow64(bool wow64);
// A file FileExists finds at exactly this path, for the Windows folders (which a native
// test cannot make): "C:\Windows\Sysnative\osk.exe".
void AddWindowsFile(const std::string& path);
// How often InitializeShell ran, and how many launches came before the first of them.
int ShellInitializations();
int LaunchesBeforeShellInitialized();

// ---- input
struct KeyEvent {
  std::uint8_t vk, scan;
  std::uint32_t flags;
  std::uint32_t tick = 0;  // the virtual time it was sent
};
std::vector<KeyEvent> KeyEvents();

// ---- power
bool ShutdownPrivilegeEnabled();
// The flags of every ExitWindows call, with whether the privilege was enabled at the time.
struct ExitCall {
  std::uint32_t flags;
  bool privileged;
};
std::vector<ExitCall> ExitCalls();

// ---- registry
void SetRootWritable(plat::RegRoot root, bool writable);

// ---- dialogs
struct Box {
  std::string text, caption;
  unsigned flags;
  plat::WindowHandle owner;  // 0: owned by no form of the program
  bool unowned = false;      // ShowNoticeBox: belongs to no window and holds up no one
};
std::vector<Box> Boxes();  // message boxes and error boxes, in order
// The answers the next message boxes give, in order; without one a box answers OK,
// or Cancel when it has no OK button.
void AnswerNextBox(int button);
// Runs while a box is up (for instance to press a hotkey meanwhile).
void OnBox(std::function<void(const Box&)> fn);
// From now on every box stays up this long (virtual ms) before it is answered: a modal box
// runs the message loop meanwhile, as its own loop does; a notice box closes that much later.
// 0, the default, answers at once.
void HoldBoxesOpen(std::uint32_t ms);
// Notice boxes (ShowNoticeBox) on screen now.
int NoticeBoxesOpen();

// File dialogs: each answers with the next queued path, or cancels when none is queued.
struct FileDialogCall {
  bool save;
  plat::FileDialogOptions options;
};
std::vector<FileDialogCall> FileDialogs();
void AnswerNextFileDialog(const std::string& path);
// The folder browser: each answers with the next queued folder, or cancels when none is queued.
struct FolderDialogCall {
  std::string title;
  plat::WindowHandle owner;
};
std::vector<FolderDialogCall> FolderDialogs();
void AnswerNextFolderDialog(const std::string& path);

// ---- files
void SetProgramFolder(const std::string& folder);
// Every read or replace of this path fails, as when another program locks it.
void LockFile(const std::string& path);
void UnlockFile(const std::string& path);
// Reading this path fails (access denied) while replacing it still works, until AllowRead.
void DenyRead(const std::string& path);
void AllowRead(const std::string& path);
// How many times the program has read this file whole since the reset.
int FileReads(const std::string& path);
// Another program holds the file open with read and write sharing but without delete
// sharing: it can be read and written in place, but not replaced, renamed or deleted.
void HoldOpen(const std::string& path);
void ReleaseHold(const std::string& path);

// ---- forms
// Every window alive, oldest first.
std::vector<plat::WindowHandle> Windows();
int ForegroundRaises(plat::WindowHandle window);
// The top-level items the form's main menu had when its window was made: the native window
// gets its menu bar then, so items added later never show.
int MenuBarAtCreation(plat::WindowHandle window);  // how often the window was brought to the front
// Modal forms: each ShowModal runs the next queued script with the form (the user's work in
// the dialog); a form the script leaves without a result closes as cancelled. Without a
// script the form closes as cancelled at once.
void OnNextModal(std::function<void(plat::Form&)> script);
struct ModalCall {
  std::string caption;
  plat::WindowHandle owner;  // 0: none
};
std::vector<ModalCall> ModalForms();  // every modal showing, in order
bool StayOnTop(plat::WindowHandle window);

}  // namespace sim
