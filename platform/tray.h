#pragma once
// The notification area: the shell's icon calls, icons made from .ico images, and the
// popup menu a tray icon opens.
#include <cstdint>
#include <string>

#include "platform/mouse.h"
#include "platform/types.h"

namespace plat {

class MenuItem;

// A native icon; 0 is "no icon".
using IconHandle = std::uintptr_t;
// What the shell's record carries for "no icon".
constexpr IconHandle kNoIconHandle = static_cast<IconHandle>(-1);

constexpr std::uint32_t kNifMessage = 0x1, kNifIcon = 0x2, kNifTip = 0x4;

// The shell's notification record in its first, 88-byte form (NOTIFYICONDATAA of the
// first shell version). szTip holds CP949 bytes and always ends with a zero.
struct NotifyIconData {
  std::uint32_t cbSize = 88;
  WindowHandle window = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  IconHandle icon = 0;
  char szTip[64] = {};
};

enum class NotifyAction { Add = 0, Modify = 1, Delete = 2 };

// Shell_NotifyIcon: true when the shell accepted the call.
bool ShellNotifyIcon(NotifyAction action, const NotifyIconData& data);

// The message the shell broadcasts to every top-level window when its taskbar is created
// (again): the registered "TaskbarCreated".
unsigned TaskbarCreatedMessage();

// A native icon from the bytes of an .ico file, at the small-icon size when the file has
// several; 0 when the bytes are no icon. The caller frees it with DestroyIconHandle.
IconHandle CreateIconFromIco(const std::string& ico);
void DestroyIconHandle(IconHandle icon);
// LoadIconA of the program's own icon resource ("#1" names resource 1). The handle is
// shared by the system and never freed; 0 when there is no such resource.
IconHandle LoadIconResource(const std::string& name);
// The same resource as the bytes of an .ico file, so a copy of it can be kept and stored;
// empty when there is no such resource.
std::string IconResourceImage(const std::string& name);

// Whether a key is down as the message being handled sees it (GetKeyState, high bit).
bool KeyStateDown(int vk);

// Shows menu's items as a popup menu at a point of the screen for the tray's hidden window
// and returns the item the user chose (nullptr: none). Disabled items are greyed, the
// default item is drawn bold. Around the menu it does what a tray menu needs: a mouse
// capture in progress is released, the hidden window is brought to the foreground (when it
// is enabled) so that the menu closes when the user clicks elsewhere, pending messages run,
// and afterwards the window is brought to the foreground again and a null message posted so
// that the menu works the next time.
MenuItem* ShowPopupMenu(WindowHandle window, MenuItem& menu, ScreenPoint at);

}  // namespace plat
