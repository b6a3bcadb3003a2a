// The simulated clipboard behind platform/clipboard.h.
#include "platform/sim/sim_clipboard.h"

#include "platform/sim/sim.h"

namespace {

struct Clipboard {
  std::vector<plat::ClipboardData> formats;
  // Moves at every change, by more than one as on Windows (emptying, each format, closing).
  std::uint32_t sequence = 1;
  bool held = false;
  bool refused = false;
  std::uint32_t renderMs = 0;  // what reading each format costs: it is rendered when asked
  std::vector<sim::ClipboardChange> changes;
};

Clipboard& C() {
  static Clipboard clipboard;
  return clipboard;
}

std::optional<std::string> TextOf(const std::vector<plat::ClipboardData>& formats) {
  for (const plat::ClipboardData& data : formats)
    if (data.format == plat::kCfText && !data.bytes.empty() && data.bytes.back() == '\0')
      return data.bytes.substr(0, data.bytes.size() - 1);
  return std::nullopt;
}

void Replace(std::vector<plat::ClipboardData> formats) {
  C().formats = std::move(formats);
  C().renderMs = 0;
  C().sequence += 2 + static_cast<std::uint32_t>(C().formats.size());
}

void Record() { C().changes.push_back({TextOf(C().formats), sim::Now(), sim::KeyEvents().size(), C().formats}); }

}  // namespace

namespace sim {

std::vector<ClipboardChange> ClipboardChanges() { return C().changes; }
bool MarkedPrivate(const std::vector<plat::ClipboardData>& formats) {
  const std::string no(4, '\0');
  bool monitors = false, history = false, cloud = false;
  for (const plat::ClipboardData& data : formats) {
    monitors = monitors || data.format == kCfExcludeFromMonitors;
    history = history || (data.format == kCfCanIncludeInHistory && data.bytes == no);
    cloud = cloud || (data.format == kCfCanUploadToCloud && data.bytes == no);
  }
  return monitors && history && cloud;
}
void PutOnClipboard(const std::string& text) { Replace({{plat::kCfText, text + '\0'}}); }
void PutFormatsOnClipboard(const std::vector<plat::ClipboardData>& formats) { Replace(formats); }
void PutRenderedOnClipboard(const std::vector<plat::ClipboardData>& formats, std::uint32_t renderMs) {
  Replace(formats);
  C().renderMs = renderMs;
}
std::vector<plat::ClipboardData> ClipboardFormats() { return C().formats; }
void HoldClipboard(bool held) { C().held = held; }
void RefuseClipboardData(bool refused) { C().refused = refused; }
void ResetClipboard() { C() = Clipboard(); }
void ForgetClipboardChanges() { C().changes.clear(); }

}  // namespace sim

namespace plat {

bool EmptyClipboard() {
  if (C().held) return false;
  Replace({});
  Record();
  return true;
}

bool SetClipboardText(const std::string& text) {
  if (C().held) return false;
  const std::string no(4, '\0');
  Replace(C().refused ? std::vector<ClipboardData>()
                      : std::vector<ClipboardData>{{kCfText, text + '\0'},
                                                   {sim::kCfExcludeFromMonitors, no},
                                                   {sim::kCfCanIncludeInHistory, no},
                                                   {sim::kCfCanUploadToCloud, no}});
  Record();
  if (C().refused) return false;
  return true;
}

std::optional<std::string> ClipboardText() {
  if (C().held) return std::nullopt;
  return TextOf(C().formats);
}

std::uint32_t ClipboardSequenceNumber() { return C().sequence; }

std::optional<ClipboardSnapshot> SaveClipboard(std::uint32_t askWithinMs) {
  if (C().held) return std::nullopt;
  std::vector<unsigned> listed;
  for (const ClipboardData& data : C().formats) listed.push_back(data.format);
  ClipboardSnapshot snapshot;
  std::uint32_t spent = 0;
  for (unsigned format : ClipboardFormatsToKeep(listed)) {
    if (C().renderMs) {
      if (spent >= askWithinMs) break;
      if (C().renderMs > kMostRenderWaitMs) {
        spent += kMostRenderWaitMs;
        C().held = true;  // the reader still waits for it, with the clipboard open
        break;
      }
      spent += C().renderMs;
    }
    for (const ClipboardData& data : C().formats)
      if (data.format == format && !data.bytes.empty()) snapshot.formats.push_back(data);
  }
  sim::SetNow(sim::Now() + spent);
  return snapshot;
}

ClipboardRestore RestoreClipboard(const ClipboardSnapshot& snapshot, std::uint32_t expected) {
  if (C().held) return ClipboardRestore::Busy;
  if (C().sequence != expected) return ClipboardRestore::ChangedMeanwhile;
  Replace(snapshot.formats);
  Record();
  return ClipboardRestore::Restored;
}

}  // namespace plat
