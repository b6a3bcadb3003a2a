#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/controls.h"
#include "platform/msgloop.h"
#include "platform/tray.h"

namespace plat {

namespace {

std::uint32_t Le(const unsigned char* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A resource name as the A functions take it: "#n" is the number n.
LPCSTR ResourceName(const std::string& name, std::string& storage) {
  if (name.size() > 1 && name[0] == '#') {
    const unsigned long id = std::strtoul(name.c_str() + 1, nullptr, 10);
    if (id > 0 && id <= 0xFFFF) return MAKEINTRESOURCEA(id);
  }
  storage = name;
  return storage.c_str();
}

}  // namespace

bool ShellNotifyIcon(NotifyAction action, const NotifyIconData& data) {
  // The record the program keeps is the 88-byte ANSI one. The tip is CP949, which the ANSI
  // call would read in the system's code page, so the shell gets the wide record of the
  // same first version instead, with the tip converted.
  NOTIFYICONDATAW nid;
  std::memset(&nid, 0, sizeof nid);
  nid.cbSize = static_cast<DWORD>(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR));
  nid.hWnd = reinterpret_cast<HWND>(data.window);
  nid.uID = data.uID;
  nid.uFlags = data.uFlags;
  nid.uCallbackMessage = data.uCallbackMessage;
  nid.hIcon = reinterpret_cast<HICON>(data.icon);
  const std::wstring tip = win32::Wide(data.szTip, strnlen(data.szTip, sizeof data.szTip - 1));
  std::memcpy(nid.szTip, tip.c_str(), std::min<std::size_t>(tip.size(), 63) * sizeof(WCHAR));
  const DWORD message = action == NotifyAction::Add      ? NIM_ADD
                        : action == NotifyAction::Modify ? NIM_MODIFY
                                                         : NIM_DELETE;
  return Shell_NotifyIconW(message, &nid) != FALSE;
}

unsigned TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

IconHandle CreateIconFromIco(const std::string& ico) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(ico.data());
  if (ico.size() < 6 || Le(bytes, 2) != 0 || Le(bytes + 2, 2) != 1) return 0;
  const std::size_t count = Le(bytes + 4, 2);
  if (count == 0 || ico.size() < 6 + 16 * count) return 0;
  // The image closest to the small-icon size, the most colours among equals.
  const int want = GetSystemMetrics(SM_CXSMICON);
  std::size_t best = count;
  int bestDistance = 0, bestBits = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = bytes + 6 + 16 * i;
    const std::uint64_t size = Le(entry + 8, 4), offset = Le(entry + 12, 4);
    if (size == 0 || offset + size > ico.size()) return 0;
    const int width = entry[0] ? entry[0] : 256;
    const int distance = width > want ? width - want : want - width;
    const int bits = static_cast<int>(Le(entry + 6, 2));
    if (best == count || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
      best = i;
      bestDistance = distance;
      bestBits = bits;
    }
  }
  const unsigned char* entry = bytes + 6 + 16 * best;
  std::vector<BYTE> image(bytes + Le(entry + 12, 4), bytes + Le(entry + 12, 4) + Le(entry + 8, 4));
  const HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, want,
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
  return reinterpret_cast<IconHandle>(icon);
}

void DestroyIconHandle(IconHandle icon) {
  if (icon) DestroyIcon(reinterpret_cast<HICON>(icon));
}

IconHandle LoadIconResource(const std::string& name) {
  std::string storage;
  return reinterpret_cast<IconHandle>(LoadIconA(GetModuleHandleA(nullptr), ResourceName(name, storage)));
}

std::string IconResourceImage(const std::string& name) {
  // An icon group resource is the .ico directory with resource numbers in place of file
  // offsets (14-byte entries); each image is an icon resource of its own.
  const HMODULE module = GetModuleHandleA(nullptr);
  std::string storage;
  const HRSRC group = FindResourceA(module, ResourceName(name, storage), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  const HGLOBAL groupData = group ? LoadResource(module, group) : nullptr;
  const auto* dir = groupData ? static_cast<const unsigned char*>(LockResource(groupData)) : nullptr;
  const DWORD dirSize = group ? SizeofResource(module, group) : 0;
  if (!dir || dirSize < 6) return std::string();
  const std::size_t count = Le(dir + 4, 2);
  if (count == 0 || dirSize < 6 + 14 * count) return std::string();
  std::vector<std::string> images;
  for (std::size_t i = 0; i < count; ++i) {
    const HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(Le(dir + 6 + 14 * i + 12, 2)), MAKEINTRESOURCEA(3));
    const HGLOBAL data = res ? LoadResource(module, res) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) return std::string();
    images.emplace_back(bytes, SizeofResource(module, res));
  }
  std::string ico(dir, dir + 6);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * count);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = dir + 6 + 14 * i;
    ico.append(reinterpret_cast<const char*>(entry), 8);  // size, colours, planes, bits
    PutLe(ico, static_cast<std::uint32_t>(images[i].size()), 4);
    PutLe(ico, offset, 4);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::string& image : images) ico += image;
  return ico;
}

bool KeyStateDown(int vk) { return GetKeyState(vk) < 0; }

namespace {
// Closing the menu hands the activation back to a window of the program, and Wine without
// a window manager confirms that a moment later from the X server. A window the chosen
// command shows before that confirmation arrives gets into an endless exchange of the
// activation with that window, so the confirmation is awaited first: until nothing has
// arrived for a short while, and never longer than a fifth of a second.
void SettleActivation() {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= 200) return;
    const DWORD quiet = std::min<DWORD>(30, 200 - spent);
    if (MsgWaitForMultipleObjectsEx(0, nullptr, quiet, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT) return;
    ProcessPendingMessages();
  }
}
}  // namespace

MenuItem* ShowPopupMenu(WindowHandle window, MenuItem& menu, ScreenPoint at) {
  std::vector<MenuItem*> items;  // command id n is items[n - 1]
  std::function<void(HMENU, MenuItem&)> build = [&](HMENU target, MenuItem& parent) {
    for (const auto& item : parent.Items()) {
      if (item->IsSeparator()) {
        AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      const UINT state = item->Enabled() ? MF_ENABLED : MF_GRAYED;
      const std::wstring caption = win32::Wide(item->Caption());
      if (!item->Items().empty()) {
        const HMENU sub = CreatePopupMenu();
        build(sub, *item);
        AppendMenuW(target, MF_POPUP | MF_STRING | state, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
        continue;
      }
      items.push_back(item.get());
      AppendMenuW(target, MF_STRING | state, items.size(), caption.c_str());
      if (item->IsDefault()) SetMenuDefaultItem(target, static_cast<UINT>(items.size()), FALSE);
    }
  };
  const HMENU popup = CreatePopupMenu();
  if (!popup) return nullptr;
  build(popup, menu);
  const HWND hwnd = reinterpret_cast<HWND>(window);
  // A mouse capture in progress in one of the program's windows would take the menu's
  // clicks. Not WM_CANCELMODE: the default handling of it also ends menus.
  if (GetCapture()) ReleaseCapture();
  // Only a menu of the foreground window closes when the user clicks elsewhere.
  if (IsWindowEnabled(hwnd)) SetForegroundWindow(hwnd);
  ProcessPendingMessages();
  const UINT picked = static_cast<UINT>(TrackPopupMenu(
      popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, hwnd, nullptr));
  if (IsWindowEnabled(hwnd)) SetForegroundWindow(hwnd);
  if (picked) SettleActivation();
  // Without a message after it, the next tray menu may close at once (the shell's known
  // requirement for menus of notification icons).
  PostMessageW(hwnd, WM_NULL, 0, 0);
  DestroyMenu(popup);
  return picked >= 1 && picked <= items.size() ? items[picked - 1] : nullptr;
}

}  // namespace plat
