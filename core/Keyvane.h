#pragma once
// The program: single instance, the three windows in their order, the message loop.

namespace kv {

// Runs the program until its main window closes; returns the exit code.
int KeyvaneMain();

}  // namespace kv
