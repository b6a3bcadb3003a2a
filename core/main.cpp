#include "core/Keyvane.h"

int main() { return kv::KeyvaneMain(); }
