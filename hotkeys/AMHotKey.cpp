#include "hotkeys/AMHotKey.h"

#include <set>
#include <stdexcept>

#include "platform/hotkeys.h"

namespace kv {
namespace {

struct KeyInfo {
  std::string name;
  std::uint8_t code;
};

const std::vector<KeyInfo>& KeyTable() {
  static const std::vector<KeyInfo> table = [] {
    std::vector<KeyInfo> t = {
        {"None", 0},      {"Cancel", 0x03},  {"Back", 0x08},     {"Tab", 0x09},    {"Clear", 0x0C},  {"Return", 0x0D},
        {"Pause", 0x13},  {"Capital", 0x14}, {"Escape", 0x1B},   {"Space", 0x20},  {"Prior", 0x21},  {"Next", 0x22},
        {"End", 0x23},    {"Home", 0x24},    {"Left", 0x25},     {"Up", 0x26},     {"Right", 0x27},  {"Down", 0x28},
        {"Select", 0x29}, {"Execute", 0x2B}, {"Snapshot", 0x2C}, {"Insert", 0x2D}, {"Delete", 0x2E}, {"Help", 0x2F}};
    for (int i = 0; i <= 9; ++i)
      t.push_back({std::string(1, static_cast<char>('0' + i)), static_cast<std::uint8_t>(0x30 + i)});
    for (int i = 0; i < 26; ++i)
      t.push_back({std::string(1, static_cast<char>('A' + i)), static_cast<std::uint8_t>(0x41 + i)});
    for (int i = 0; i <= 9; ++i) t.push_back({"Numpad" + std::to_string(i), static_cast<std::uint8_t>(0x60 + i)});
    const char* ops[] = {"Multiply", "Add", "Separator", "Subtract", "Decimal", "Divide"};
    for (int i = 0; i < 6; ++i) t.push_back({ops[i], static_cast<std::uint8_t>(0x6A + i)});
    for (int i = 1; i <= 24; ++i) t.push_back({"F" + std::to_string(i), static_cast<std::uint8_t>(0x6F + i)});
    t.push_back({"Numlock", 0x90});
    t.push_back({"Scroll", 0x91});
    t.push_back({"Apps", 0x5D});
    return t;
  }();
  return table;
}

bool InTable(TVirtKey key) { return key >= 0 && key < kVirtKeyCount; }

// Forms that already carry a hotkey component.
std::set<const plat::Form*>& Hosts() {
  static std::set<const plat::Form*> hosts;
  return hosts;
}

}  // namespace

const std::string& VirtKeyName(TVirtKey key) {
  static const std::string none;
  return InTable(key) ? KeyTable()[key].name : none;
}

std::uint8_t VirtKeyCode(TVirtKey key) { return InTable(key) ? KeyTable()[key].code : 0; }

TVirtKey VirtKeyOfCode(int code) {
  for (TVirtKey key = 1; key < kVirtKeyCount; ++key)
    if (KeyTable()[key].code == code) return key;
  return vkNone;
}

unsigned ModifierFlags(TModifiers m) {
  unsigned flags = 0;
  if (m & ModBit(TModifier::modShift)) flags |= plat::kModShift;
  if (m & ModBit(TModifier::modControl)) flags |= plat::kModControl;
  if (m & ModBit(TModifier::modAlt)) flags |= plat::kModAlt;
  if (m & ModBit(TModifier::modWin)) flags |= plat::kModWin;
  return flags;
}

// ---------------------------------------------------------------- item

void THotKeyItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled)
    Register();
  else
    Unregister();
}

void THotKeyItem::SetModifiers(TModifiers modifiers) {
  if (modifiers == modifiers_ || virtKey_ == vkNone) return;
  modifiers_ = modifiers;
}

void THotKeyItem::SetVirtKey(TVirtKey key) {
  if (key == virtKey_) return;
  virtKey_ = key;
  if (key == vkNone) {
    SetEnabled(false);
    modifiers_ = 0;
  }
}

std::string THotKeyItem::DisplayName() const {
  static const char* const names[] = {"Shift", "Control", "Alt", "Win"};
  std::string text;
  for (int m = 0; m < 4; ++m)
    if (modifiers_ & (1u << m)) text += names[m];
  return text.empty() ? VirtKeyName(virtKey_) : text + "_" + VirtKeyName(virtKey_);
}

void THotKeyItem::Register() {
  registered_ = false;
  if (id_ == kNoHotKeyId || virtKey_ == vkNone || !InTable(virtKey_)) return;
  const plat::WindowHandle window = owner_.Owner().Owner().Handle();
  const unsigned flags = ModifierFlags(modifiers_);
  registered_ = plat::RegisterHotKey(window, id_, flags | (noRepeat_ ? plat::kModNoRepeat : 0), VirtKeyCode(virtKey_));
  // A system that does not know the flag refuses it: the combination then repeats.
  if (!registered_ && noRepeat_) registered_ = plat::RegisterHotKey(window, id_, flags, VirtKeyCode(virtKey_));
}

void THotKeyItem::Unregister() {
  if (!registered_) return;
  if (plat::UnregisterHotKey(owner_.Owner().Owner().Handle(), id_)) registered_ = false;
}

// ---------------------------------------------------------------- collection

int THotKeys::NextFreeId() {
  // With every id live the search below would never end.
  if (byId_.size() > static_cast<std::size_t>(kMaxHotKeyId)) return kNoHotKeyId;
  for (;;) {
    const int id = nextId_;
    nextId_ = nextId_ == kMaxHotKeyId ? 0 : nextId_ + 1;
    if (!byId_.count(id)) return id;
  }
}

THotKeyItem& THotKeys::Add() {
  const int id = NextFreeId();
  items_.push_back(std::unique_ptr<THotKeyItem>(new THotKeyItem(*this, id, Count())));
  if (id != kNoHotKeyId) byId_[id] = items_.back().get();
  return *items_.back();
}

THotKeyItem* THotKeys::FindById(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

void THotKeys::Remove(THotKeyItem& item) {
  const int index = item.index_;
  if (item.id_ != kNoHotKeyId) byId_.erase(item.id_);
  items_.erase(items_.begin() + index);
  for (int i = index; i < Count(); ++i) items_[i]->index_ = i;
}

void FreeHotKeyItem(THotKeyItem& item) {
  if (item.Registered()) item.SetEnabled(false);
  item.owner_.Remove(item);
}

// ---------------------------------------------------------------- component

TAMHotKeys::TAMHotKeys(plat::Form& owner) : owner_(owner), window_(0), hotKeys_(*this) {
  if (Hosts().count(&owner)) throw std::logic_error("No more than one TAMHotKeys-component on a form");
  Hosts().insert(&owner);
  window_ = owner.Handle();
  plat::HookWindow(window_, [this](unsigned msg, std::uintptr_t wParam, std::intptr_t) { WindowMessage(msg, wParam); });
}

TAMHotKeys::~TAMHotKeys() {
  plat::UnhookWindow(window_);
  Hosts().erase(&owner_);
}

void TAMHotKeys::Loaded() {
  for (int i = 0; i < hotKeys_.Count(); ++i) {
    THotKeyItem& item = hotKeys_.Item(i);
    if (item.Enabled()) item.Register();
  }
}

void TAMHotKeys::WindowMessage(unsigned msg, std::uintptr_t wParam) {
  if (msg == plat::kWmHotKey) {
    const int id = static_cast<int>(wParam & 0xFFFF);
    THotKeyItem* item = hotKeys_.FindById(id);
    if (!item) return;
    if (item->OnHotKey) item->OnHotKey(*this);
    if (!OnHotKeys) return;
    // The item's own handler may have changed the collection.
    item = hotKeys_.FindById(id);
    if (item) OnHotKeys(*this, static_cast<std::uint16_t>(item->Index()));
  } else if (msg == plat::kWmDestroy) {
    for (int i = 0; i < hotKeys_.Count(); ++i) {
      THotKeyItem& item = hotKeys_.Item(i);
      if (item.Registered()) item.SetEnabled(false);
    }
  }
}

}  // namespace kv
