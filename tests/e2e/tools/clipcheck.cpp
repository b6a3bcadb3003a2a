// clipcheck.exe - another program's use of the clipboard, for the end-to-end tests.
//
//   clipcheck.exe copy <text> <width> <height>
//       copies as a program does: the text (CF_UNICODETEXT), a picture of that size as a
//       32-bit DIB with a pattern in it, a file list (CF_HDROP) and "HTML Format"; the
//       system adds the forms it makes from them.  Prints COPIED seq=<sequence number>.
//   clipcheck.exe dump
//       every format the clipboard lists, in its order, one line each:
//         FORMAT <number> bytes=<size> fnv=<FNV-1a 64 of the bytes, hex>   a memory block
//         FORMAT <number> handle                                           a bitmap, palette...
//       then SEQ=<sequence number>.  Two dumps are equal when the clipboard holds the same
//       bytes in every format.
//   clipcheck.exe text
//       TEXT=<the CF_UNICODETEXT text, UTF-8> or NOTEXT
//   clipcheck.exe lazy <text> <ms>|never
//       copies the text (CF_UNICODETEXT) and two registered formats, each rendered only
//       when asked: after <ms> of work, or never (the program stops answering).  Prints
//       LAZY OWNER when the copy is on the clipboard, RENDERED <format> after each, and
//       stays until ended.
//   clipcheck.exe listen <stop file>
//       prints LISTENING, then for each change of the clipboard one line
//         CHANGE text=<the CF_UNICODETEXT text, UTF-8, or none> marks=<the marks it carries>
//       where the marks are "monitors" (ExcludeClipboardContentFromMonitorProcessing
//       present), "history=<DWORD>" (CanIncludeInClipboardHistory) and "cloud=<DWORD>"
//       (CanUploadToCloudClipboard), comma-separated; stops once the stop file exists.
#include <windows.h>
// windows.h first: the shell headers build on it.
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The program that just changed the clipboard may still hold it open.
bool openClipboard(HWND owner) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

HGLOBAL block(const void* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h) return nullptr;
  memcpy(GlobalLock(h), bytes, size);
  GlobalUnlock(h);
  return h;
}

std::string utf8(const wchar_t* w, int n) {
  if (n <= 0) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
  std::string s(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, n, &s[0], size, nullptr, nullptr);
  return s;
}

int copy(const wchar_t* text, int width, int height) {
  // The DIB: a header and the pixels, bottom-up, each one a colour made of its place.
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(width) * height * 4;
  std::vector<unsigned char> dib(sizeof header + header.biSizeImage);
  memcpy(dib.data(), &header, sizeof header);
  for (size_t i = 0; i < header.biSizeImage; ++i) dib[sizeof header + i] = static_cast<unsigned char>(i * 7 + i / 4096);

  // The file list: DROPFILES, then the wide names, each ending with a zero, and one more.
  const std::wstring files = std::wstring(L"C:\\e2e\\그림.bmp") + L'\0' + L"C:\\e2e\\글.txt" + L'\0' + L'\0';
  std::vector<unsigned char> drop(sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
  DROPFILES df = {};
  df.pFiles = sizeof(DROPFILES);
  df.fWide = TRUE;
  memcpy(drop.data(), &df, sizeof df);
  memcpy(drop.data() + sizeof df, files.data(), files.size() * sizeof(wchar_t));

  const char html[] =
      "Version:0.9\r\nStartHTML:0000000071\r\nEndHTML:0000000108\r\n"
      "<html><body><b>복사</b></body></html>";
  const UINT htmlFormat = RegisterClipboardFormatW(L"HTML Format");

  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (!openClipboard(owner)) {
    std::printf("NOT OPEN\n");
    return 1;
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_UNICODETEXT, block(text, (wcslen(text) + 1) * sizeof(wchar_t))) &&
                  SetClipboardData(CF_DIB, block(dib.data(), dib.size())) &&
                  SetClipboardData(CF_HDROP, block(drop.data(), drop.size())) &&
                  SetClipboardData(htmlFormat, block(html, sizeof html));
  CloseClipboard();
  std::printf("%s seq=%lu\n", ok ? "COPIED" : "REFUSED", static_cast<unsigned long>(GetClipboardSequenceNumber()));
  return ok ? 0 : 1;
}

bool isHandleFormat(UINT format) {
  return format == CF_BITMAP || format == CF_METAFILEPICT || format == CF_PALETTE || format == CF_ENHMETAFILE ||
         format == CF_OWNERDISPLAY || format == CF_DSPBITMAP || format == CF_DSPMETAFILEPICT ||
         format == CF_DSPENHMETAFILE || (format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST);
}

int dump() {
  if (!openClipboard(nullptr)) {
    std::printf("NOT OPEN\n");
    return 1;
  }
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    HANDLE h = isHandleFormat(format) ? nullptr : GetClipboardData(format);
    const SIZE_T size = h ? GlobalSize(h) : 0;
    const unsigned char* p = size ? static_cast<const unsigned char*>(GlobalLock(h)) : nullptr;
    if (!p) {
      std::printf("FORMAT %u handle\n", format);
      continue;
    }
    unsigned long long hash = 1469598103934665603ULL;
    for (SIZE_T i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ULL;
    GlobalUnlock(h);
    std::printf("FORMAT %u bytes=%lu fnv=%016llx\n", format, static_cast<unsigned long>(size), hash);
  }
  CloseClipboard();
  std::printf("SEQ=%lu\n", static_cast<unsigned long>(GetClipboardSequenceNumber()));
  return 0;
}

int text() {
  if (!openClipboard(nullptr)) {
    std::printf("NOT OPEN\n");
    return 1;
  }
  std::string out = "NOTEXT";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      out = "TEXT=" + utf8(p, static_cast<int>(wcsnlen(p, GlobalSize(h) / sizeof(wchar_t))));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  std::printf("%s\n", out.c_str());
  return 0;
}

std::wstring g_lazyText;
DWORD g_renderMs = 0;  // INFINITE: never

LRESULT CALLBACK lazyOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERFORMAT) {
    Sleep(g_renderMs);
    SetClipboardData(static_cast<UINT>(wParam),
                     block(g_lazyText.c_str(), (g_lazyText.size() + 1) * sizeof(wchar_t)));
    std::printf("RENDERED %u\n", static_cast<unsigned>(wParam));
    std::fflush(stdout);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int lazy(const wchar_t* text, const wchar_t* ms) {
  g_lazyText = text;
  g_renderMs = wcscmp(ms, L"never") == 0 ? INFINITE : static_cast<DWORD>(_wtoi(ms));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = lazyOwner;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"clipcheck lazy";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!openClipboard(owner)) {
    std::printf("NOT OPEN\n");
    return 1;
  }
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, nullptr);
  SetClipboardData(RegisterClipboardFormatW(L"clipcheck lazy 1"), nullptr);
  SetClipboardData(RegisterClipboardFormatW(L"clipcheck lazy 2"), nullptr);
  CloseClipboard();
  std::printf("LAZY OWNER\n");
  std::fflush(stdout);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

std::wstring g_stopFile;

// The DWORD a registered format holds, or "?" when it holds no DWORD.
std::string dwordOf(UINT format) {
  HANDLE h = GetClipboardData(format);
  const DWORD* p = h && GlobalSize(h) >= sizeof(DWORD) ? static_cast<const DWORD*>(GlobalLock(h)) : nullptr;
  if (!p) return "?";
  const std::string value = std::to_string(*p);
  GlobalUnlock(h);
  return value;
}

void printChange() {
  if (!openClipboard(nullptr)) {
    std::printf("CHANGE NOT OPEN\n");
    return;
  }
  std::string text = "none", marks;
  const auto mark = [&marks](const std::string& m) { marks += (marks.empty() ? "" : ",") + m; };
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    wchar_t name[128] = L"";
    if (format >= 0xC000) GetClipboardFormatNameW(format, name, 128);
    if (wcscmp(name, L"ExcludeClipboardContentFromMonitorProcessing") == 0) mark("monitors");
    if (wcscmp(name, L"CanIncludeInClipboardHistory") == 0) mark("history=" + dwordOf(format));
    if (wcscmp(name, L"CanUploadToCloudClipboard") == 0) mark("cloud=" + dwordOf(format));
  }
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = utf8(p, static_cast<int>(wcsnlen(p, GlobalSize(h) / sizeof(wchar_t))));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  std::printf("CHANGE text=%s marks=%s\n", text.c_str(), marks.empty() ? "none" : marks.c_str());
  std::fflush(stdout);
}

LRESULT CALLBACK listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLIPBOARDUPDATE) {
    printChange();
    return 0;
  }
  if (message == WM_TIMER && GetFileAttributesW(g_stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int listen(const wchar_t* stopFile) {
  g_stopFile = stopFile;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = listener;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"clipcheck listen";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!window || !AddClipboardFormatListener(window)) {
    std::printf("NOT LISTENING\n");
    return 1;
  }
  SetTimer(window, 1, 100, nullptr);  // looks for the stop file
  std::printf("LISTENING\n");
  std::fflush(stdout);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  RemoveClipboardFormatListener(window);
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"copy" && argc > 4) return copy(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
  if (mode == L"dump") return dump();
  if (mode == L"text") return text();
  if (mode == L"lazy" && argc > 3) return lazy(argv[2], argv[3]);
  if (mode == L"listen" && argc > 2) return listen(argv[2]);
  std::printf("usage: clipcheck copy <text> <w> <h> | dump | text | lazy <text> <ms>|never | listen <stop file>\n");
  return 2;
}
