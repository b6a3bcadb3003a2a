#include "actions/MultiJob.h"

#include <algorithm>
#include <climits>

#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/msgloop.h"

namespace kv {

namespace {

constexpr std::int32_t kJobWaitMs = 200;

// One chain of calls: a multi-job started by a hotkey (or by ExecuteAction) and the
// multi-jobs it runs as jobs, nested. A hotkey pressed during one of its waits starts
// another chain.
struct Chain {
  std::vector<JobEntry> running;  // its multi-jobs now running, outermost first
  bool abandoned = false;
  std::string badDelay;
};

int g_running = 0;  // multi-jobs running, every chain counted
int g_chains = 0;   // chains running, each inside a wait of the one before

class Counted {
 public:
  explicit Counted(int& count) : count_(count) { ++count_; }
  ~Counted() { --count_; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;

 private:
  int& count_;
};

class Running {
 public:
  Running(Chain& chain, const JobEntry& entry) : chain_(chain), counted_(g_running) { chain_.running.push_back(entry); }
  ~Running() { chain_.running.pop_back(); }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  Chain& chain_;
  Counted counted_;
};

bool IsDelayItem(const std::string& item) { return item.compare(0, 5, "Delay") == 0; }

bool SameEntry(const JobEntry& a, const JobEntry& b) { return a.id == b.id && a.kind == b.kind && a.info == b.info; }

void RunItems(Chain& chain, const JobEntry& entry, const std::string& info);

void RunJob(Chain& chain, const std::string& id) {
  // A copy: the list may change while the job runs.
  const std::optional<JobEntry> entry = FindEntryById(id);
  if (!entry) return;
  if (entry->kind != kKindMultiJob) {
    const RunningEntry running(entry->id, entry->description);
    ExecuteAction(entry->kind, entry->info);
    return;
  }
  // Running it again would come back here for ever. Another row with the same ID is another
  // entry; one that matches a running one field for field would only do the same again.
  const auto same = [&](const JobEntry& running) { return SameEntry(running, *entry); };
  if (std::any_of(chain.running.begin(), chain.running.end(), same)) return;
  if (g_running >= kMaxRunningMultiJobs) return;
  RunItems(chain, *entry, DecodeInfoText(entry->info));
}

void RunItems(Chain& chain, const JobEntry& entry, const std::string& info) {
  std::vector<std::string> items;
  SplitItems(info, ';', items);
  const Running running(chain, entry);
  for (const std::string& item : items) {
    // Ending the program ends the run: the wait that saw it returned early.
    if (plat::QuitPending()) return;
    if (IsDelayItem(item)) {
      const std::optional<std::int32_t> ms = DelayMilliseconds(item);
      if (!ms) {
        chain.abandoned = true;
        chain.badDelay = item;
        return;
      }
      PumpingWait(*ms);
    } else {
      RunJob(chain, item);
      if (chain.abandoned) return;
      PumpingWait(kJobWaitMs);
    }
  }
}

void ReportMalformedDelay(const std::string& item) {
  plat::MessageBox(
      "다중작업의 대기 항목 \"" + item + "\"에 초 단위의 정수가 없습니다.\n남은 작업은 실행하지 않았습니다.", "알림말",
      plat::kMbOk | plat::kMbIconWarning, frm_main);
}

void RunChain(const JobEntry& entry, const std::string& info) {
  if (g_chains >= kMaxPressedMultiJobs || g_running >= kMaxRunningMultiJobs) return;
  // The box counts as part of the run: it handles messages too, and a held hotkey would
  // otherwise stack one box on another without end.
  const Counted chains(g_chains);
  Chain chain;
  RunItems(chain, entry, info);
  if (chain.abandoned) ReportMalformedDelay(chain.badDelay);
}

}  // namespace

std::optional<JobEntry> FindEntryById(const std::string& id) {
  if (!frm_main) return std::nullopt;
  const std::optional<HotkeyEntry> entry = frm_main->EntryToRun(id);
  if (!entry) return std::nullopt;
  return JobEntry{id, entry->kind, entry->info, entry->description};
}

// Without an ID it matches no entry: an entry with the same items runs once more.
void RunMultiJob(const std::string& info) { RunChain({"", kKindMultiJob, "", ""}, info); }

void ExecuteEntryAction(const std::string& id, const std::string& kind, const std::string& info,
                        const std::string& description) {
  if (kind == kKindMultiJob) {
    RunChain({id, kind, info, description}, DecodeInfoText(info));
  } else {
    const RunningEntry running(id, description);
    ExecuteAction(kind, info);
  }
}

std::optional<std::int32_t> DelayMilliseconds(const std::string& item) {
  std::vector<std::string> parts;
  SplitItems(item, '=', parts);
  if (parts.size() < 2) return std::nullopt;
  const std::string& text = parts[1];
  std::size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  std::int64_t seconds = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    seconds = seconds * 10 + (text[i] - '0');
    if (seconds > -static_cast<std::int64_t>(INT32_MIN)) return std::nullopt;
  }
  if (text[0] == '-') seconds = -seconds;
  if (seconds > INT32_MAX) return std::nullopt;
  // Signed 32-bit product, as the wait takes it: computed wide, then wrapped.
  const auto product = static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds * 1000));
  if (product <= static_cast<std::uint32_t>(INT32_MAX)) return static_cast<std::int32_t>(product);
  return static_cast<std::int32_t>(product - 0x80000000u) + INT32_MIN;
}

}  // namespace kv
