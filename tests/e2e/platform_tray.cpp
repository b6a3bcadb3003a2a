// platform_check's tray modes: the tray icon component shown by the real shell.
//   tray <secs>            puts an icon with a menu in the notification area, prints
//                          "READY hwnd=<hex> intray=1", then one line per event: "DOWN <button>",
//                          "UP <button>" (0 left, 1 right, 2 middle), "CLICK left|right",
//                          "DBLCLICK", "CHOSE open|second"; "끝내기(&X)" ends it ("END")
//   tray-remove <hwnd>     takes that window's icon out of the tray, as another program can
//   taskbar-created        broadcasts the shell's registered "TaskbarCreated" message
#include "platform/win32/text_win32.h"
// text_win32.h first: it removes the Windows macros that collide with platform names.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
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
  nid.hWnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(window.c_str(), nullptr, 16)));
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
