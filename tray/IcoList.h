#pragma once
// TIcon: an icon kept as the bytes of its .ico image, with the native handle made from them
// when it is first needed. TIconList: an ordered list of owned icons with one change
// notification, nested update brackets and a stored form of raw bytes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/tray.h"

namespace kv {

class TIcon {
 public:
  TIcon() = default;
  ~TIcon();
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  // No image and no handle.
  bool Empty() const { return image_.empty() && !handle_; }
  // The .ico bytes; empty for an empty icon.
  const std::string& Image() const { return image_; }
  // The native handle, made from the image on first use; 0 when empty or when the image
  // is no icon the system can make.
  plat::IconHandle Handle();

  // Each of these reports through OnChange.
  void LoadFromIco(const std::string& ico);
  // The program's own icon resource (LoadIconA); false, and unchanged, when there is none.
  bool LoadFromResource(const std::string& name);
  // A copy of other's content; nullptr makes the icon empty.
  void Assign(const TIcon* other);
  void Clear() { Assign(nullptr); }

  // Two icons show the same picture (same image, or the same shared handle).
  bool SameAs(const TIcon& other) const;

  std::function<void()> OnChange;

 private:
  void FreeHandle();
  void Changed() {
    if (OnChange) OnChange();
  }

  std::string image_;
  plat::IconHandle handle_ = 0;
  bool ownsHandle_ = false;    // made here from the image; a resource's handle is the system's
  bool handleFailed_ = false;  // the image gave no icon: not tried again until it changes
};

class TIconList {
 public:
  TIconList() = default;
  TIconList(const TIconList&) = delete;
  TIconList& operator=(const TIconList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // The icon at index; nullptr for an empty slot. Indices out of range throw std::out_of_range,
  // as every operation below does.
  TIcon* Items(int index) const;

  // Copies of icon (an empty icon for nullptr); return the new slot's index.
  int Add(const TIcon* icon);
  void Insert(int index, const TIcon* icon);
  // An icon from the program's resources; -1 (nothing added) when there is none.
  int AddFromResource(const std::string& name);
  bool InsertFromResource(int index, const std::string& name);
  // Copies icon into the slot at index: index Count first appends a new, empty icon, and an
  // empty slot first gets one.
  void Put(int index, const TIcon* icon);
  void Delete(int index);
  void Exchange(int a, int b);
  void Move(int from, int to);
  // The index of this very icon object, or -1.
  int IndexOf(const TIcon* icon) const;
  void Clear();
  // Replaces the content with copies of other's icons (nullptr clears).
  void Assign(const TIconList* other);
  // Replaces the content with one copy of icon (nullptr clears).
  void AssignIcon(const TIcon* icon);

  // Changes inside a bracket report once, when the outermost bracket closes (if anything
  // changed meanwhile).
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

  // The stored form: a signed 32-bit count, then per slot a signed 32-bit size and that many
  // bytes of .ico image (size 0 for an empty slot or an empty icon); little-endian.
  std::string Write() const;
  // Replaces the content with the stored form; a size of 0 or less gives an empty slot.
  // Data that does not hold together (a negative count, a count or size beyond the end,
  // bytes left over) is refused with a message in error, and the list stays as it was.
  bool Read(const std::string& data, std::string& error);
  // Whether the list is stored at all: when it differs from the ancestor's (count, or the
  // icon at some position), or, with no ancestor, when it has items.
  bool ShouldStore(const TIconList* ancestor) const;

  std::function<void()> OnChange;

 private:
  void Changed();
  void Check(int index, int limit) const;
  std::unique_ptr<TIcon> Own(std::unique_ptr<TIcon> icon);

  std::vector<std::unique_ptr<TIcon>> items_;
  int updating_ = 0;
  bool pending_ = false;
};

}  // namespace kv
