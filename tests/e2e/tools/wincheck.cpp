// wincheck.exe - looks at top-level windows by their exact title, as another program would.
//
//   wincheck.exe owner <title>        "owner=<owner's title> owner_enabled=0|1", or "owner=none"
//   wincheck.exe count <title>        how many visible windows have that title
//   wincheck.exe client <title> X Y   the screen position of client point X,Y: "X Y"
//   wincheck.exe close <title>        posts WM_CLOSE to it (as the taskbar or a tool does)
// Output is UTF-8. Exit code 1 when no window has that title, 2 on bad arguments.
#include <windows.h>
// windows.h first: the shell header needs its declarations.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring Title(HWND w) {
  wchar_t buffer[512];
  const int n = GetWindowTextW(w, buffer, 512);
  return std::wstring(buffer, n > 0 ? n : 0);
}

struct Search {
  std::wstring title;
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND w, LPARAM p) {
  Search* s = reinterpret_cast<Search*>(p);
  if (IsWindowVisible(w) && Title(w) == s->title) s->found.push_back(w);
  return TRUE;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring command = argv[1];
  Search search{argv[2], {}};
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
  if (command == L"count") {
    std::printf("%u\n", static_cast<unsigned>(search.found.size()));
    return 0;
  }
  if (search.found.empty()) return 1;
  const HWND w = search.found.front();
  if (command == L"owner") {
    const HWND owner = GetWindow(w, GW_OWNER);
    if (!owner)
      std::printf("owner=none\n");
    else
      std::printf("owner=%s owner_enabled=%d\n", Utf8(Title(owner)).c_str(), IsWindowEnabled(owner) ? 1 : 0);
  } else if (command == L"client" && argc >= 5) {
    POINT pt = {_wtoi(argv[3]), _wtoi(argv[4])};
    ClientToScreen(w, &pt);
    std::printf("%ld %ld\n", pt.x, pt.y);
  } else if (command == L"close") {
    PostMessageW(w, WM_CLOSE, 0, 0);
  } else {
    return 2;
  }
  return 0;
}
