#pragma once
// The simulated notification area, icons and tray popup menus, for the native tests.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/tray.h"

namespace sim {

// ---- the shell's icon calls
struct NotifyCall {
  plat::NotifyAction action;
  plat::NotifyIconData data;  // the whole record as the program passed it
  bool accepted;
};
std::vector<NotifyCall> NotifyCalls();  // every call, in order
// The icons the shell shows now, in the order they were added.
std::vector<plat::NotifyIconData> TrayIcons();
// The shell refuses the next `count` NIM_ADD calls (as when it is not up yet).
void RefuseAdds(int count);
// The shell's taskbar is created again: every icon is gone, and every window gets the
// registered "TaskbarCreated" message.
void RestartTaskbar();
// Another program takes an icon out of the tray (NIM_DELETE for window and id).
void RemoveTrayIcon(plat::WindowHandle window, std::uint32_t id);

// ---- icons
// The icon handles made from .ico bytes and not yet freed.
std::size_t LiveIcons();
// The .ico bytes a live handle was made from; empty for another handle.
std::string IconImage(plat::IconHandle icon);
// The program's own icon resources.
void AddIconResource(const std::string& name, const std::string& ico);

// ---- keyboard state seen by message handlers (and by KeyIsDown)
// A key going down after it was up is a new press; held, the hotkey presses after the
// first that PressHotKey makes are its repeats. A press with its key up is a whole tap.
void SetKeyDown(int vk, bool down);
// Called by PressHotKey before the hotkey's message: counts a new press for WatchNewPresses.
void NoteHotKeyPress(unsigned modifiers, unsigned vk);

// ---- popup menus
struct PopupCall {
  plat::WindowHandle window;
  plat::ScreenPoint at;
  // The top-level items: caption, with "(disabled)" and "(default)" marks appended.
  std::vector<std::string> items;
  bool foregroundBefore, foregroundAfter;  // the window was brought to the front
  int pumpsBefore;                         // pending-message runs before the menu showed
};
std::vector<PopupCall> Popups();
// The user's choice in the next popup menu: the top-level item with this caption (a
// disabled one cannot be chosen). Without a queued choice, or with "", the menu is dismissed.
void ChooseInNextPopup(const std::string& caption);
// Disables a window (as a modal dialog disables its owner), or enables it again.
void SetWindowEnabled(plat::WindowHandle window, bool enabled);

// Called by Reset: an empty tray, no icons, no keys down, no menus.
void ResetTray();

}  // namespace sim
