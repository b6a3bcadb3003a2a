#include "platform/win32/support_win32.h"
// support_win32.h first: it removes the Windows macros that collide with platform names.
#include <climits>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "platform/hotkeys.h"

namespace plat {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// The system accepts a second registration under an id the window already uses (Windows
// then holds both), so the ids each window holds are tracked here to refuse it.
std::set<std::pair<HWND, int>>& HeldIds() {
  static std::set<std::pair<HWND, int>> ids;
  return ids;
}

void ForgetWindowIds(HWND window) {
  auto& ids = HeldIds();
  for (auto it = ids.lower_bound({window, INT_MIN}); it != ids.end() && it->first == window;) it = ids.erase(it);
}

// A destroyed window loses its hotkeys with it.
void ForgetDeadWindows() {
  auto& ids = HeldIds();
  for (auto it = ids.begin(); it != ids.end();) {
    if (IsWindow(it->first))
      ++it;
    else
      it = ids.erase(it);
  }
}

struct HookedWindow {
  WNDPROC previous = nullptr;
  // Shared so that a hook that replaces or removes itself while it runs stays alive.
  std::shared_ptr<const MessageHook> hook;
};

std::map<HWND, HookedWindow>& Hooked() {
  static std::map<HWND, HookedWindow> windows;
  return windows;
}

LRESULT CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& hooked = Hooked();
  auto it = hooked.find(window);
  if (it == hooked.end()) return DefWindowProcW(window, msg, wParam, lParam);
  const WNDPROC previous = it->second.previous;
  const std::shared_ptr<const MessageHook> hook = it->second.hook;
  if (hook && *hook) {
    win32::Guarded([&] { (*hook)(msg, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam)); });
  }
  const LRESULT result = CallWindowProcW(previous, window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The handle may be given to a new window later; nothing of this one may stick to it.
    hooked.erase(window);
    ForgetWindowIds(window);
  }
  return result;
}

}  // namespace

bool RegisterHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) {
  if (id < 0 || id > 0xBFFF) return false;
  const HWND hwnd = ToHwnd(window);
  ForgetDeadWindows();
  if (HeldIds().count({hwnd, id})) return false;
  if (!::RegisterHotKey(hwnd, id, modifiers, vk)) return false;
  HeldIds().insert({hwnd, id});
  return true;
}

bool UnregisterHotKey(WindowHandle window, int id) {
  const HWND hwnd = ToHwnd(window);
  if (!::UnregisterHotKey(hwnd, id)) return false;
  HeldIds().erase({hwnd, id});
  return true;
}

void HookWindow(WindowHandle window, MessageHook hook) {
  const HWND hwnd = ToHwnd(window);
  auto shared = std::make_shared<const MessageHook>(std::move(hook));
  auto& hooked = Hooked();
  auto it = hooked.find(hwnd);
  if (it != hooked.end()) {
    it->second.hook = std::move(shared);
    return;
  }
  if (!IsWindow(hwnd)) return;
  // The entry must exist before the procedure is swapped: a message may arrive at once.
  HookedWindow& entry = hooked[hwnd];
  entry.hook = std::move(shared);
  SetLastError(0);
  const LONG_PTR previous = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc));
  if (previous == 0 && GetLastError() != 0) {
    hooked.erase(hwnd);
    return;
  }
  entry.previous = reinterpret_cast<WNDPROC>(previous);
}

void UnhookWindow(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  auto& hooked = Hooked();
  auto it = hooked.find(hwnd);
  if (it == hooked.end()) return;
  // Someone may have replaced the procedure after us; putting ours back would cut them off,
  // so then the hook stays in the chain and only stops calling out.
  if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookProc)) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
    hooked.erase(it);
  } else {
    it->second.hook.reset();
  }
}

}  // namespace plat
