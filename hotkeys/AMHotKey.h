#pragma once
// TAMHotKeys: a collection of system-wide hotkeys registered for one form's window.
// A WM_HOTKEY for one of them raises OnHotKeys with the item's current position.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls.h"

namespace kv {

enum class TModifier { modShift, modControl, modAlt, modWin };

// A set of TModifier, one bit each: Shift 1, Control 2, Alt 4, Win 8.
using TModifiers = std::uint8_t;
constexpr TModifiers ModBit(TModifier m) { return static_cast<TModifiers>(1u << static_cast<unsigned>(m)); }

// Ordinal of a key in the key-name table, 0 (vkNone) to 102.
using TVirtKey = int;
constexpr TVirtKey vkNone = 0;
constexpr int kVirtKeyCount = 103;

// The key's display name ("None", "Cancel", ... "Apps"); empty outside the table.
const std::string& VirtKeyName(TVirtKey key);
// The Windows virtual-key code; 0 for vkNone and outside the table.
std::uint8_t VirtKeyCode(TVirtKey key);
// The table's key for a virtual-key code; vkNone when the table has none.
TVirtKey VirtKeyOfCode(int code);
// The flags RegisterHotKey takes for a modifier set.
unsigned ModifierFlags(TModifiers modifiers);

// Hotkey ids the system accepts for an application.
constexpr int kMaxHotKeyId = 0xBFFF;
// The id of an item added while every id was in use: it never registers.
constexpr int kNoHotKeyId = -1;

class TAMHotKeys;
class THotKeys;

class THotKeyItem {
 public:
  int ID() const { return id_; }
  int Index() const { return index_; }
  bool Enabled() const { return enabled_; }
  bool Registered() const { return registered_; }
  TModifiers Modifiers() const { return modifiers_; }
  TVirtKey VirtKey() const { return virtKey_; }

  // Registers when switched on, releases the registration when switched off.
  void SetEnabled(bool enabled);
  // Ignored while the key is vkNone. Never touches the registration.
  void SetModifiers(TModifiers modifiers);
  // vkNone disables the item and empties its modifiers. A changed key is registered
  // only at the next switch from disabled to enabled.
  void SetVirtKey(TVirtKey key);
  // Held down, the combination fires once (where the system can; elsewhere it repeats).
  // Taken at the next registration.
  bool NoRepeat() const { return noRepeat_; }
  void SetNoRepeat(bool noRepeat) { noRepeat_ = noRepeat; }

  // "ControlWin_F1": modifier names joined, "_", key name; the key name alone without modifiers.
  std::string DisplayName() const;

  std::function<void(TAMHotKeys&)> OnHotKey;

 private:
  friend class THotKeys;
  friend class TAMHotKeys;
  friend void FreeHotKeyItem(THotKeyItem& item);
  THotKeyItem(THotKeys& owner, int id, int index) : owner_(owner), id_(id), index_(index) {}
  void Register();
  void Unregister();

  THotKeys& owner_;
  int id_;
  int index_;
  bool enabled_ = false;
  bool registered_ = false;
  bool noRepeat_ = false;
  TModifiers modifiers_ = 0;
  TVirtKey virtKey_ = vkNone;
};

class THotKeys {
 public:
  explicit THotKeys(TAMHotKeys& owner) : owner_(owner) {}
  TAMHotKeys& Owner() const { return owner_; }

  // Appends a disabled item with the next free id, or kNoHotKeyId when all are in use.
  THotKeyItem& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  THotKeyItem& Item(int index) const { return *items_[index]; }
  // The item holding a hotkey id, or nullptr.
  THotKeyItem* FindById(int id) const;

 private:
  friend void FreeHotKeyItem(THotKeyItem& item);
  void Remove(THotKeyItem& item);
  int NextFreeId();

  TAMHotKeys& owner_;
  std::vector<std::unique_ptr<THotKeyItem>> items_;
  std::unordered_map<int, THotKeyItem*> byId_;
  // Ids go up with every item and wrap inside the system's range, skipping live ones, so a
  // rebuilt collection gets fresh ids and a long-running program never runs out.
  int nextId_ = 0;
};

class TAMHotKeys {
 public:
  // Hooks the owner's window. Throws std::logic_error when the form already has one.
  explicit TAMHotKeys(plat::Form& owner);
  // Frees the items without unregistering them and unhooks the window.
  ~TAMHotKeys();
  TAMHotKeys(const TAMHotKeys&) = delete;
  TAMHotKeys& operator=(const TAMHotKeys&) = delete;

  plat::Form& Owner() const { return owner_; }
  THotKeys& HotKeys() { return hotKeys_; }

  // Registers every enabled item, in collection order.
  void Loaded();

  std::function<void(TAMHotKeys& sender, std::uint16_t hotKeyIndex)> OnHotKeys;

 private:
  void WindowMessage(unsigned msg, std::uintptr_t wParam);

  plat::Form& owner_;
  plat::WindowHandle window_;
  THotKeys hotKeys_;
};

// Releases the item's registration when it holds one, then removes it from its collection.
void FreeHotKeyItem(THotKeyItem& item);

}  // namespace kv
