#include "tests/unit/test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"

std::string WriteProgramFile(const std::string& name, const std::string& bytes) {
  const std::string path = plat::ProgramFolder() + name;
  // A path, not a narrow name, as the simulated platform opens files (see sim.cpp).
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
