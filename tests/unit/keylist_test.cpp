// The read-only list window: what it reads, that each one stands alone, and its layout.
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmKeyList.h"
#include "platform/files.h"
#include "platform/msgloop.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

class KeyListTest : public SimTest {
 protected:
  ~KeyListTest() override {
    for (Tfrm_KeyList* w : std::vector<Tfrm_KeyList*>(OpenKeyLists())) w->Close();
    plat::ProcessPendingMessages();
  }
};

const char* const kTwoEntries =
    "웹-P0-Ctrl+Win+F5-웹사이트 이동-www.aㅡb.com-True-\r\n"
    "null-P1-null-강제 종료-null-False-\r\n";

TEST_F(KeyListTest, ShowsTheFileAsSavedAndLeavesTheEditorAlone) {
  const std::string path = WriteProgramFile("일.ini", kTwoEntries);
  ASSERT_TRUE(SetLastWorkFile(path));
  Tfrm_main editor;
  editor.Show();
  ASSERT_EQ(editor.WorkList.RowCount(), 2);
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType(" 고침");  // an edit not yet applied
  const std::string edited = editor.WorkList.Cell(0, kColDescription);
  ASSERT_NE(edited, "웹");
  const std::string caption = editor.Caption();
  const std::string workFile = editor.Doc.Path();

  Tfrm_KeyList* list = ShowKeyList();
  EXPECT_TRUE(list->Visible());
  EXPECT_FALSE(list->InModal());
  ASSERT_EQ(list->WorkList.RowCount(), 2);
  EXPECT_EQ(list->WorkList.Row(0),
            (std::vector<std::string>{"웹", "P0", "Ctrl+Win+F5", "웹사이트 이동", "www.aㅡb.com", "True"}));
  EXPECT_EQ(list->WorkList.Row(1), (std::vector<std::string>{"", "P1", "", "강제 종료", "", "False"}));
  EXPECT_EQ(list->Caption(), "단축키 리스트");
  // Reading the file for the window does not point the editor anywhere.
  EXPECT_EQ(editor.Caption(), caption);
  EXPECT_EQ(editor.Doc.Path(), workFile);
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), edited);
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(KeyListTest, EachWindowStandsAloneAndFreesItselfWhenClosed) {
  ASSERT_TRUE(SetLastWorkFile(WriteProgramFile("MyJob.ini", kTwoEntries)));
  Tfrm_KeyList* first = ShowKeyList();
  first->WorkList.UserSelect(1);
  // The file changes between the two uses: the first window keeps what it read, and the
  // row the user picked in it, while the second one opens.
  WriteProgramFile("MyJob.ini", "새 항목-P5-Alt+F9-볼륨 높임-null-True-\r\n");
  Tfrm_KeyList* second = ShowKeyList();
  ASSERT_EQ(OpenKeyLists().size(), 2u);
  EXPECT_EQ(first->WorkList.RowCount(), 2);
  EXPECT_EQ(first->WorkList.Selected(), 1);
  EXPECT_EQ(first->WorkList.Cell(1, kColId), "P1");
  ASSERT_EQ(second->WorkList.RowCount(), 1);
  EXPECT_EQ(second->WorkList.Cell(0, kColId), "P5");

  first->bntClose.UserClick();
  EXPECT_FALSE(first->Visible());
  plat::ProcessPendingMessages();
  ASSERT_EQ(OpenKeyLists().size(), 1u);
  EXPECT_EQ(OpenKeyLists()[0], second);
  EXPECT_TRUE(second->Visible());
}

TEST_F(KeyListTest, MissingOrEmptyFileLeavesItEmptyAndAnUnreadableOneSaysSo) {
  // No file recorded and no MyJob.ini: empty, silent.
  Tfrm_KeyList* none = ShowKeyList();
  EXPECT_EQ(none->WorkList.RowCount(), 0);
  ASSERT_TRUE(SetLastWorkFile(WriteProgramFile("빈.ini", "")));
  EXPECT_EQ(ShowKeyList()->WorkList.RowCount(), 0);
  ASSERT_TRUE(SetLastWorkFile(plat::ProgramFolder() + "\\없는.ini"));
  EXPECT_EQ(ShowKeyList()->WorkList.RowCount(), 0);
  EXPECT_TRUE(sim::Boxes().empty());

  const std::string locked = WriteProgramFile("잠김.ini", kTwoEntries);
  ASSERT_TRUE(SetLastWorkFile(locked));
  sim::DenyRead(locked);
  Tfrm_KeyList* denied = ShowKeyList();
  EXPECT_EQ(denied->WorkList.RowCount(), 0);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].owner, denied->Handle());
  EXPECT_TRUE(denied->Visible());
}

TEST_F(KeyListTest, TheListFillsTheWindowAboveTheCloseStrip) {
  Tfrm_KeyList* list = ShowKeyList();
  const auto place = list->WorkList.FormPlace();
  EXPECT_EQ(place.x, 5);
  EXPECT_EQ(place.y, 5);
  EXPECT_EQ(place.width, 690);
  EXPECT_EQ(place.y + place.height, 574 - 5 - 35);
  list->UserResize(1000, 700);  // maximised
  const auto grown = list->WorkList.FormPlace();
  EXPECT_EQ(grown.width, 990);
  EXPECT_EQ(grown.y + grown.height, 700 - 5 - 35);
  const auto close = list->bntClose.FormPlace();
  EXPECT_EQ(close.x + close.width, 1000 - 5 - 3);  // still at the right end of the strip
  EXPECT_EQ(close.y, 700 - 5 - 35 + 6);
  EXPECT_EQ(close.width, 75);
}

}  // namespace
