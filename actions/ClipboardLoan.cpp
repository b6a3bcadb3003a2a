#include "actions/ClipboardLoan.h"

#include <cstdint>
#include <optional>

#include "platform/clipboard.h"
#include "platform/msgloop.h"

namespace kv {
namespace {

// Tries after the first, should another program hold the clipboard open when a loan ends:
// a program reading it lets go within milliseconds.
constexpr std::uint32_t kGiveBackRetryMs[] = {200, 1000, 5000};

struct Loan {
  int borrowers = 0;
  // What the clipboard held before the loan's first change (or before another program's
  // change that came in between), from the moment the clipboard holds our text.
  std::optional<plat::ClipboardSnapshot> kept;
  std::uint32_t ourSequence = 0;  // the sequence number right after our last change
  unsigned retryTimer = 0;
  std::size_t retries = 0;
};

Loan& L() {
  static Loan loan;
  return loan;
}

// At the program's end (and the simulated machine's reset) the loan goes with it: its
// give-back timer belonged to that run.
void ForgetLoan() { L() = Loan(); }

void CancelRetry() {
  plat::CancelTimer(L().retryTimer);
  L().retryTimer = 0;
  L().retries = 0;
}

void GiveBack() {
  Loan& loan = L();
  loan.retryTimer = 0;
  if (!loan.kept) return;
  if (plat::RestoreClipboard(*loan.kept, loan.ourSequence) == plat::ClipboardRestore::Busy && !plat::QuitPending() &&
      loan.retries < sizeof kGiveBackRetryMs / sizeof kGiveBackRetryMs[0]) {
    loan.retryTimer = plat::StartOneShotTimer(kGiveBackRetryMs[loan.retries++], GiveBack);
    if (loan.retryTimer) return;
  }
  loan.kept.reset();
  loan.retries = 0;
}

}  // namespace

ClipboardLoan::ClipboardLoan() {
  plat::ClearAtEnd(ForgetLoan);
  // A give-back still waiting for the clipboard becomes part of this loan: what it keeps
  // is still the user's, and goes back when this loan ends.
  if (L().borrowers++ == 0) CancelRetry();
}

ClipboardLoan::~ClipboardLoan() {
  if (--L().borrowers == 0) GiveBack();
}

bool PutTextForPaste(const std::string& text) {
  Loan& loan = L();
  if (loan.borrowers == 0) return plat::SetClipboardText(text);
  std::optional<plat::ClipboardSnapshot> fresh;
  if (!loan.kept || plat::ClipboardSequenceNumber() != loan.ourSequence) {
    fresh = plat::SaveClipboard(kKeepWithinMs);
    if (!fresh) return false;
  }
  const std::uint32_t before = plat::ClipboardSequenceNumber();
  const bool put = plat::SetClipboardText(text);
  // Emptied but not filled is a change of ours too: what was there still goes back.
  if (put || plat::ClipboardSequenceNumber() != before) {
    loan.ourSequence = plat::ClipboardSequenceNumber();
    if (fresh) loan.kept = std::move(fresh);
  }
  return put;
}

std::size_t ClipboardBytesKept() { return L().kept ? L().kept->Bytes() : 0; }

}  // namespace kv
