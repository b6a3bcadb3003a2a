#include "tray/IcoList.h"

#include <cstdint>
#include <stdexcept>
#include <utility>

namespace kv {

// ---------------------------------------------------------------- TIcon

TIcon::~TIcon() { FreeHandle(); }

void TIcon::FreeHandle() {
  if (ownsHandle_) plat::DestroyIconHandle(handle_);
  handle_ = 0;
  ownsHandle_ = false;
  handleFailed_ = false;
}

plat::IconHandle TIcon::Handle() {
  if (!handle_ && !image_.empty() && !handleFailed_) {
    handle_ = plat::CreateIconFromIco(image_);
    ownsHandle_ = handle_ != 0;
    handleFailed_ = handle_ == 0;
  }
  return handle_;
}

void TIcon::LoadFromIco(const std::string& ico) {
  FreeHandle();
  image_ = ico;
  Changed();
}

bool TIcon::LoadFromResource(const std::string& name) {
  const plat::IconHandle shared = plat::LoadIconResource(name);
  if (!shared) return false;
  FreeHandle();
  image_ = plat::IconResourceImage(name);
  handle_ = shared;
  Changed();
  return true;
}

void TIcon::Assign(const TIcon* other) {
  if (other == this) return;
  FreeHandle();
  image_.clear();
  if (other) {
    image_ = other->image_;
    // A handle made from the image is made again from the copy; a shared one is shared.
    if (!other->ownsHandle_) handle_ = other->handle_;
  }
  Changed();
}

bool TIcon::SameAs(const TIcon& other) const {
  if (image_ != other.image_) return false;
  return !image_.empty() || handle_ == other.handle_;
}

// ---------------------------------------------------------------- TIconList

namespace {

void PutInt32(std::string& out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(u >> (8 * i) & 0xFF));
}

bool GetInt32(const std::string& in, std::size_t& at, std::int32_t& value) {
  if (in.size() - at < 4) return false;
  std::uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = u << 8 | static_cast<unsigned char>(in[at + i]);
  at += 4;
  value = static_cast<std::int32_t>(u);
  return true;
}

}  // namespace

void TIconList::Check(int index, int limit) const {
  if (index < 0 || index > limit) throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

TIcon* TIconList::Items(int index) const {
  Check(index, Count() - 1);
  return items_[index].get();
}

void TIconList::Changed() {
  if (updating_ > 0) {
    pending_ = true;
    return;
  }
  pending_ = false;
  if (OnChange) OnChange();
}

void TIconList::EndUpdate() {
  if (updating_ == 0) return;
  if (--updating_ == 0 && pending_) Changed();
}

std::unique_ptr<TIcon> TIconList::Own(std::unique_ptr<TIcon> icon) {
  if (icon) icon->OnChange = [this] { Changed(); };
  return icon;
}

int TIconList::Add(const TIcon* icon) {
  Insert(Count(), icon);
  return Count() - 1;
}

void TIconList::Insert(int index, const TIcon* icon) {
  Check(index, Count());
  auto copy = std::make_unique<TIcon>();
  copy->Assign(icon);
  items_.insert(items_.begin() + index, Own(std::move(copy)));
  Changed();
}

int TIconList::AddFromResource(const std::string& name) { return InsertFromResource(Count(), name) ? Count() - 1 : -1; }

bool TIconList::InsertFromResource(int index, const std::string& name) {
  Check(index, Count());
  auto icon = std::make_unique<TIcon>();
  if (!icon->LoadFromResource(name)) return false;
  items_.insert(items_.begin() + index, Own(std::move(icon)));
  Changed();
  return true;
}

void TIconList::Put(int index, const TIcon* icon) {
  Check(index, Count());
  // One report for the whole put, however many steps it takes.
  BeginUpdate();
  if (index == Count()) items_.push_back(nullptr);
  if (!items_[index]) items_[index] = Own(std::make_unique<TIcon>());
  items_[index]->Assign(icon);
  Changed();
  EndUpdate();
}

void TIconList::Delete(int index) {
  Check(index, Count() - 1);
  items_.erase(items_.begin() + index);
  Changed();
}

void TIconList::Exchange(int a, int b) {
  Check(a, Count() - 1);
  Check(b, Count() - 1);
  std::swap(items_[a], items_[b]);
  Changed();
}

void TIconList::Move(int from, int to) {
  Check(from, Count() - 1);
  Check(to, Count() - 1);
  if (from == to) return;
  auto icon = std::move(items_[from]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(icon));
  Changed();
}

int TIconList::IndexOf(const TIcon* icon) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i].get() == icon) return i;
  return -1;
}

void TIconList::Clear() {
  BeginUpdate();
  while (!items_.empty()) Delete(Count() - 1);
  EndUpdate();
}

void TIconList::Assign(const TIconList* other) {
  if (other == this) return;
  BeginUpdate();
  Clear();
  if (other)
    for (const auto& icon : other->items_) {
      if (icon)
        Add(icon.get());
      else
        items_.push_back(nullptr);
    }
  Changed();
  EndUpdate();
}

void TIconList::AssignIcon(const TIcon* icon) {
  BeginUpdate();
  Clear();
  if (icon) Add(icon);
  Changed();
  EndUpdate();
}

std::string TIconList::Write() const {
  std::string out;
  PutInt32(out, Count());
  for (const auto& icon : items_) {
    const std::string& image = icon ? icon->Image() : std::string();
    PutInt32(out, static_cast<std::int32_t>(image.size()));
    out += image;
  }
  return out;
}

bool TIconList::Read(const std::string& data, std::string& error) {
  // Everything is checked before the list changes, and nothing is reserved for a count
  // the bytes cannot hold: each slot takes at least its four-byte size.
  std::size_t at = 0;
  std::int32_t count = 0;
  if (!GetInt32(data, at, count)) {
    error = "The icon list is cut short: it has no count.";
    return false;
  }
  if (count < 0 || static_cast<std::uint64_t>(count) > (data.size() - at) / 4) {
    error = "The icon list is damaged: it claims " + std::to_string(count) + " icons in " +
            std::to_string(data.size()) + " bytes.";
    return false;
  }
  std::vector<std::string> images;
  std::vector<bool> present;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t size = 0;
    if (!GetInt32(data, at, size)) {
      error = "The icon list is cut short at icon " + std::to_string(i + 1) + ".";
      return false;
    }
    if (size > 0 && static_cast<std::uint64_t>(size) > data.size() - at) {
      error = "The icon list is damaged: icon " + std::to_string(i + 1) + " claims " + std::to_string(size) +
              " bytes beyond the end of the data.";
      return false;
    }
    present.push_back(size > 0);
    images.push_back(size > 0 ? data.substr(at, static_cast<std::size_t>(size)) : std::string());
    if (size > 0) at += static_cast<std::size_t>(size);
  }
  if (at != data.size()) {
    error = "The icon list is damaged: " + std::to_string(data.size() - at) + " bytes follow its last icon.";
    return false;
  }
  BeginUpdate();
  Clear();
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (!present[i]) {
      items_.push_back(nullptr);
      continue;
    }
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromIco(images[i]);
    items_.push_back(Own(std::move(icon)));
  }
  Changed();
  EndUpdate();
  return true;
}

bool TIconList::ShouldStore(const TIconList* ancestor) const {
  if (!ancestor) return Count() > 0;
  if (ancestor->Count() != Count()) return true;
  for (int i = 0; i < Count(); ++i) {
    const TIcon* mine = items_[i].get();
    const TIcon* theirs = ancestor->items_[i].get();
    if (!mine != !theirs) return true;
    if (mine && !mine->SameAs(*theirs)) return true;
  }
  return false;
}

}  // namespace kv
