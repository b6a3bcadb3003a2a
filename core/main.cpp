#include <string>
#include <vector>

#include "core/Keyvane.h"
#include "platform/processes.h"

// The arguments come in the system's code page, as every text the program handles.
int main(int argc, char** argv) {
  // Before anything else: no DLL is to come from the program's folder.
  plat::LoadSystemDllsFromSystem32Only();
  return kv::KeyvaneMain(std::vector<std::string>(argv + 1, argv + argc));
}
