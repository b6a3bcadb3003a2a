#pragma once
// The message loop and the millisecond clock.
#include <cstdint>
#include <functional>

namespace plat {

// Milliseconds since the system started; wraps at 2^32.
std::uint32_t GetTickCount();

// Dispatches every message already waiting for this thread; never blocks.
void ProcessPendingMessages();

// Sleeps until a message is waiting or timeoutMs have passed, whichever comes first.
// Dispatches nothing.
void WaitForMessage(std::uint32_t timeoutMs);

// Runs the message loop until QuitMessageLoop; returns its exit code. Messages already
// waiting when the quit comes are still handled by whoever pumps before the loop takes it.
int RunMessageLoop();
void QuitMessageLoop(int exitCode);
// True from QuitMessageLoop until RunMessageLoop takes the quit: the program is ending, so
// waits end at once and no further action runs.
bool QuitPending();

// A one-shot timer: fn runs once from the message loop after delayMs. Returns its id.
unsigned StartOneShotTimer(std::uint32_t delayMs, std::function<void()> fn);
void CancelTimer(unsigned id);

// State that lasts one run of the program (a loan's give-back timer, the sequences playing):
// clear runs when RunMessageLoop takes the quit, and on the simulated machine also at every
// reset, so nothing of one run reaches the next. Registering the same function twice keeps one.
void ClearAtEnd(void (*clear)());

}  // namespace plat
