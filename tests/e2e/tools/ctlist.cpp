// ctlist.exe - what a user sees of another program's window, for the test scripts.
//
//   ctlist.exe <title>               the visible top-level window with exactly that title:
//                                    W, M, C, H, R and T lines (below)
//   ctlist.exe --drop [<item>]       the open drop-down list of a combo box: one D line per
//                                    item, or with <item> only that item's line, scrolled
//                                    into view first (exit 1 when it is not there)
//   ctlist.exe --titles              V lines: every visible top-level window
//   ctlist.exe --tray-tips           P lines: the tips of the icons in the notification
//                                    area, as the shell's tray holds them for its tooltips
//
// Output is UTF-8, one item per line, fields separated by tabs; a tab, CR or LF inside a
// text is written \t \r \n.  Rectangles are in screen pixels "left,top,right,bottom",
// followed by the centre "x,y" that a click aims at.
//   W <class> <title> <rect> <centre> <enabled>
//   M <menu bar item> <enabled|grayed>          (only the bar, not the submenus)
//   C <depth> <class> <caption> <rect> <centre> <visible> <enabled> <state> <focused 0|1>
//       state: check boxes and radio buttons "check=0|1|2"; push buttons "push" or
//       "default"; combo boxes and list boxes "sel=<index> text=<selected text>";
//       list views "rows=<n> sel=<index,index,...>"; a label that ends a text too long
//       for it in "..." "ellipsis"; everything else "-"
//   H <column caption>...                       after the C line of a list view
//   R <index> <selected 0|1> <centre> <cell>...  one per row (centre "-,-" when scrolled away)
//   T <depth> <text> <centre> <expanded 0|1> <selected 0|1>   the shown items of a tree view
//   K <control's caption> <tip>                 the tip a control shows under the pointer
//   D <index> <text> <centre>
//   V <class> <title> <rect>
//   P <tip>
// Exit code 1 when no such window is shown, 2 on bad arguments.
//
// The controls live in another process: messages whose parameters point at memory (list
// and tree view items, rectangles) get a buffer allocated in that process and read back
// from it, since neither Windows nor Wine copies those across.  Wine keeps a menu bar's
// items in the process that owns it, so they are read there by ctlist_menu.dll (built
// from this file with CTLIST_MENU_DLL), loaded into that process for the moment.
#include <windows.h>
// after windows.h: these need its declarations
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

// What the menu reader gets in the other process: which window, and the file to write.
struct MenuRequest {
  DWORD window;
  wchar_t path[MAX_PATH];
};

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

// One item per line: the separators inside a text are escaped.
std::string Field(const std::wstring& w) {
  std::wstring r;
  for (wchar_t c : w) {
    if (c == L'\t')
      r += L"\\t";
    else if (c == L'\r')
      r += L"\\r";
    else if (c == L'\n')
      r += L"\\n";
    else
      r += c;
  }
  return Utf8(r);
}

}  // namespace

#ifdef CTLIST_MENU_DLL

extern "C" __declspec(dllexport) DWORD WINAPI ctlist_menu(LPVOID parameter) {
  const MenuRequest* request = static_cast<const MenuRequest*>(parameter);
  const HMENU menu = GetMenu(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(request->window)));
  std::string out;
  const int n = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < n; ++i) {
    wchar_t text[512] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 511;
    if (!GetMenuItemInfoW(menu, i, TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) continue;
    out += "M\t" + Field(text) + "\t" + ((info.fState & MFS_GRAYED) ? "grayed" : "enabled") + "\n";
  }
  const HANDLE file = CreateFileW(request->path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, out.data(), (DWORD)out.size(), &written, nullptr);
  CloseHandle(file);
  return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

#else

namespace {

void Out(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

std::wstring ClassOf(HWND w) {
  wchar_t name[256] = {};
  GetClassNameW(w, name, 255);
  return name;
}

bool IsClass(HWND w, const wchar_t* name) { return _wcsicmp(ClassOf(w).c_str(), name) == 0; }

// A hung target must not hang the test: every message has a time-out.
LRESULT Send(HWND w, UINT message, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(w, message, wp, lp, SMTO_ABORTIFHUNG, 3000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::wstring TextOf(HWND w) {
  const LRESULT length = Send(w, WM_GETTEXTLENGTH, 0, 0);
  if (length < 0) return L"";
  std::vector<wchar_t> buffer(length + 2, 0);
  Send(w, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer.data()));  // copied across by the system
  return buffer.data();
}

std::string Rect(const RECT& r) {
  char b[80];
  std::snprintf(b, sizeof b, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
  return b;
}
std::string Centre(const RECT& r) {
  char b[40];
  std::snprintf(b, sizeof b, "%ld,%ld", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return b;
}

// A buffer in the process that owns a window.
class Remote {
 public:
  Remote(HWND w, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_CREATE_THREAD |
                               PROCESS_QUERY_INFORMATION | SYNCHRONIZE,
                           FALSE, pid);
    if (process_) base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  }
  ~Remote() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;
  bool ok() const { return base_ != nullptr; }
  char* at(SIZE_T offset) const { return base_ + offset; }
  HANDLE process() const { return process_; }
  bool Put(SIZE_T offset, const void* data, SIZE_T size) {
    return WriteProcessMemory(process_, base_ + offset, data, size, nullptr) != 0;
  }
  bool Get(SIZE_T offset, void* data, SIZE_T size) {
    return ReadProcessMemory(process_, base_ + offset, data, size, nullptr) != 0;
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

const SIZE_T kTextAt = 1024;     // where the text buffers start in a Remote
const int kTextChars = 0x20000;  // characters read at most of one cell or item
const SIZE_T kRemoteSize = kTextAt + (kTextChars + 1) * sizeof(wchar_t);

// Most texts are short: read a page at a time up to the terminating zero.
std::wstring RemoteText(Remote& remote) {
  std::wstring text;
  const int page = 1024;
  std::vector<wchar_t> chunk(page);
  for (int at = 0; at < kTextChars; at += page) {
    if (!remote.Get(kTextAt + at * sizeof(wchar_t), chunk.data(), page * sizeof(wchar_t))) break;
    for (wchar_t c : chunk) {
      if (c == 0) return text;
      text += c;
    }
  }
  return text;
}

void ClearRemoteText(Remote& remote) {
  const wchar_t zero = 0;
  remote.Put(kTextAt, &zero, sizeof zero);
}

std::wstring ListCell(HWND list, Remote& remote, int row, int column) {
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextAt));
  item.cchTextMax = kTextChars;
  ClearRemoteText(remote);
  remote.Put(0, &item, sizeof item);
  Send(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.at(0)));
  return RemoteText(remote);
}

// C line's state of a list view, then its H and R lines.
std::string ListView(HWND list, std::string& rows) {
  const LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0);
  std::string selected;
  for (LRESULT i = Send(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); i >= 0 && i < count;
       i = Send(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))
    selected += (selected.empty() ? "" : ",") + std::to_string(i);
  Remote remote(list, kRemoteSize);
  if (!remote.ok()) return "rows=" + std::to_string(count) + " sel=" + selected + " unreadable";
  const HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  if (columns < 1) columns = 1;
  rows += "H";
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextAt));
    column.cchTextMax = kTextChars;
    ClearRemoteText(remote);
    remote.Put(0, &column, sizeof column);
    Send(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(remote.at(0)));
    rows += "\t" + Field(RemoteText(remote));
  }
  rows += "\n";
  RECT client;
  GetClientRect(list, &client);
  for (int i = 0; i < count; ++i) {
    const bool isSelected = (Send(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    RECT r = {LVIR_LABEL, 0, 0, 0};
    remote.Put(0, &r, sizeof r);
    std::string centre = "-,-";
    if (Send(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(remote.at(0))) > 0 && remote.Get(0, &r, sizeof r)) {
      // only a row whose middle is inside the list can be clicked
      const POINT middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      if (PtInRect(&client, middle)) {
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
        centre = Centre(r);
      }
    }
    rows += "R\t" + std::to_string(i) + "\t" + (isSelected ? "1" : "0") + "\t" + centre;
    for (int c = 0; c < columns; ++c) rows += "\t" + Field(ListCell(list, remote, i, c));
    rows += "\n";
  }
  return "rows=" + std::to_string(count) + " sel=" + selected;
}

// T lines: the tree items a user can see (expanded branches, scrolled into the view).
std::string TreeView(HWND tree, int depth) {
  Remote remote(tree, kRemoteSize);
  if (!remote.ok()) return "";
  RECT client;
  GetClientRect(tree, &client);
  std::string out;
  for (LRESULT item = Send(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0); item != 0 && item != -1;
       item = Send(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, item)) {
    TVITEMW t = {};
    t.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
    t.hItem = reinterpret_cast<HTREEITEM>(item);
    t.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    t.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextAt));
    t.cchTextMax = kTextChars;
    ClearRemoteText(remote);
    remote.Put(0, &t, sizeof t);
    Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
    remote.Get(0, &t, sizeof t);
    const std::wstring text = RemoteText(remote);
    // TVM_GETITEMRECT takes the item in the rectangle it fills
    RECT r = {};
    *reinterpret_cast<LRESULT*>(&r) = item;
    remote.Put(0, &r, sizeof r);
    if (Send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at(0))) <= 0) continue;
    remote.Get(0, &r, sizeof r);
    if (r.top >= client.bottom) break;  // below the view: the rest is too
    int level = 0;
    for (LRESULT p = Send(tree, TVM_GETNEXTITEM, TVGN_PARENT, item); p != 0 && p != -1;
         p = Send(tree, TVM_GETNEXTITEM, TVGN_PARENT, p))
      ++level;
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
    out += "T\t" + std::to_string(depth + level) + "\t" + Field(text) + "\t" + Centre(r) + "\t" +
           ((t.state & TVIS_EXPANDED) ? "1" : "0") + "\t" + ((t.state & TVIS_SELECTED) ? "1" : "0") + "\n";
  }
  return out;
}

std::wstring ListItemText(HWND w, bool listBox, int index) {
  const LRESULT length = Send(w, listBox ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
  if (length < 0 || length > 65536) return L"";
  std::vector<wchar_t> buffer(length + 2, 0);
  Send(w, listBox ? LB_GETTEXT : CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));  // copied across
  return buffer.data();
}

std::string ButtonState(HWND button) {
  switch (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
      return "push";
    case BS_DEFPUSHBUTTON:
      return "default";
    case BS_GROUPBOX:
      return "group";
    case BS_OWNERDRAW:
      return "owner";
    default:
      return "check=" + std::to_string(Send(button, BM_GETCHECK, 0, 0));
  }
}

std::string State(HWND w, int depth, std::string& tail) {
  if (IsClass(w, L"Button")) return ButtonState(w);
  const bool listBox = IsClass(w, L"ListBox");
  if (listBox || IsClass(w, L"ComboBox")) {
    const LRESULT sel = Send(w, listBox ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
    return "sel=" + std::to_string(sel) + " text=" + (sel >= 0 ? Field(ListItemText(w, listBox, (int)sel)) : "");
  }
  if (IsClass(w, WC_LISTVIEWW)) return ListView(w, tail);
  if (IsClass(w, WC_TREEVIEWW)) tail = TreeView(w, depth + 1);
  if (IsClass(w, L"Static") && (GetWindowLongW(w, GWL_STYLE) & SS_ELLIPSISMASK)) return "ellipsis";
  return "-";
}

int Depth(HWND w, HWND top) {
  int depth = 0;
  for (HWND p = GetParent(w); p && p != top; p = GetParent(p)) ++depth;
  return depth;
}

struct Children {
  HWND top;
  std::string out;
};

BOOL CALLBACK ListChild(HWND w, LPARAM p) {
  Children* children = reinterpret_cast<Children*>(p);
  RECT r;
  GetWindowRect(w, &r);
  // A combo box's window may include its drop-down: the user clicks the closed box.
  if (IsClass(w, L"ComboBox")) {
    RECT client;
    if (GetClientRect(w, &client) && client.bottom < r.bottom - r.top) r.bottom = r.top + client.bottom;
  }
  const int depth = Depth(w, children->top);
  std::string tail;
  const std::string state = State(w, depth, tail);
  // The keyboard focus of the window's thread: a script types only once it has landed.
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  const bool focused = GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &thread) && thread.hwndFocus == w;
  children->out += "C\t" + std::to_string(depth) + "\t" + Utf8(ClassOf(w)) + "\t" + Field(TextOf(w)) + "\t" + Rect(r) +
                   "\t" + Centre(r) + "\t" + (IsWindowVisible(w) ? "1" : "0") + "\t" +
                   (IsWindowEnabled(w) ? "1" : "0") + "\t" + state + "\t" + (focused ? "1" : "0") + "\n" + tail;
  return TRUE;
}

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Waits for a thread started in the target and gives its exit code (0 when it failed).
DWORD RunRemote(Remote& remote, FARPROC function, void* argument) {
  const HANDLE thread = CreateRemoteThread(
      remote.process(), nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<ULONG_PTR>(function)),
      argument, 0, nullptr);
  if (!thread) return 0;
  DWORD code = 0;
  if (WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0) GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  return code;
}

// Where the DLL loaded in the other process, from LoadLibraryW's exit code there. A thread's
// exit code holds 32 bits: a 64-bit build takes the upper half from its own load address,
// which a DLL keeps in every process of the session.
ULONG_PTR RemoteBase(HMODULE here, DWORD there) {
  const ULONG_PTR upper = reinterpret_cast<ULONG_PTR>(here) & ~static_cast<ULONG_PTR>(0xFFFFFFFFu);
  return upper | there;
}

std::string MenuBar(HWND top) {
  if (!GetMenu(top)) return "";
  const std::wstring dll = ModuleFolder() + L"ctlist_menu.dll";
  const HMODULE here = LoadLibraryW(dll.c_str());
  FARPROC reader = here ? GetProcAddress(here, "ctlist_menu@4") : nullptr;
  if (here && !reader) reader = GetProcAddress(here, "ctlist_menu");
  if (!reader) return "M\t(ctlist_menu.dll missing)\tgrayed\n";
  Remote remote(top, 8192);
  if (!remote.ok()) return "M\t(no access to the window's process)\tgrayed\n";
  remote.Put(0, dll.c_str(), (dll.size() + 1) * sizeof(wchar_t));
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  // kernel32 lies at the same address in every process of a session
  const DWORD there = RunRemote(remote, GetProcAddress(kernel, "LoadLibraryW"), remote.at(0));
  if (!there) return "M\t(ctlist_menu.dll not loaded in the window's process)\tgrayed\n";
  MenuRequest request = {};
  request.window = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(top));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  GetTempFileNameW(temp, L"ctl", 0, request.path);
  remote.Put(4096, &request, sizeof request);
  const FARPROC remoteReader = reinterpret_cast<FARPROC>(reinterpret_cast<char*>(reader) -
                                                         reinterpret_cast<char*>(here) + RemoteBase(here, there));
  RunRemote(remote, remoteReader, remote.at(4096));
  std::string out;
  const HANDLE file =
      CreateFileW(request.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) out.append(buffer, got);
    CloseHandle(file);
  }
  DeleteFileW(request.path);
  RunRemote(remote, GetProcAddress(kernel, "FreeLibrary"), reinterpret_cast<void*>(RemoteBase(here, there)));
  return out;
}

struct TopSearch {
  std::wstring title;  // empty: every visible window
  bool dropDowns = false;
  std::vector<HWND> found;
};

BOOL CALLBACK FindTop(HWND w, LPARAM p) {
  TopSearch* search = reinterpret_cast<TopSearch*>(p);
  if (!IsWindowVisible(w)) return TRUE;
  if (search->dropDowns) {
    if (IsClass(w, L"ComboLBox")) search->found.push_back(w);
  } else {
    wchar_t title[1024] = {};
    GetWindowTextW(w, title, 1023);
    if (search->title.empty() || search->title == title) search->found.push_back(w);
  }
  return TRUE;
}

std::string ControlTips(HWND top);

int ListWindow(const std::wstring& title) {
  TopSearch search;
  search.title = title;
  EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&search));
  if (search.found.empty()) return 1;
  const HWND top = search.found.front();
  RECT r;
  GetWindowRect(top, &r);
  Out("W\t" + Utf8(ClassOf(top)) + "\t" + Field(title) + "\t" + Rect(r) + "\t" + Centre(r) + "\t" +
      (IsWindowEnabled(top) ? "1" : "0") + "\n");
  Out(MenuBar(top));
  Children children{top, {}};
  EnumChildWindows(top, &ListChild, reinterpret_cast<LPARAM>(&children));
  Out(children.out);
  Out(ControlTips(top));
  return 0;
}

int ListDropDown(const wchar_t* wanted) {
  TopSearch search;
  search.dropDowns = true;
  EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&search));
  for (HWND list : search.found) {
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
      const std::wstring text = ListItemText(list, true, i);
      if (wanted && text != wanted) continue;
      if (wanted) {
        // scroll it in, as the user would, when it is outside the shown rows
        RECT client;
        GetClientRect(list, &client);
        const LRESULT height = Send(list, LB_GETITEMHEIGHT, 0, 0);
        const LRESULT first = Send(list, LB_GETTOPINDEX, 0, 0);
        if (height > 0 && (i < first || i >= first + client.bottom / height)) Send(list, LB_SETTOPINDEX, i, 0);
      }
      RECT client;
      GetClientRect(list, &client);
      const LRESULT height = Send(list, LB_GETITEMHEIGHT, 0, 0);
      const LRESULT first = Send(list, LB_GETTOPINDEX, 0, 0);
      std::string centre = "-,-";
      if (height > 0 && i >= first && (i - first + 1) * height <= client.bottom) {
        POINT middle = {client.right / 2, static_cast<LONG>((i - first) * height + height / 2)};
        ClientToScreen(list, &middle);
        centre = std::to_string(middle.x) + "," + std::to_string(middle.y);
      }
      Out("D\t" + std::to_string(i) + "\t" + Field(text) + "\t" + centre + "\n");
      if (wanted) return 0;
    }
  }
  return wanted || search.found.empty() ? 1 : 0;
}

int ListTitles() {
  TopSearch search;
  EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&search));
  for (HWND w : search.found) {
    wchar_t title[1024] = {};
    GetWindowTextW(w, title, 1023);
    RECT r;
    GetWindowRect(w, &r);
    Out("V\t" + Utf8(ClassOf(w)) + "\t" + Field(title) + "\t" + Rect(r) + "\n");
  }
  return 0;
}

// Tooltip windows of one process, in Z order.
struct TipSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK FindTips(HWND w, LPARAM lp) {
  auto* search = reinterpret_cast<TipSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == search->pid && ClassOf(w) == L"tooltips_class32") search->found.push_back(w);
  return TRUE;
}

std::vector<HWND> TipsOf(HWND w) {
  TipSearch search{0, {}};
  GetWindowThreadProcessId(w, &search.pid);
  EnumWindows(&FindTips, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The tools of a tooltip window: the window each stands for (TTF_IDISHWND, else null) and
// its text, read in the tooltip's process.
std::vector<std::pair<HWND, std::wstring>> Tools(HWND tip) {
  std::vector<std::pair<HWND, std::wstring>> tools;
  const LRESULT count = Send(tip, TTM_GETTOOLCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    Remote remote(tip, kRemoteSize);
    if (!remote.ok()) break;
    TTTOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.lpszText = reinterpret_cast<wchar_t*>(remote.at(kTextAt));
    const wchar_t empty = 0;
    if (!remote.Put(0, &info, sizeof info) || !remote.Put(kTextAt, &empty, sizeof empty)) break;
    if (!Send(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.at(0))) || !remote.Get(0, &info, sizeof info))
      continue;
    tools.emplace_back((info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) : nullptr, RemoteText(remote));
  }
  return tools;
}

// The tray keeps a tooltip window of its own per icon, each with one tool whose text is
// the icon's tip; the tips are read from there, in the tray's process.
int ListTrayTips() {
  const HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  if (!tray) return 1;
  for (HWND tip : TipsOf(tray))
    for (const auto& tool : Tools(tip)) Out("P\t" + Field(tool.second) + "\n");
  return 0;
}

// The tips of the window's controls, from the tooltips it owns.
std::string ControlTips(HWND top) {
  std::string out;
  for (HWND tip : TipsOf(top)) {
    if (GetWindow(tip, GW_OWNER) != top) continue;
    for (const auto& tool : Tools(tip))
      if (tool.first) out += "K\t" + Field(TextOf(tool.first)) + "\t" + Field(tool.second) + "\n";
  }
  return out;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  const std::wstring first = argv[1];
  int rc = 2;
  if (first == L"--drop")
    rc = ListDropDown(argc >= 3 ? argv[2] : nullptr);
  else if (first == L"--titles")
    rc = ListTitles();
  else if (first == L"--tray-tips")
    rc = ListTrayTips();
  else
    rc = ListWindow(first);
  std::fflush(stdout);
  return rc;
}

#endif
