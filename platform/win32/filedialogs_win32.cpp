#include "platform/win32/sysdll.h"
// sysdll.h first: it brings commdlg.h, which shlobj.h needs before it.
#include <shlobj.h>

#include <vector>

#include "platform/dialogs.h"

namespace plat {
namespace {

bool RunFileDialog(const FileDialogOptions& o, std::string& chosen, bool save) {
  // The filter's pairs are NUL-separated for the system, ending in two NULs.
  std::wstring filter = win32::Wide(o.filter);
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.append(2, L'\0');
  const std::wstring dir = win32::Wide(o.initialDir);
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring proposed = win32::Wide(o.fileName);
  proposed.copy(name.data(), std::min(proposed.size(), name.size() - 1));

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = win32::OwnerWindow(o.owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (o.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (o.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (o.resizable) ofn.Flags |= OFN_ENABLESIZING;
  // Without the dialogs' DLL no file is chosen, as when the dialog is cancelled.
  const win32::Comdlg32Functions* comdlg32 = win32::Comdlg32();
  const BOOL ok = comdlg32 && (save ? comdlg32->GetSaveFileNameW(&ofn) : comdlg32->GetOpenFileNameW(&ofn));
  if (!ok) return false;
  chosen = win32::Narrow(name.data(), wcslen(name.data()));
  return true;
}

}  // namespace

bool OpenFileDialog(const FileDialogOptions& options, std::string& chosen) {
  return RunFileDialog(options, chosen, false);
}

bool SaveFileDialog(const FileDialogOptions& options, std::string& chosen) {
  return RunFileDialog(options, chosen, true);
}

bool BrowseForFolder(const std::string& title, Form* owner, std::string& chosen) {
  const std::wstring wideTitle = win32::Wide(title);
  std::vector<wchar_t> display(MAX_PATH, L'\0');
  BROWSEINFOW info = {};
  info.hwndOwner = win32::OwnerWindow(owner);
  info.pszDisplayName = display.data();
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
  if (!picked) return false;
  std::vector<wchar_t> path(MAX_PATH, L'\0');  // the call writes at most MAX_PATH characters
  const BOOL ok = SHGetPathFromIDListW(picked, path.data());
  CoTaskMemFree(picked);
  if (!ok || path[0] == L'\0') return false;
  chosen = win32::Narrow(path.data(), wcslen(path.data()));
  return true;
}

}  // namespace plat
