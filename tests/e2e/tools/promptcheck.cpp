// promptcheck.exe - the top-level windows of one title, for prompts that may be open several
// times at once (ctlist reads only one window of a title).
//
//   promptcheck.exe list <title>          one P line per visible window with exactly that title:
//                                         P <topmost 0|1> <focused control's class> <label>|<label>...
//                                         each label as it is drawn: without SS_NOPREFIX an "&"
//                                         only underlines the next letter ("&&" draws one "&")
//   promptcheck.exe settext <title> <text>  WM_SETTEXT into the edit box of the newest such
//                                         window (xdotool cannot type Hangul into Wine)
// Output is UTF-8. Exit code 1 when no such window is shown, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring textOf(HWND h) {
  wchar_t buf[1024] = {};
  GetWindowTextW(h, buf, 1024);
  return buf;
}

std::wstring classOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

// The text a static control draws: its mnemonic marks are not drawn.
std::wstring drawnText(HWND h) {
  const std::wstring text = textOf(h);
  if (GetWindowLongW(h, GWL_STYLE) & SS_NOPREFIX) return text;
  std::wstring drawn;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    drawn += text[i];
  }
  return drawn;
}

struct Search {
  std::wstring title;
  std::vector<HWND> found;  // in Z order, topmost first
};

BOOL CALLBACK collect(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (IsWindowVisible(h) && textOf(h) == s->title) s->found.push_back(h);
  return TRUE;
}

struct Children {
  std::vector<HWND> all;
};

BOOL CALLBACK child(HWND h, LPARAM lp) {
  reinterpret_cast<Children*>(lp)->all.push_back(h);
  return TRUE;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring cmd = argv[1];
  Search s{argv[2], {}};
  EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
  if (s.found.empty()) return 1;
  if (cmd == L"list") {
    for (HWND w : s.found) {
      Children c;
      EnumChildWindows(w, child, reinterpret_cast<LPARAM>(&c));
      GUITHREADINFO gti = {};
      gti.cbSize = sizeof gti;
      std::wstring focus = L"-";
      if (GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gti) && gti.hwndFocus &&
          GetAncestor(gti.hwndFocus, GA_ROOT) == w)
        focus = classOf(gti.hwndFocus);
      std::wstring labels;
      for (HWND h : c.all)
        if (classOf(h) == L"Static" && IsWindowVisible(h)) labels += (labels.empty() ? L"" : L"|") + drawnText(h);
      const bool topmost = (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      std::printf("P\t%d\t%s\t%s\n", topmost ? 1 : 0, utf8(focus).c_str(), utf8(labels).c_str());
    }
    return 0;
  }
  if (cmd == L"settext" && argc >= 4) {
    // The newest prompt is the one on top of its kind.
    Children c;
    EnumChildWindows(s.found.front(), child, reinterpret_cast<LPARAM>(&c));
    for (HWND h : c.all) {
      if (classOf(h) != L"Edit") continue;
      SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
      return 0;
    }
    return 1;
  }
  return 2;
}
