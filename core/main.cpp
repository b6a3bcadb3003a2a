#include "core/Keyvane.h"
#include "platform/processes.h"

int main() {
  // Before anything else: no DLL is to come from the program's folder.
  plat::LoadSystemDllsFromSystem32Only();
  return kv::KeyvaneMain();
}
