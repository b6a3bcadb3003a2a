#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <vector>

#include "platform/registry.h"

namespace plat {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

HKEY RootKey(RegRoot root) { return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

}  // namespace

bool SetRunValue(RegRoot root, const std::string& name, const std::string& value) {
  RegKey key;
  if (RegCreateKeyExW(RootKey(root), kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Out(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring data = win32::Wide(value);
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));  // with the final NUL
  return RegSetValueExW(key.Get(), win32::Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        bytes) == ERROR_SUCCESS;
}

bool DeleteRunValue(RegRoot root, const std::string& name) {
  RegKey key;
  if (RegOpenKeyExW(RootKey(root), kRunKey, 0, KEY_SET_VALUE, key.Out()) != ERROR_SUCCESS) return false;
  return RegDeleteValueW(key.Get(), win32::Wide(name).c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> GetRunValue(RegRoot root, const std::string& name) {
  RegKey key;
  if (RegOpenKeyExW(RootKey(root), kRunKey, 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return std::nullopt;
  const std::wstring valueName = win32::Wide(name);
  std::vector<BYTE> data(256);
  DWORD type = 0;
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG rc = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    break;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  // A stored string need not end in NUL, and may hold an odd byte at the end.
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  const std::size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return win32::Narrow(text);
}

}  // namespace plat
