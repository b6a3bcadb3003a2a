#pragma once
// Multi-jobs ("다중작업 실행"): other entries of the hotkey list run one after another,
// with "Delay=<seconds>" items between them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace kv {

// A multi-job nested in any way (as a job, or by a hotkey pressed during a wait) while this
// many run already does not start: a job item past the bound is skipped like one naming a
// running multi-job, a press does nothing. It keeps the stack finite.
constexpr int kMaxRunningMultiJobs = 32;
// Multi-jobs started by hotkey presses, each inside the wait of the one before: a press
// while this many run does nothing. A held hotkey repeats many times a second; without it
// every repeat would nest one more run, and each would resume only after all later ones.
constexpr int kMaxPressedMultiJobs = 4;

struct JobEntry {
  std::string id, kind, info;  // info as stored, "ㅡ" for "-"
  std::string description;
};

// The first row of the current list whose ID is exactly id; nothing without a match or list.
std::optional<JobEntry> FindEntryById(const std::string& id);

// Runs the items of a multi-job string (its "ㅡ" already turned back into "-"). Returns when
// the last item and its wait are done, or at a malformed delay, which abandons the rest of
// the run and of every multi-job running it, and is reported once.
void RunMultiJob(const std::string& info);

// The hotkey dispatcher's way in: runs the action of this entry. A multi-job started so
// knows itself, so an item leading back to it (same ID, kind and info) is skipped at once;
// an item naming another row with the same ID runs that row.
void ExecuteEntryAction(const std::string& id, const std::string& kind, const std::string& info,
                        const std::string& description = "");

// A delay item's wait: the whole number of seconds after "=" times 1000, wrapped to signed
// 32 bits as the tick arithmetic does. Nothing when the item has no such number.
std::optional<std::int32_t> DelayMilliseconds(const std::string& item);

}  // namespace kv
