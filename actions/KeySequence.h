#pragma once
// Key-sequence playback: types a prepared sequence into the window that has the focus.
#include <string>

namespace kv {

// Key sequences running inside each other's waits (a hotkey pressed while one plays): a
// sequence asked to start while this many run plays nothing. A hotkey without modifiers
// repeats many times a second while held; without it every repeat would nest one more.
constexpr int kMaxRunningKeySequences = 4;
// Sequences playing now, each inside a wait of the one before.
int RunningKeySequences();

// Performs the items of a ";"-separated key sequence in order: "VK_TAB", "VK_RETURN",
// "VK_ESCAPE" and "VK_BACK" (in any mix of capitals and small letters) are pressed as keys,
// any other item is pasted with PasteText, its full-width quote marks (how a lone ' or "
// is stored) back as the user wrote them; 200 ms pass after every item. Modifier keys still held from the hotkey
// are released before the first item. What the clipboard held before the first paste is
// given back after the last wait (see ClipboardLoan). Returns when the last wait has ended,
// or at once at a text that could not be put on the clipboard: nothing more is pasted or
// pressed.
void PlayKeySequence(const std::string& info);

// Puts text on the clipboard (kept for giving back during a sequence, otherwise lost),
// waits 200 ms, presses Ctrl+V and handles the messages that are waiting once. Should the
// clipboard have changed during the wait (another program copied, or a sequence started
// inside it), the text is put there once more before Ctrl+V. False, with nothing pressed,
// when the clipboard could not be read or filled (another program holds it open), did not
// keep the text, or the program began ending during the wait.
bool PasteText(const std::string& text);

}  // namespace kv
