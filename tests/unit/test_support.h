#pragma once
// Shared set-up for the native tests: a fresh simulated machine per test.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.h"

class SimTest : public ::testing::Test {
 protected:
  // Before the fixture's own members, which may already create windows.
  SimTest() { sim::Reset(); }
};

// Writes bytes to a file in the program's folder; returns its path.
std::string WriteProgramFile(const std::string& name, const std::string& bytes);
// The bytes of a file, or "<missing>".
std::string ReadFileBytes(const std::string& path);
