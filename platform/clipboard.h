#pragma once
// The system clipboard, as text.
#include <optional>
#include <string>

namespace plat {

// Empties the clipboard; false when another program holds it open.
bool EmptyClipboard();

// Empties the clipboard and puts text on it, so that every program pastes exactly these
// characters whatever its code page; false when the clipboard could not be opened or filled.
bool SetClipboardText(const std::string& text);

// The text on the clipboard; none when it holds no text or cannot be opened.
std::optional<std::string> ClipboardText();

}  // namespace plat
