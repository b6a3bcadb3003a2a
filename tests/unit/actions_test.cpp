// The action executor, the system actions, synthetic keys and the pumping wait.
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/power.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {
using Items = std::vector<std::string>;
using ActionTest = SimTest;

std::vector<std::string> ShellFiles() {
  std::vector<std::string> files;
  for (const auto& c : sim::ShellCalls()) files.push_back(c.file + (c.hasParameters ? "|" + c.parameters : ""));
  return files;
}
}  // namespace

TEST_F(ActionTest, KindsAreComparedExactly) {
  for (const char* kind : {"웹사이트 이동 ", "웹사이트이동", "WEB", "", "키값자동 입력  "}) ExecuteAction(kind, "x");
  EXPECT_TRUE(sim::ShellCalls().empty());
  EXPECT_TRUE(sim::ExitCalls().empty());
  ExecuteAction("웹사이트 이동", "x");
  EXPECT_EQ(ShellFiles(), Items{"x"});
}

TEST_F(ActionTest, InfoGetsItsDashesBack) {
  ExecuteAction(kKindRunProgram, "C:\\myㅡappㅡ1.exe;ㅡv");
  ExecuteAction(kKindOpenFolder, "D:\\aㅡb");
  ExecuteAction(kKindWebSite, "http://xㅡy.kr/ㅡ");
  EXPECT_EQ(ShellFiles(), (Items{"C:\\my-app-1.exe|-v", "D:\\a-b", "http://x-y.kr/-"}));
}

TEST_F(ActionTest, PowerKindsEnablePrivilegeThenExit) {
  ExecuteAction(kKindLogoff, "ignored");
  ExecuteAction(kKindReboot, "");
  ExecuteAction(kKindShutdown, "");
  ShutdownWindows("Restart");
  const auto calls = sim::ExitCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].flags, plat::kEwxLogoff);
  EXPECT_EQ(calls[1].flags, plat::kEwxReboot);
  EXPECT_EQ(calls[2].flags, plat::kEwxShutdown);
  for (const auto& c : calls) EXPECT_TRUE(c.privileged);
  EXPECT_EQ(plat::kEwxShutdown, 1u);
  EXPECT_EQ(plat::kEwxReboot, 2u);
}

TEST_F(ActionTest, KillByNameEndsEveryMatchIgnoringCase) {
  sim::AddProcess("C:\\Tools\\probe.exe", 11);
  sim::AddProcess("probe.exe", 12);
  sim::AddProcess("D:probe.EXE", 13);
  sim::AddProcess("probe.exe.old", 14);
  sim::AddProcess("myprobe.exe", 15);
  sim::DenyAccess(11);
  ExecuteAction(kKindKillProgram, "PROBE.EXE");
  EXPECT_TRUE(sim::ProcessRunning(11));  // refused, silently
  EXPECT_FALSE(sim::ProcessRunning(12));
  EXPECT_FALSE(sim::ProcessRunning(13));
  EXPECT_TRUE(sim::ProcessRunning(14));
  EXPECT_TRUE(sim::ProcessRunning(15));
  EXPECT_EQ(sim::Terminations().size(), 3u);

  sim::AddProcess("C:\\Tools\\other.exe", 21);
  KillProcessByName("C:\\Tools\\other.exe");  // a path matches nothing
  EXPECT_TRUE(sim::ProcessRunning(21));
}

TEST_F(ActionTest, KillByNameTellsAccentedNamesApart) {
  // The system's "café.exe", as the platform hands it over: é has no CP949 spelling.
  sim::AddProcess(
      "C:\\Caf\xFF"
      "00E9\\caf\xFF"
      "00E9.exe",
      31);
  sim::AddProcess("cafe.exe", 32);
  KillProcessByName("cafe.exe");
  EXPECT_TRUE(sim::ProcessRunning(31));
  EXPECT_FALSE(sim::ProcessRunning(32));
  // An entry for "café.exe" holds the name as the editor got it; letter case still does
  // not matter, also in the escape's hex digits.
  KillProcessByName(
      "CAF\xFF"
      "00e9.EXE");
  EXPECT_FALSE(sim::ProcessRunning(31));
}

TEST(SplitAtSemicolonsRule, Table) {
  EXPECT_EQ(SplitAtSemicolons("notepad.exe"), Items{"notepad.exe"});
  EXPECT_EQ(SplitAtSemicolons("  a"), Items{"a"});
  EXPECT_EQ(SplitAtSemicolons("a;"), (Items{"a", ""}));
  EXPECT_EQ(SplitAtSemicolons("a;;b"), (Items{"a", "", "b"}));
  EXPECT_EQ(SplitAtSemicolons(" \ta ;  b c ; d"), (Items{"a ", "b c ", "d"}));
  EXPECT_EQ(SplitAtSemicolons(""), Items{""});
  EXPECT_EQ(SplitAtSemicolons("한글;값"), (Items{"한글", "값"}));
}

TEST_F(ActionTest, RunProgramParameters) {
  RunProgram("  notepad.exe");      // no ";": passed unchanged, without parameters
  RunProgram("  notepad.exe;");     // empty parameters, still passed
  RunProgram("x.exe;  -a b;-c;d");  // only the second item is the parameters
  RunProgram("C:\\a;b\\folder");    // a folder with ";" splits the same way
  const auto calls = sim::ShellCalls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].file, "  notepad.exe");
  EXPECT_FALSE(calls[0].hasParameters);
  EXPECT_EQ(calls[1].file, "notepad.exe");
  EXPECT_TRUE(calls[1].hasParameters);
  EXPECT_EQ(calls[1].parameters, "");
  EXPECT_EQ(calls[2].parameters, "-a b");
  EXPECT_EQ(calls[3].file, "C:\\a");
  EXPECT_EQ(calls[3].parameters, "b\\folder");
}

TEST_F(ActionTest, WebSiteReadsNewExploreEveryTime) {
  OpenWebSite("http://a");
  WriteProgramFile("Config.ini", "[Config]\r\nNewExplore=1\r\n");
  OpenWebSite("http://b");
  WriteProgramFile("Config.ini", "[Config]\r\nNewExplore=256\r\n");  // low eight bits clear
  OpenWebSite("http://c");
  WriteProgramFile("Config.ini", "[Config]\r\nNewExplore=on\r\n");
  OpenWebSite("http://d");
  EXPECT_EQ(ShellFiles(), (Items{"http://a", "iexplore.exe|http://b", "http://c", "http://d"}));
}

TEST_F(ActionTest, KeyRoutinesSendDownThenUpWithScanCodes) {
  KeyTap(0x41);
  KeyDown(0x10);
  KeyUp(0x10);
  const auto ev = sim::KeyEvents();
  ASSERT_EQ(ev.size(), 4u);
  EXPECT_EQ(ev[0].vk, 0x41);
  EXPECT_EQ(ev[0].scan, plat::ScanCodeOf(0x41));
  EXPECT_EQ(ev[0].flags, 0u);
  EXPECT_EQ(ev[1].vk, 0x41);
  EXPECT_EQ(ev[1].flags, plat::kKeyEventKeyUp);
  EXPECT_EQ(ev[3].flags, 2u);
}

TEST_F(ActionTest, ReleaseModifiersLiftsEveryModifierIncludingTheRightWinKey) {
  ReleaseModifiers();
  std::vector<int> released;
  for (const sim::KeyEvent& e : sim::KeyEvents()) {
    EXPECT_EQ(e.flags, plat::kKeyEventKeyUp);
    released.push_back(e.vk);
  }
  EXPECT_EQ(released, (std::vector<int>{0x11, 0x12, 0x10, 0x5B, 0x5C}));
}

TEST_F(ActionTest, PumpingWaitReturnsOnTimeAndRunsMessagesMeanwhile) {
  sim::SetNow(1000);
  std::vector<std::uint32_t> ran;
  sim::At(1050, [&] { ran.push_back(sim::Now()); });
  sim::At(1199, [&] { ran.push_back(sim::Now()); });
  sim::At(1300, [&] { ran.push_back(sim::Now()); });
  PumpingWait(200);
  EXPECT_EQ(sim::Now(), 1200u);
  EXPECT_EQ(ran, (std::vector<std::uint32_t>{1050, 1199}));
  // Few passes: it sleeps between messages instead of spinning.
  EXPECT_LE(sim::PumpCount(), 4);
}

TEST_F(ActionTest, PumpingWaitAcrossTheCounterWrapAndSignBoundary) {
  for (std::uint32_t start : {0xFFFFFF00u, 0x7FFFFF80u}) {
    sim::SetNow(start);
    PumpingWait(500);
    EXPECT_EQ(sim::Now(), start + 500u) << std::hex << start;
  }
}

TEST_F(ActionTest, PumpingWaitZeroOrNegativeStillDispatchesOnce) {
  int ran = 0;
  sim::At(0, [&] { ++ran; });
  PumpingWait(0);
  EXPECT_EQ(ran, 1);
  sim::At(0, [&] { ++ran; });
  PumpingWait(-5);
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(sim::Now(), 0u);
  EXPECT_EQ(sim::PumpCount(), 2);
}

TEST_F(ActionTest, PumpingWaitNestsInsideAHandler) {
  std::vector<std::string> order;
  sim::At(10, [&] {
    order.push_back("outer starts");
    PumpingWait(100);
    order.push_back("outer ends");
  });
  sim::At(50, [&] { order.push_back("inner"); });
  PumpingWait(300);
  EXPECT_EQ(order, (std::vector<std::string>{"outer starts", "inner", "outer ends"}));
  EXPECT_EQ(sim::Now(), 300u);
}

// A 32-bit program on 64-bit Windows: its System32 is SysWOW64, so system programs that
// exist only in the real System32 start through Sysnative.
TEST_F(ActionTest, SystemProgramsStartFromTheRealSystem32OnSixtyFourBitWindows) {
  for (const char* f : {"C:\\Windows\\Sysnative\\osk.exe", "C:\\Windows\\Sysnative\\wsl.exe",
                        "C:\\Windows\\Sysnative\\notepad.exe", "C:\\Windows\\SysWOW64\\notepad.exe",
                        "C:\\Windows\\Sysnative\\regedit.exe", "C:\\Windows\\regedit.exe"})
    sim::AddWindowsFile(f);
  WriteProgramFile("wsl.exe", "a copy beside Keyvane");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"C:\\Windows\\System32\\osk.exe", "C:\\Windows\\Sysnative\\osk.exe"},
      {"c:\\windows\\SYSTEM32\\osk.exe;ㅡv", "C:\\Windows\\Sysnative\\osk.exe|-v"},  // any case, parameters kept
      {"C:\\Windows\\System32\\notepad.exe", "C:\\Windows\\Sysnative\\notepad.exe"},  // the path says System32
      {"C:\\Windows\\System32\\gone.exe", "C:\\Windows\\System32\\gone.exe"},  // not there: as written
      {"C:\\Windows\\System32\\drivers", "C:\\Windows\\System32\\drivers"},    // a folder
      {"osk", "C:\\Windows\\Sysnative\\osk.exe"},                              // a bare name, .exe added
      {"osk.exe", "C:\\Windows\\Sysnative\\osk.exe"},
      {"notepad.exe", "notepad.exe"},  // SysWOW64 has it: the shell finds it as today
      {"regedit.exe", "regedit.exe"},  // so has the Windows folder
      {"wsl.exe", "wsl.exe"},          // and the program's own folder
      {"D:\\Tools\\osk.exe", "D:\\Tools\\osk.exe"},
      // As users write them: quoted (also before parameters), with /, a variable, no ".exe".
      {"\"C:\\Windows\\System32\\osk.exe\"", "\"C:\\Windows\\Sysnative\\osk.exe\""},
      {"\"C:\\Windows\\System32\\osk.exe\";/x", "\"C:\\Windows\\Sysnative\\osk.exe\"|/x"},
      {"C:/Windows/System32/osk.exe", "C:\\Windows\\Sysnative\\osk.exe"},
      {"%SystemRoot%\\System32\\osk.exe", "C:\\Windows\\Sysnative\\osk.exe"},
      {"C:\\Windows\\System32\\osk", "C:\\Windows\\Sysnative\\osk.exe"},
      {"\"%windir%\\System32\\gone.exe\"", "\"%windir%\\System32\\gone.exe\""},
  };
  sim::SetWow64(true);
  for (const auto& c : cases) ExecuteAction(kKindRunProgram, c.first);
  std::vector<std::string> expected;
  for (const auto& c : cases) expected.push_back(c.second);
  EXPECT_EQ(ShellFiles(), expected);

  // 32-bit Windows: every name as written.
  sim::Reset();
  for (const char* f : {"C:\\Windows\\Sysnative\\osk.exe"}) sim::AddWindowsFile(f);
  ExecuteAction(kKindRunProgram, "C:\\Windows\\System32\\osk.exe");
  ExecuteAction(kKindRunProgram, "osk");
  EXPECT_EQ(ShellFiles(), (Items{"C:\\Windows\\System32\\osk.exe", "osk"}));
}
