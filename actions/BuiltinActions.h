#pragma once
// The built-in window and mouse actions of kind "특정액션 실행". A start only records the
// action: the editor window's TimerAction performs it 10 ms later, from the message loop.
#include <array>
#include <string>

namespace kv {

// The thirteen action names in the picker's order; an entry's info holds one of them.
extern const std::array<const char*, 13> kBuiltinActionNames;

// Hands name to the editor window's TimerAction (Tfrm_main::StartBuiltinAction); without
// an editor window nothing happens.
void StartBuiltinAction(const std::string& name);

// Performs the action now: the modifiers first, then its keys or button events. A name
// that is none of the thirteen (compared byte for byte) does nothing at all.
void PerformBuiltinAction(const std::string& name);

}  // namespace kv
