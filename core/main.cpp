#include <string>
#include <vector>

#include "core/Keyvane.h"

// The arguments come in the system's code page, as every text the program handles.
int main(int argc, char** argv) { return kv::KeyvaneMain(std::vector<std::string>(argv + 1, argv + argc)); }
