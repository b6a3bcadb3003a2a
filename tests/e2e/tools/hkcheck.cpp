// hkcheck.exe <mods> <vk> - is that hotkey already registered by a program on this desktop?
//
// Prints "taken" or "free" and exits 0; prints "error <code>" and exits 1 when
// RegisterHotKey fails for another reason; exits 2 on bad arguments.  A free hotkey is
// unregistered again at once, so checking never disturbs the program under test.
//   mods: a number (MOD_ALT=1 MOD_CONTROL=2 MOD_SHIFT=4 MOD_WIN=8) or names joined
//         by '+': alt, ctrl, shift, win (e.g. ctrl+alt);  "0" or "none" for no modifier
//   vk:   a number (0x70 = VK_F1) or F1..F24, or a single letter or digit
//
// hkcheck.exe --until-free <timeout_ms> <mods> <vk> [<mods> <vk>]... - times a release:
// prints "watching" once every pair is taken, then tries each pair about every
// millisecond and, when all are free, prints "free at=<microseconds since 1970, UTC>".
// Exits 1 (with "timeout" or "error <code>") when that does not happen in time.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool parseNumber(const char* s, unsigned& out) {
  char* end = nullptr;
  out = (unsigned)strtoul(s, &end, 0);
  return *s && end && *end == '\0';
}

bool parseMods(const char* s, unsigned& mods) {
  if (parseNumber(s, mods)) return true;
  mods = 0;
  std::string all = s;
  for (size_t pos = 0; pos <= all.size();) {
    size_t plus = all.find('+', pos);
    if (plus == std::string::npos) plus = all.size();
    std::string part = all.substr(pos, plus - pos);
    for (char& c : part) c = (char)tolower((unsigned char)c);
    if (part == "alt")
      mods |= MOD_ALT;
    else if (part == "ctrl" || part == "control")
      mods |= MOD_CONTROL;
    else if (part == "shift")
      mods |= MOD_SHIFT;
    else if (part == "win" || part == "super")
      mods |= MOD_WIN;
    else if (part != "none")
      return false;
    pos = plus + 1;
  }
  return true;
}

// 0 taken, 1 free (and released again), -1 another error
int tryHotKey(unsigned mods, unsigned vk) {
  if (RegisterHotKey(nullptr, 1, mods, vk)) {
    UnregisterHotKey(nullptr, 1);
    return 1;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? 0 : -1;
}

long long unixMicroseconds() {
  FILETIME ft;
  GetSystemTimePreciseAsFileTime(&ft);
  const long long t = ((long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
  return (t - 116444736000000000LL) / 10;
}

bool parseVk(const char* s, unsigned& vk);

int untilFree(int argc, char** argv) {
  unsigned timeout = 0;
  if (argc < 5 || argc % 2 != 1 || !parseNumber(argv[2], timeout)) return 2;
  struct Pair {
    unsigned mods, vk;
    bool free;
  };
  Pair pairs[16];
  int n = 0;
  for (int i = 3; i + 1 < argc && n < 16; i += 2, ++n) {
    if (!parseMods(argv[i], pairs[n].mods) || !parseVk(argv[i + 1], pairs[n].vk)) return 2;
    pairs[n].free = false;
  }
  const DWORD start = GetTickCount();
  // Every pair taken first: the release to be timed has not happened yet.
  for (int i = 0; i < n; ++i) {
    int state;
    while ((state = tryHotKey(pairs[i].mods, pairs[i].vk)) != 0) {
      if (state < 0 || GetTickCount() - start > timeout) {
        puts(state < 0 ? "error" : "timeout");
        return 1;
      }
      Sleep(5);
    }
  }
  puts("watching");
  fflush(stdout);
  for (;;) {
    int left = 0;
    for (int i = 0; i < n; ++i) {
      if (!pairs[i].free) pairs[i].free = tryHotKey(pairs[i].mods, pairs[i].vk) == 1;
      left += !pairs[i].free;
    }
    if (!left) break;
    if (GetTickCount() - start > timeout) {
      puts("timeout");
      return 1;
    }
    Sleep(1);
  }
  printf("free at=%lld\n", unixMicroseconds());
  return 0;
}

bool parseVk(const char* s, unsigned& vk) {
  if (strlen(s) == 1 && isalnum((unsigned char)*s)) {
    vk = (unsigned)toupper((unsigned char)*s);
    return true;
  }
  if ((s[0] == 'F' || s[0] == 'f') && isdigit((unsigned char)s[1])) {
    unsigned n = 0;
    if (parseNumber(s + 1, n) && n >= 1 && n <= 24) {
      vk = VK_F1 + n - 1;
      return true;
    }
    return false;
  }
  return parseNumber(s, vk) && vk > 0 && vk < 256;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned mods = 0, vk = 0;
  if (argc > 1 && strcmp(argv[1], "--until-free") == 0) return untilFree(argc, argv);
  if (argc != 3 || !parseMods(argv[1], mods) || !parseVk(argv[2], vk)) {
    fprintf(stderr, "usage: hkcheck <mods> <vk>   e.g. hkcheck ctrl+alt F1   or   hkcheck 3 0x70\n");
    return 2;
  }
  if (RegisterHotKey(nullptr, 1, mods, vk)) {
    UnregisterHotKey(nullptr, 1);
    puts("free");
    return 0;
  }
  DWORD err = GetLastError();
  if (err == ERROR_HOTKEY_ALREADY_REGISTERED) {
    puts("taken");
    return 0;
  }
  printf("error %lu\n", err);
  return 1;
}
