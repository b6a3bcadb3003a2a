// A hotkey whose program, folder or site cannot be opened says so in one box that belongs
// to no window, naming the entry and Windows' reason; held or repeated, it never stacks
// boxes; what opens says nothing.
#include <memory>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/msgloop.h"
#include "platform/shell.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kF5 = 0x74, kF6 = 0x75, kF7 = 0x76, kF8 = 0x77, kF9 = 0x78;
constexpr std::uint32_t kNotFound = 2, kAccessDenied = 5, kNoAssociation = 1155;

std::string Line(const std::string& description, const std::string& id, const std::string& hotkey,
                 const std::string& kind, const std::string& info) {
  return description + "-" + id + "-" + hotkey + "-" + kind + "-" + info + "-True-\r\n";
}

class OpenFailureTest : public SimTest {
 protected:
  void Start(const std::string& lines) {
    WriteProgramFile("MyJob.ini", lines);
    editor_ = std::make_unique<Tfrm_main>();
  }
  static bool Press(unsigned vk) { return sim::PressHotKey(kCtrlWin, vk); }
  // What the message loop does next: the boxes come from there.
  static void Pump() { plat::ProcessPendingMessages(); }
  std::unique_ptr<Tfrm_main> editor_;
};

}  // namespace

TEST_F(OpenFailureTest, EachKindThatOpensSaysWhatFailedAndWhyInABoxOfNoWindow) {
  Start(Line("메모 도구", "P0", "Ctrl+Win+F5", kKindRunProgram, "C:\\없는\\memo.exe;ㅡn") +
        Line("자료 폴더", "P1", "Ctrl+Win+F6", kKindOpenFolder, "D:\\자료") +
        Line("사내 사이트", "P2", "Ctrl+Win+F7", kKindWebSite, "intra://home") +
        Line("잘 되는 것", "P3", "Ctrl+Win+F8", kKindRunProgram, "C:\\ok.exe"));
  sim::FailShellOpen("C:\\없는\\memo.exe", kNotFound);
  sim::FailShellOpen("D:\\자료", kAccessDenied);
  sim::FailShellOpen("intra://home", kNoAssociation);

  ASSERT_TRUE(Press(kF8));
  Pump();
  EXPECT_TRUE(sim::Boxes().empty()) << "success stays silent";

  for (unsigned vk : {kF5, kF6, kF7}) ASSERT_TRUE(Press(vk));
  EXPECT_TRUE(sim::Boxes().empty()) << "the boxes wait for the message loop; the hotkey returns at once";
  Pump();
  const auto boxes = sim::Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "\"메모 도구\" 단축키의 작업을 열 수 없습니다.\n\nC:\\없는\\memo.exe -n\n" +
                               plat::SystemErrorText(kNotFound, "\"C:\\없는\\memo.exe\""));
  EXPECT_EQ(boxes[1].text,
            "\"자료 폴더\" 단축키의 작업을 열 수 없습니다.\n\nD:\\자료\n" + plat::SystemErrorText(kAccessDenied, "\"D:\\자료\""));
  EXPECT_EQ(boxes[2].text, "\"사내 사이트\" 단축키의 작업을 열 수 없습니다.\n\nintra://home\n" +
                               plat::SystemErrorText(kNoAssociation, "\"intra://home\""));
  for (const sim::Box& box : boxes) {
    EXPECT_TRUE(box.unowned);
    EXPECT_EQ(box.caption, "알림말");
    EXPECT_EQ(box.flags, plat::kMbOk | plat::kMbIconWarning);
  }
}

TEST_F(OpenFailureTest, AHeldOrRepeatedHotkeyNeverStacksBoxes) {
  Start(Line("없는 프로그램", "P0", "Ctrl+Win+F5", kKindRunProgram, "C:\\gone.exe") +
        Line("없는 폴더", "P1", "Ctrl+Win+F6", kKindOpenFolder, "C:\\gone"));
  sim::FailShellOpen("C:\\gone.exe", kNotFound);
  sim::FailShellOpen("C:\\gone", kNotFound);

  // Auto-repeat before the loop comes round: one box.
  for (int i = 0; i < 5; ++i) Press(kF5);
  // While that box is up the key is still held, and another entry fails too.
  int shown = 0;
  sim::OnBox([&](const sim::Box&) {
    if (++shown > 1) return;
    for (int i = 0; i < 3; ++i) Press(kF5);
    Press(kF6);
    Pump();  // the box's own loop
  });
  Pump();
  auto boxes = sim::Boxes();
  ASSERT_EQ(boxes.size(), 2u) << "one for each entry, the held one once";
  EXPECT_NE(boxes[0].text.find("없는 프로그램"), std::string::npos);
  EXPECT_NE(boxes[1].text.find("없는 폴더"), std::string::npos);
  EXPECT_EQ(sim::ShellCalls().size(), 9u) << "every press still tries to open";

  // Once the box has been closed, the next failure shows again.
  Press(kF5);
  Pump();
  boxes = sim::Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(boxes[2].text.find("없는 프로그램"), std::string::npos);
}

TEST_F(OpenFailureTest, AMultiJobGoesOnPastAFailedJobWhichIsNamed) {
  Start(Line("앞 작업", "P1", "null", kKindRunProgram, "C:\\gone.exe") +
        Line("뒤 작업", "P2", "null", kKindWebSite, "http://ok.example/") +
        Line("묶음", "P3", "Ctrl+Win+F9", kKindMultiJob, "P1;Delay=1;P2"));
  sim::FailShellOpen("C:\\gone.exe", kNotFound);
  sim::SetNow(1000);
  sim::HoldBoxesOpen(60000);  // the user reads it for a minute
  ASSERT_TRUE(Press(kF9));
  // The delay pumps the loop: the box came up during it, and the chain still ran on time.
  EXPECT_EQ(sim::NoticeBoxesOpen(), 1);
  const auto calls = sim::ShellCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].file, "http://ok.example/");
  EXPECT_EQ(calls[1].tick, 1000u + 200u + 1000u);
  const auto boxes = sim::Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text.rfind("\"앞 작업\" 단축키의", 0), 0u);
}

TEST_F(OpenFailureTest, NothingIsShownOnceTheProgramIsEnding) {
  Start(Line("없는 프로그램", "P0", "Ctrl+Win+F5", kKindRunProgram, "C:\\gone.exe"));
  sim::FailShellOpen("C:\\gone.exe", kNotFound);
  Press(kF5);
  plat::QuitMessageLoop(0);
  Pump();
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(OpenFailureTest, TwoRowsSharingAnIdEachNameThemselves) {
  Start(Line("첫째", "P0", "Ctrl+Win+F5", kKindRunProgram, "C:\\gone1.exe") +
        Line("둘째", "P0", "Ctrl+Win+F6", kKindRunProgram, "C:\\gone2.exe"));
  sim::FailShellOpen("C:\\gone1.exe", kNotFound);
  sim::FailShellOpen("C:\\gone2.exe", kNotFound);
  sim::HoldBoxesOpen(60000);
  Press(kF5);
  Pump();
  Press(kF6);  // while the first row's box is up
  Pump();
  const auto boxes = sim::Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text.rfind("\"첫째\" 단축키의", 0), 0u);
  EXPECT_EQ(boxes[1].text.rfind("\"둘째\" 단축키의", 0), 0u);
}
