// Printing the hotkey list: the print lines, the job the printer receives, the boxes that
// tell the outcome and the hourglass around it.
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/sim/sim_mouse.h"
#include "platform/sim/sim_printer.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

const char* const kDone = "출력이 완료되었습니다";
const char* const kFailed =
    "리스트 출력중 에러가 발생하였습니다. [지원되지 않는 프린트이거나 출력장치에 문제가 있습니다]";
const char* const kNothing = "인쇄할 단축키가 없습니다.";
using Lines = std::vector<std::string>;

class PrintTest : public SimTest {
 protected:
  Tfrm_main editor;
  // The pointer's shape at each box, as the user saw it.
  std::vector<bool> busyAtBox;

  PrintTest() {
    sim::OnBox([this](const sim::Box&) { busyAtBox.push_back(sim::BusyCursor()); });
  }
  void Add(const HotkeyEntry& entry) { AddEntry(entry, editor.WorkList); }
  // Everything of the list a print could disturb: each row's cells and the selection.
  static std::vector<Lines> Snapshot(const plat::ListView& list) {
    std::vector<Lines> rows;
    for (int row = 0; row < list.RowCount(); ++row) rows.push_back(list.Row(row));
    rows.push_back({std::to_string(list.Selected())});
    return rows;
  }
  void Print() { editor.MainMenu().Find("인쇄(&P)")->Click(); }
  // The one box shown, checked for its caption and owner; its text and icon returned.
  sim::Box OnlyBox() {
    const std::vector<sim::Box> boxes = sim::Boxes();
    EXPECT_EQ(boxes.size(), 1u);
    if (boxes.empty()) return {};
    EXPECT_EQ(boxes[0].caption, "알림말");
    EXPECT_EQ(boxes[0].owner, editor.Handle());
    return boxes[0];
  }
};

// ---------------------------------------------------------------- print lines

TEST(EntryPrintLine, ColumnsAreSeparatedByOneBlankAndAnEmptyOneLeavesTwo) {
  const struct {
    HotkeyEntry entry;
    std::string line;
  } cases[] = {
      {{"웹", "P0", "Ctrl+Win+F5", kKindWebSite, "www.aㅡb.com", "True"},
       "P0 Ctrl+Win+F5 웹사이트 이동 www.aㅡb.com True"},
      {{"", "P1", "F7", kKindLogoff, "", "True"}, "P1 F7 로그 오프  True"},
      {{"d", "P2", "", kKindRunProgram, "c:\\x.exe", "False"}, "P2  프로그램 실행 c:\\x.exe False"},
      // Blanks and control characters go at both ends only, whichever column brings them.
      {{"d", "", "", kKindWebSite, "a\tb  ", ""}, "웹사이트 이동 a\tb"},
      {{"d", "\t\x01 P3", "F2", kKindLogoff, " x \r", "\x1f"}, "P3 F2 로그 오프  x"},
      {{"d", "", "", "", "", ""}, ""},
      // A Hangul character at the very end keeps both its bytes.
      {{"d", "P4", "F3", kKindOpenFolder, "", "가"}, "P4 F3 특정폴더 열기  가"},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryPrintLine(c.entry), c.line) << c.line;
}

// ---------------------------------------------------------------- the job

TEST_F(PrintTest, TheMenuPrintsOneLinePerEntryInListOrderAndSaysSo) {
  Add({"한글 설명", "P0", "Ctrl+Win+F5", kKindWebSite, "www.naver.com", "True"});
  Add({"", "P1", "Alt+F6", kKindLogoff, "", "True"});
  Add({"빈 단축키", "P2", "", kKindRunProgram, "c:\\a b.exe", "False"});
  editor.WorkList.UserSelect(1);
  const std::vector<Lines> before = Snapshot(editor.WorkList);
  const bool modified = editor.Doc.Modified();
  Print();

  const std::vector<sim::PrintJob> jobs = sim::PrintJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].printer, "SimPrinter");
  EXPECT_EQ(jobs[0].fontName, "Courior New");
  EXPECT_EQ(jobs[0].fontPoints, 10);
  EXPECT_TRUE(jobs[0].ended);
  EXPECT_EQ(jobs[0].pages,
            std::vector<Lines>({{"한글 설명 P0 Ctrl+Win+F5 웹사이트 이동 www.naver.com True",
                                 " P1 Alt+F6 로그 오프  True", "빈 단축키 P2  프로그램 실행 c:\\a b.exe False"}}));
  // Printing reads the list and leaves it as it was.
  EXPECT_EQ(Snapshot(editor.WorkList), before);
  EXPECT_EQ(editor.Doc.Modified(), modified);

  const sim::Box box = OnlyBox();
  EXPECT_EQ(box.text, kDone);
  EXPECT_EQ(box.flags, plat::kMbOk | plat::kMbIconInformation);
  // Busy while printing, the normal pointer again before the box.
  EXPECT_TRUE(jobs[0].busyCursor);
  EXPECT_EQ(busyAtBox, std::vector<bool>({false}));
  EXPECT_FALSE(sim::BusyCursor());
}

TEST_F(PrintTest, AFullPageStartsANewOneAndAWideLineGoesOnOnTheNext) {
  sim::SetPageSize(10, 3);
  Add({"a", "P0", "F5", "k", "", "True"});            // "a P0 F5 k  True": 15 columns
  Add({"가나다라마", "P1", "F6", "k", "i", "True"});  // a Hangul character is two columns
  Add({"b", "P2", "F7", "k", "i", "True"});
  Print();
  const std::vector<sim::PrintJob> jobs = sim::PrintJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(
      jobs[0].pages,
      std::vector<Lines>({{"a P0 F5 k ", " True", "가나다라마"}, {" P1 F6 k i", " True", "b P2 F7 k "}, {"i True"}}));
  EXPECT_EQ(OnlyBox().text, kDone);
}

TEST(BreakPrintLine, CutsOnlyBetweenCharactersAndAlwaysMakesProgress) {
  const auto bytes = [](const std::string& piece) { return static_cast<int>(piece.size()); };
  const struct {
    std::string line;
    int width;
    Lines pieces;
  } cases[] = {
      {"", 5, {""}},
      {"abc", 3, {"abc"}},
      {"abcdefg", 3, {"abc", "def", "g"}},
      // Five columns hold two Hangul characters, never two and a half.
      {"가나다라마바", 5, {"가나", "다라", "마바"}},
      {"a가나", 2, {"a", "가", "나"}},
      // A trail byte that looks like a letter is still part of its character ("괁" is B1 41).
      {"x괁y", 2, {"x", "괁", "y"}},
      // A character wider than the page is printed alone rather than never.
      {"가a", 1, {"가", "a"}},
      // An escaped character of another script is one character, a surrogate pair too.
      {"ab\xFF"
       "00E9c",
       6,
       {"ab",
        "\xFF"
        "00E9c"}},
      {"a\xFF"
       "D83D\xFF"
       "DE00b",
       6,
       {"a",
        "\xFF"
        "D83D\xFF"
        "DE00",
        "b"}},
      // A lone lead byte at the end stands alone.
      {"ab\xB0", 2, {"ab", "\xB0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::BreakPrintLine(c.line, c.width, bytes), c.pieces) << c.line;
}

// ---------------------------------------------------------------- failures

TEST_F(PrintTest, NoPrinterOrAFailingJobShowsTheErrorBoxUnderTheHourglass) {
  const struct {
    const char* what;
    bool noPrinter;
    sim::PrintFault fault;
    int piece;
    bool jobStarted;
  } cases[] = {
      {"no printer", true, sim::PrintFault::None, 0, false},
      {"job refused", false, sim::PrintFault::RefuseJob, 0, false},
      {"first line fails", false, sim::PrintFault::FailDraw, 0, true},
      {"a later line fails", false, sim::PrintFault::FailDraw, 1, true},
      {"ending the job fails", false, sim::PrintFault::FailEnd, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim::Reset();
    busyAtBox.clear();
    sim::OnBox([this](const sim::Box&) { busyAtBox.push_back(sim::BusyCursor()); });
    Tfrm_main form;
    AddEntry({"a", "P0", "F5", kKindLogoff, "", "True"}, form.WorkList);
    AddEntry({"b", "P1", "F6", kKindLogoff, "", "True"}, form.WorkList);
    if (c.noPrinter) sim::SetDefaultPrinter("");
    sim::FailPrinting(c.fault, c.piece);
    form.WorkList.UserSelect(1);
    const std::vector<Lines> before = Snapshot(form.WorkList);
    form.MainMenu().Find("인쇄(&P)")->Click();

    const std::vector<sim::PrintJob> jobs = sim::PrintJobs();
    ASSERT_EQ(jobs.size(), c.jobStarted ? 1u : 0u);
    if (c.jobStarted) {
      EXPECT_TRUE(jobs[0].aborted);
      EXPECT_FALSE(jobs[0].ended);
    }
    const std::vector<sim::Box> boxes = sim::Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kFailed);
    EXPECT_EQ(boxes[0].caption, "알림말");
    EXPECT_EQ(boxes[0].flags, plat::kMbOk | plat::kMbIconError);
    EXPECT_EQ(boxes[0].owner, form.Handle());
    // The box comes while the hourglass still shows; the pointer is normal after it.
    EXPECT_EQ(busyAtBox, std::vector<bool>({true}));
    EXPECT_FALSE(sim::BusyCursor());
    EXPECT_EQ(Snapshot(form.WorkList), before);
  }
}

TEST_F(PrintTest, AnEmptyListStartsNoJobAndSaysThereIsNothingToPrint) {
  Print();
  EXPECT_TRUE(sim::PrintJobs().empty());
  const sim::Box box = OnlyBox();
  EXPECT_EQ(box.text, kNothing);
  EXPECT_EQ(box.flags, plat::kMbOk | plat::kMbIconInformation);
  EXPECT_FALSE(sim::BusyCursor());
}

}  // namespace
