// platform_check's tray modes: the tray icon component shown by the real shell.
//   tray <secs>            puts an icon with a menu in the notification area, prints
//                          "READY hwnd=<hex> intray=1", then one line per event: "DOWN <button>",
//                          "UP <button>" (0 left, 1 right, 2 middle), "CLICK left|right",
//                          "DBLCLICK", "CHOSE open|second"; "끝내기(&X)" ends it ("END")
//   tray-remove <hwnd>     takes that window's icon out of the tray, as another program can
//   tray-remove keyvane    the same for Keyvane's icon
//   taskbar-created        broadcasts the shell's registered "TaskbarCreated" message
// CheckTrayIcons() is one of the checks platform_check runs by default.
#include "platform/win32/text_win32.h"
// text_win32.h first: it removes the Windows macros that collide with platform names.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/msgloop.h"
#include "tray/TrayIcons.h"
#include "tray/TrayShell.h"

namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace

void CheckTrayIcons(const std::function<void(const std::string&, bool, const std::string&)>& report) {
  // The 16-colour tray icon becomes a small icon.
  const plat::IconHandle icon = plat::CreateIconFromIco(kv::TrayIconImage());
  ICONINFO info = {};
  BITMAP bitmap = {};
  const bool made = icon && GetIconInfo(reinterpret_cast<HICON>(icon), &info) &&
                    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap) == sizeof bitmap;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  report("tray icon from .ico bytes", made && bitmap.bmWidth == GetSystemMetrics(SM_CXSMICON),
         "handle " + std::to_string(icon) + " width " + std::to_string(bitmap.bmWidth));
  plat::DestroyIconHandle(icon);
  report("bytes that are no icon give no handle", plat::CreateIconFromIco("not an icon") == 0, "");
  std::string cut = kv::TrayIconImage();
  cut.resize(100);
  report("an icon cut short gives no handle", plat::CreateIconFromIco(cut) == 0, "");

  // The exe's icon resource, rebuilt as an .ico file, is the file it was made from.
  report("LoadIconA of icon resource 1", plat::LoadIconResource("#1") != 0, "");
  report("a missing icon resource gives no handle", plat::LoadIconResource("#77") == 0, "");
  const HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  const HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
  const std::string original =
      data ? std::string(static_cast<const char*>(LockResource(data)), SizeofResource(nullptr, res)) : std::string();
  const std::string rebuilt = plat::IconResourceImage("#1");
  report("icon resource 1 rebuilt as the .ico file it came from", !original.empty() && rebuilt == original,
         std::to_string(rebuilt.size()) + " bytes, the file has " + std::to_string(original.size()));
  report("a missing icon resource gives no image", plat::IconResourceImage("#77").empty(), "");
}

int TrayByHand(int seconds) {
  kv::TTrayIcon tray;
  kv::TIcon icon;
  icon.LoadFromIco(kv::TrayIconImage());
  kv::TPopupMenu menu;
  menu.Items.Add("열기(&O)", [] { Say("CHOSE open"); }).SetDefault(true);
  menu.Items.AddSeparator();
  menu.Items.Add("둘째 항목(&B)", [] { Say("CHOSE second"); });
  menu.Items.Add("못 고름(&D)", [] { Say("CHOSE disabled"); }).SetEnabled(false);
  menu.Items.Add("끝내기(&X)", [] { plat::QuitMessageLoop(0); });
  tray.SetHint("플랫폼 트레이|풍선에만 쓰는 긴 설명");
  tray.SetIcon(&icon);
  tray.SetPopupMenu(&menu);
  tray.OnClick = [](kv::TTrayIcon&, kv::TMouseButton b, kv::TShiftState, int, int) {
    Say(std::string("CLICK ") + (b == kv::TMouseButton::Left    ? "left"
                                 : b == kv::TMouseButton::Right ? "right"
                                                                : "middle"));
  };
  tray.OnDblClick = [](kv::TTrayIcon&) { Say("DBLCLICK"); };
  tray.OnMouseDown = [](kv::TTrayIcon&, kv::TMouseButton b, kv::TShiftState, int, int) {
    Say(std::string("DOWN ") + std::to_string(static_cast<int>(b)));
  };
  tray.OnMouseUp = [](kv::TTrayIcon&, kv::TMouseButton b, kv::TShiftState, int, int) {
    Say(std::string("UP ") + std::to_string(static_cast<int>(b)));
  };
  tray.Loaded();
  char hwnd[32];
  std::snprintf(hwnd, sizeof hwnd, "%lx", static_cast<unsigned long>(tray.Handle()));
  Say(std::string("READY hwnd=") + hwnd + " intray=" + (tray.InTray() ? "1" : "0"));
  const unsigned timer = plat::StartOneShotTimer(static_cast<std::uint32_t>(seconds) * 1000, [] {
    Say("TIMEOUT");
    plat::QuitMessageLoop(1);
  });
  const int code = plat::RunMessageLoop();
  plat::CancelTimer(timer);
  Say("END");
  return code;
}

int TrayRemove(const std::string& window) {
  NOTIFYICONDATAW nid = {};
  nid.cbSize = static_cast<DWORD>(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR));
  // "keyvane": Keyvane's own icon, whose window is its only form without a caption
  nid.hWnd = window == "keyvane"
                 ? FindWindowW(L"KeyvaneForm", L"")
                 : reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(window.c_str(), nullptr, 16)));
  nid.uID = 0;
  const bool ok = Shell_NotifyIconW(NIM_DELETE, &nid) != FALSE;
  Say(ok ? "REMOVED" : "NOT REMOVED");
  return ok ? 0 : 1;
}

int TaskbarCreated() {
  const BOOL ok = PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  Say(ok ? "BROADCAST" : "NOT BROADCAST");
  return ok ? 0 : 1;
}
