// The simulated clipboard behind platform/clipboard.h.
#include "platform/sim/sim_clipboard.h"

#include "platform/clipboard.h"
#include "platform/sim/sim.h"

namespace {

struct Clipboard {
  std::optional<std::string> text;
  bool held = false;
  std::vector<sim::ClipboardChange> changes;
};

Clipboard& C() {
  static Clipboard clipboard;
  return clipboard;
}

void Record() { C().changes.push_back({C().text, sim::Now(), sim::KeyEvents().size()}); }

}  // namespace

namespace sim {

std::vector<ClipboardChange> ClipboardChanges() { return C().changes; }
void PutOnClipboard(const std::string& text) { C().text = text; }
void HoldClipboard(bool held) { C().held = held; }
void ResetClipboard() { C() = Clipboard(); }

}  // namespace sim

namespace plat {

bool EmptyClipboard() {
  if (C().held) return false;
  C().text.reset();
  Record();
  return true;
}

bool SetClipboardText(const std::string& text) {
  if (C().held) return false;
  C().text = text;
  Record();
  return true;
}

std::optional<std::string> ClipboardText() {
  if (C().held) return std::nullopt;
  return C().text;
}

}  // namespace plat
