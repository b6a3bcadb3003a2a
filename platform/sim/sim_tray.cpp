// The simulated shell tray: a list of icons keyed by window and id, a record of every call,
// icon handles counted so that a test sees leaks, and popup menus answered by a script.
#include "platform/sim/sim_tray.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <set>

#include "platform/controls.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/sim/sim.h"

namespace {

constexpr unsigned kTaskbarCreated = 0xC1F0;  // registered messages lie in 0xC000-0xFFFF

struct TrayState {
  std::vector<sim::NotifyCall> calls;
  std::vector<plat::NotifyIconData> icons;
  int refusals = 0;
  std::map<plat::IconHandle, std::string> live;
  plat::IconHandle nextIcon = 0x7000;
  std::map<std::string, std::string> resources;
  std::map<std::string, plat::IconHandle> sharedIcons;
  std::set<int> keysDown;
  std::set<int> freshDown;  // down, and no hotkey press has come from it yet
  bool watching = false;
  unsigned watchedModifiers = 0;
  int watchedVk = 0, newPresses = 0;
  plat::WindowHandle captureTarget = 0;  // the key box's capture of combinations
  std::vector<sim::PopupCall> popups;
  std::deque<std::string> choices;
  std::set<plat::WindowHandle> disabled;
};

TrayState& T() {
  static TrayState state;
  return state;
}

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

// What the system checks before it makes an icon: the file header, and every image of the
// directory inside the bytes.
bool LooksLikeIco(const std::string& ico) {
  if (ico.size() < 6 || ico[0] != 0 || ico[1] != 0 || ico[2] != 1 || ico[3] != 0) return false;
  const std::size_t count = static_cast<unsigned char>(ico[4]) | static_cast<unsigned char>(ico[5]) << 8;
  if (count == 0 || ico.size() < 6 + 16 * count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::uint64_t size = Le32(ico, entry + 8), offset = Le32(ico, entry + 12);
    if (size == 0 || offset + size > ico.size()) return false;
  }
  return true;
}

auto FindIcon(plat::WindowHandle window, std::uint32_t id) {
  auto& icons = T().icons;
  return std::find_if(icons.begin(), icons.end(),
                      [&](const plat::NotifyIconData& d) { return d.window == window && d.uID == id; });
}

}  // namespace

namespace sim {

std::vector<NotifyCall> NotifyCalls() { return T().calls; }
std::vector<plat::NotifyIconData> TrayIcons() { return T().icons; }
void RefuseAdds(int count) { T().refusals = count; }

void RestartTaskbar() {
  T().icons.clear();
  for (plat::WindowHandle window : Windows()) SendMessage(window, kTaskbarCreated, 0, 0);
}

void RemoveTrayIcon(plat::WindowHandle window, std::uint32_t id) {
  auto it = FindIcon(window, id);
  if (it != T().icons.end()) T().icons.erase(it);
}

std::size_t LiveIcons() { return T().live.size(); }
std::string IconImage(plat::IconHandle icon) {
  auto it = T().live.find(icon);
  return it == T().live.end() ? std::string() : it->second;
}
void AddIconResource(const std::string& name, const std::string& ico) { T().resources[name] = ico; }

void SetKeyDown(int vk, bool down) {
  if (down) {
    if (T().keysDown.insert(vk).second) T().freshDown.insert(vk);
  } else {
    T().keysDown.erase(vk);
    T().freshDown.erase(vk);
  }
}

void NoteHotKeyPress(unsigned modifiers, unsigned vk) {
  TrayState& t = T();
  const int key = static_cast<int>(vk);
  const bool fresh = !t.keysDown.count(key) || t.freshDown.erase(key) != 0;
  if (fresh && t.watching && t.watchedModifiers == modifiers && t.watchedVk == key) ++t.newPresses;
}

std::vector<PopupCall> Popups() { return T().popups; }
void ChooseInNextPopup(const std::string& caption) { T().choices.push_back(caption); }
void SetWindowEnabled(plat::WindowHandle window, bool enabled) {
  if (enabled)
    T().disabled.erase(window);
  else
    T().disabled.insert(window);
}

void ResetTray() { T() = TrayState(); }

}  // namespace sim

namespace plat {

bool ShellNotifyIcon(NotifyAction action, const NotifyIconData& data) {
  TrayState& t = T();
  bool accepted = false;
  auto it = FindIcon(data.window, data.uID);
  const bool valid = data.cbSize == 88 && data.szTip[sizeof data.szTip - 1] == 0;
  switch (action) {
    case NotifyAction::Add:
      if (t.refusals > 0) {
        --t.refusals;
      } else if (valid && it == t.icons.end()) {
        t.icons.push_back(data);
        accepted = true;
      }
      break;
    case NotifyAction::Modify:
      if (valid && it != t.icons.end()) {
        *it = data;
        accepted = true;
      }
      break;
    case NotifyAction::Delete:
      if (it != t.icons.end()) {
        t.icons.erase(it);
        accepted = true;
      }
      break;
  }
  t.calls.push_back({action, data, accepted});
  return accepted;
}

unsigned TaskbarCreatedMessage() { return kTaskbarCreated; }

IconHandle CreateIconFromIco(const std::string& ico) {
  if (!LooksLikeIco(ico)) return 0;
  const IconHandle icon = T().nextIcon++;
  T().live[icon] = ico;
  return icon;
}

void DestroyIconHandle(IconHandle icon) { T().live.erase(icon); }

IconHandle LoadIconResource(const std::string& name) {
  TrayState& t = T();
  if (!t.resources.count(name)) return 0;
  IconHandle& shared = t.sharedIcons[name];
  if (!shared) shared = t.nextIcon++;
  return shared;
}

std::string IconResourceImage(const std::string& name) {
  auto it = T().resources.find(name);
  return it == T().resources.end() ? std::string() : it->second;
}

bool KeyStateDown(int vk) { return T().keysDown.count(vk) != 0; }

bool WatchNewPresses(unsigned modifiers, std::uint8_t vk) {
  TrayState& t = T();
  if (t.watching && t.watchedModifiers == modifiers && t.watchedVk == vk) return true;
  t.watching = true;
  t.watchedModifiers = modifiers;
  t.watchedVk = vk;
  t.newPresses = 0;
  return true;
}
void StopWatchingNewPresses() { T().watching = false; }
bool TakeNewPress() {
  if (T().newPresses == 0) return false;
  --T().newPresses;
  return true;
}
bool KeyIsDown(std::uint8_t vk) { return T().keysDown.count(vk) != 0; }
bool CaptureCombinations(WindowHandle target) {
  T().captureTarget = target;
  return true;
}
void StopCapturingCombinations() { T().captureTarget = 0; }
WindowHandle CombinationCaptureTarget() { return T().captureTarget; }

MenuItem* ShowPopupMenu(WindowHandle window, MenuItem& menu, ScreenPoint at) {
  TrayState& t = T();
  sim::PopupCall call{window, at, {}, false, false, 0};
  for (const auto& item : menu.Items()) {
    std::string text = item->Caption();
    if (!item->Enabled()) text += " (disabled)";
    if (item->IsDefault()) text += " (default)";
    call.items.push_back(text);
  }
  const bool enabled = !t.disabled.count(window);
  call.foregroundBefore = enabled;
  const int pumps = sim::PumpCount();
  ProcessPendingMessages();
  call.pumpsBefore = sim::PumpCount() - pumps;
  std::string choice;
  if (!t.choices.empty()) {
    choice = t.choices.front();
    t.choices.pop_front();
  }
  call.foregroundAfter = enabled;
  t.popups.push_back(call);
  if (choice.empty()) return nullptr;
  for (const auto& item : menu.Items())
    if (item->Caption() == choice && item->Enabled() && !item->IsSeparator()) return item.get();
  return nullptr;
}

}  // namespace plat
