// What the user does in the editor is never lost or misdirected: edits made without a
// character key, the last entry deleted, another file opened over edits or a file gone,
// dialogs confirmed unchanged, hotkey texts without a key, reserved combinations in a file,
// the tab order.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmSetmulti.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin, kCtrlAlt = plat::kModControl | plat::kModAlt;
constexpr unsigned kVkF1 = 0x70, kVkF2 = 0x71, kVkF5 = 0x74, kVkF6 = 0x75;
const char* const kQuestion = "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?";

class EditsKeptTest : public SimTest {
 protected:
  std::string list_ = WriteProgramFile("MyJob.ini",
                                       "웹-P0-Ctrl+Win+F5-웹사이트 이동-a.example-True-\r\n"
                                       "실행-P1-Ctrl+Alt+F6-프로그램 실행-c:\\x.exe-True-\r\n");
  // The editor as the tray shows it: the list as saved, nothing changed yet.
  void ShowSettled(Tfrm_main& editor) {
    editor.Show();
    editor.Doc.SetModified(false);
    editor.bnt_Apply.SetEnabled(false);
  }
  int Questions() {
    int n = 0;
    for (const sim::Box& box : sim::Boxes()) n += box.text == kQuestion;
    return n;
  }
};

// ---------------------------------------------------------------- changes that are no key press

TEST_F(EditsKeptTest, EveryChangeTheUserMakesToABoxMarksTheList) {
  Tfrm_main editor;
  ShowSettled(editor);
  editor.WorkList.UserSelect(0);
  // The program's own filling of the boxes is no edit.
  EXPECT_FALSE(editor.Doc.Modified());

  // Delete, paste, cut, undo and the input method: the box changes, no character key.
  std::vector<plat::Edit*> boxes{&editor.txt_subject};
  for (int kind = Tfrm_main::kFirstInfoKind; kind <= Tfrm_main::kKinds; ++kind) boxes.push_back(editor.InfoBox(kind));
  for (plat::Edit* box : boxes) {
    editor.WorkList.UserSelect(0);
    editor.Doc.SetModified(false);
    editor.bnt_Apply.SetEnabled(false);
    box->UserEdit(box->Text() + "붙");
    EXPECT_TRUE(editor.Doc.Modified()) << box->Name();
    EXPECT_TRUE(editor.bnt_Apply.Enabled()) << box->Name();
  }

  // So closing asks, and Yes keeps the edit.
  editor.WorkList.UserSelect(1);
  editor.Doc.SetModified(false);
  editor.txt_subject.UserEdit("실");  // Delete took the last character
  sim::AnswerNextBox(plat::kIdYes);
  EXPECT_TRUE(editor.Close());
  EXPECT_EQ(Questions(), 1);
  EXPECT_NE(ReadFileBytes(list_).find("실-P1-"), std::string::npos);
}

// ---------------------------------------------------------------- the empty list

TEST_F(EditsKeptTest, DeletingEveryEntryAndApplyingEmptiesTheFileAndKeepsTheOldOne) {
  const std::string before = ReadFileBytes(list_);
  Tfrm_main editor;
  ShowSettled(editor);
  while (editor.WorkList.RowCount() > 0) {
    editor.WorkList.UserSelect(0);
    editor.bntDelete.UserClick();
  }
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_), "");
  EXPECT_EQ(ReadFileBytes(list_ + ".bak"), before);
  ASSERT_EQ(sim::Registrations().size(), 2u);  // the editor's own key and the pause key only
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF5));

  // It reads back as empty: at the next showing and at the next start.
  editor.Hide();
  editor.Show();
  EXPECT_EQ(editor.WorkList.RowCount(), 0);
  Tfrm_main next;
  EXPECT_EQ(next.WorkList.RowCount(), 0);
  // Applying the empty list again keeps no second copy of an empty file.
  editor.SetModified();
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_ + ".bak2"), "<missing>");
}

TEST_F(EditsKeptTest, TheClosingQuestionsYesSavesAnEmptyListToo) {
  Tfrm_main editor;
  ShowSettled(editor);
  editor.WorkList.UserSelect(0);
  editor.bntDelete.UserClick();
  editor.WorkList.UserSelect(0);
  editor.bntDelete.UserClick();
  sim::AnswerNextBox(plat::kIdYes);
  EXPECT_TRUE(editor.Close());
  EXPECT_EQ(ReadFileBytes(list_), "");
  EXPECT_EQ(sim::Registrations().size(), 2u);
}

TEST_F(EditsKeptTest, ClosingWithNoDropsTheEditsFromWhatTheHotkeysRun) {
  Tfrm_main editor;
  ShowSettled(editor);
  editor.WorkList.UserSelect(0);
  editor.txt_Urlselect.UserEdit("dropped.example");
  sim::AnswerNextBox(plat::kIdNo);
  ASSERT_TRUE(editor.Close());
  // The hidden editor's hotkey runs the entry as saved, not the edit the user declined.
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "a.example");

  // Nor does the declined edit come back as the list kept for a work file that has gone.
  std::remove(list_.c_str());
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF1));
  ASSERT_TRUE(editor.Visible());
  ASSERT_EQ(editor.WorkList.RowCount(), 2);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "a.example");
}

TEST_F(EditsKeptTest, DeletingAnEntryEmptiesEveryFieldTheLastBoxToo) {
  Tfrm_main editor;
  ShowSettled(editor);
  editor.WorkList.UserSelect(0);
  editor.txt_Action.UserType("Maximize");
  ASSERT_EQ(editor.WorkList.Cell(0, kColKind), kKindBuiltin);
  editor.bntDelete.UserClick();
  // Nothing of the deleted entry stays in the fields.
  for (int kind = Tfrm_main::kFirstInfoKind; kind <= Tfrm_main::kKinds; ++kind)
    EXPECT_EQ(editor.InfoBox(kind)->Text(), "") << kind;
  EXPECT_EQ(editor.txt_subject.Text(), "");
}

TEST_F(EditsKeptTest, AWorkFileThatCouldNotBeReadIsKeptAtTheNextSave) {
  // Another program has the list locked as Keyvane starts and as the editor is shown.
  const std::string before = ReadFileBytes(list_);
  sim::LockFile(list_);
  Tfrm_main editor;
  editor.Show();
  ASSERT_EQ(editor.WorkList.RowCount(), 0);
  sim::UnlockFile(list_);
  // A new list applied over it: the entries nobody could see are kept beside it.
  editor.bntNew.UserClick();
  editor.txt_subject.UserType("new");
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_).substr(0, 7), "new-P0-");
  EXPECT_EQ(ReadFileBytes(list_ + ".bak"), before);
  // Once saved, the next save has nothing more to keep.
  editor.txt_subject.UserType("!");
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_ + ".bak2"), "<missing>");
}

// ---------------------------------------------------------------- opening another file

TEST_F(EditsKeptTest, OpeningAnotherFileAsksAboutUnappliedEditsFirst) {
  const std::string other = WriteProgramFile("Other.ini", "다른-P0-Ctrl+Win+F6-웹사이트 이동-o.example-True-\r\n");
  Tfrm_main editor;
  ShowSettled(editor);
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("!");

  // Cancel: the editor stays as it is and nothing is opened.
  sim::AnswerNextBox(plat::kIdCancel);
  sim::AnswerNextFileDialog(other);
  editor.N2Click();
  EXPECT_EQ(Questions(), 1);
  EXPECT_TRUE(sim::FileDialogs().empty());
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "웹!");
  EXPECT_TRUE(editor.Doc.Modified());

  // Yes: the edit is saved, then the other file opens.
  sim::AnswerNextBox(plat::kIdYes);
  editor.N2Click();
  EXPECT_EQ(Questions(), 2);
  EXPECT_NE(ReadFileBytes(list_).find("웹!-P0-"), std::string::npos);
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "다른");

  // No: the edit is dropped and the file opens.
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("?");
  sim::AnswerNextBox(plat::kIdNo);
  sim::AnswerNextFileDialog(list_);
  editor.N2Click();
  EXPECT_EQ(Questions(), 3);
  EXPECT_EQ(ReadFileBytes(other), "다른-P0-Ctrl+Win+F6-웹사이트 이동-o.example-True-\r\n");
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "웹!");

  // No, and then nothing opens (cancelled, a missing file, an unreadable one): the edit is
  // dropped all the same, from the list on screen, from what runs and from the next 적용.
  sim::DenyRead(other);
  for (const std::string& chosen : {std::string(), plat::ProgramFolder() + "없는.ini", other}) {
    editor.WorkList.UserSelect(0);
    editor.txt_subject.UserType("?");
    sim::AnswerNextBox(plat::kIdNo);
    if (!chosen.empty()) sim::AnswerNextFileDialog(chosen);
    editor.N2Click();
    EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "웹!") << chosen;
    EXPECT_FALSE(editor.Doc.Modified()) << chosen;
    EXPECT_FALSE(editor.bnt_Apply.Enabled()) << chosen;
  }
  editor.SetModified();
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_).find("?"), std::string::npos);
}

TEST_F(EditsKeptTest, AnEmptyLastWorkFileIsTheFileTheNewListGoesInto) {
  const std::string empty = WriteProgramFile("빈 목록.ini", "");
  ASSERT_TRUE(SetLastWorkFile(empty));
  const std::string mine = ReadFileBytes(list_);
  Tfrm_main editor;  // a start on it
  editor.Show();
  EXPECT_EQ(editor.Caption(), " 키베인 v1.5 - " + empty);
  editor.bntNew.UserClick();
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(empty), "null-P0-null-웹사이트 이동-null-True-\r\n");
  EXPECT_EQ(ReadFileBytes(list_), mine);
  EXPECT_FALSE(plat::FileExists(list_ + ".bak"));
}

TEST_F(EditsKeptTest, AFileChangedOutsideWhileOnScreenIsNeverOverwrittenUnasked) {
  constexpr unsigned kVkF7 = 0x76, kVkF8 = 0x77;
  Tfrm_main editor;
  ShowSettled(editor);
  // Notepad adds a line while the editor is on screen, unchanged: 적용 reads it and runs it.
  const std::string added = ReadFileBytes(list_) + "메모-P2-Ctrl+Win+F7-웹사이트 이동-n.example-True-\r\n";
  WriteProgramFile("MyJob.ini", added);
  editor.SetModified();  // an arrow key in a box
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_), added);
  EXPECT_EQ(editor.WorkList.RowCount(), 3);
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF7));
  EXPECT_TRUE(sim::Boxes().empty());

  // With edits on screen it asks: 취소 changes nothing, 예 keeps the edits and the file
  // beside them, 아니요 drops them and runs the file.
  const std::string again = added + "또-P3-Alt+F8-웹사이트 이동-m.example-True-\r\n";
  WriteProgramFile("MyJob.ini", again);
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("!");
  sim::AnswerNextBox(plat::kIdCancel);
  editor.bnt_Apply.UserClick();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_NE(sim::Boxes()[0].text.find(list_ + ".bak"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(list_), again);
  EXPECT_TRUE(editor.Doc.Modified());
  sim::AnswerNextBox(plat::kIdYes);
  editor.bnt_Apply.UserClick();
  EXPECT_NE(ReadFileBytes(list_).find("웹!-P0-"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(list_ + ".bak"), again);
  EXPECT_FALSE(sim::PressHotKey(plat::kModAlt, kVkF8));

  WriteProgramFile("MyJob.ini", again);
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("?");
  sim::AnswerNextBox(plat::kIdYes);
  sim::AnswerNextBox(plat::kIdNo);
  editor.Close();  // 예 to the closing question, then 아니요: the file wins
  EXPECT_EQ(ReadFileBytes(list_), again);
  EXPECT_EQ(editor.WorkList.RowCount(), 4);
  EXPECT_TRUE(sim::PressHotKey(plat::kModAlt, kVkF8));
}

TEST_F(EditsKeptTest, AfterOpeningAnotherFileAPressRunsTheAppliedEntryUntilApplied) {
  const std::string other = WriteProgramFile("Other.ini", "다른-P0-Alt+F5-프로그램 실행-other.exe-True-\r\n");
  Tfrm_main editor;
  ShowSettled(editor);
  sim::AnswerNextFileDialog(other);
  editor.N2Click();
  // Ctrl+Win+F5 belongs to MyJob.ini's P0, not to the other file's P0.
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "a.example");
  editor.bnt_Apply.UserClick();
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF5));
  ASSERT_TRUE(sim::PressHotKey(plat::kModAlt, kVkF5));
  EXPECT_EQ(sim::ShellCalls().back().file, "other.exe");
}

TEST_F(EditsKeptTest, AnOpenedListHasNoMarksOfTheOldRegistrationsAndCountsAsChanged) {
  const std::string other = WriteProgramFile("Other.ini",
                                             "다른-P0-Alt+F5-웹사이트 이동-o.example-True-\r\n"
                                             "또-P1-Alt+F6-웹사이트 이동-p.example-True-\r\n");
  sim::TakeCombination(kCtrlAlt, kVkF6);  // the old list's P1 stays unregistered
  Tfrm_main editor;
  ShowSettled(editor);
  ASSERT_EQ(editor.WorkList.RowImage(1), Tfrm_main::kImageUnregistered);

  sim::AnswerNextFileDialog(other);
  editor.N2Click();
  ASSERT_EQ(editor.WorkList.Cell(1, kColDescription), "또");
  EXPECT_EQ(editor.WorkList.RowImage(1), Tfrm_main::kImageEntry);
  EXPECT_TRUE(editor.Doc.Modified());
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  // Shown again from the tray: still not what runs.
  editor.Hide();
  ShowSettled(editor);
  editor.Hide();
  editor.Show();
  EXPECT_TRUE(editor.Doc.Modified());
  EXPECT_EQ(editor.WorkList.RowImage(1), Tfrm_main::kImageEntry);

  // Applying makes it what runs; then marks speak again.
  editor.bnt_Apply.UserClick();
  EXPECT_TRUE(sim::PressHotKey(plat::kModAlt, kVkF5));
  EXPECT_FALSE(editor.Doc.Modified());
  editor.Hide();
  ShowSettled(editor);
  EXPECT_FALSE(editor.Doc.Modified());
}

// ---------------------------------------------------------------- a work file that vanished

TEST_F(EditsKeptTest, AMissingWorkFileKeepsTheListSaysSoOnceAndApplyWritesItAgain) {
  Tfrm_main editor;
  ShowSettled(editor);
  editor.Hide();
  ASSERT_EQ(std::remove(list_.c_str()), 0);

  editor.Show();
  ASSERT_EQ(editor.WorkList.RowCount(), 2);
  EXPECT_TRUE(editor.Doc.Modified());
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_NE(sim::Boxes()[0].text.find(list_), std::string::npos);
  EXPECT_EQ(sim::Boxes()[0].owner, editor.Handle());
  // The hotkeys still run what the list holds.
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_EQ(sim::ShellCalls().size(), 1u);

  editor.Hide();
  editor.Show();
  EXPECT_EQ(sim::Boxes().size(), 1u);  // once
  editor.bnt_Apply.UserClick();
  EXPECT_NE(ReadFileBytes(list_).find("웹-P0-Ctrl+Win+F5-"), std::string::npos);
}

TEST_F(EditsKeptTest, AListReadOnlyInPartSaysWhereItStoppedOnceAndTheSaveKeepsTheFile) {
  const std::string original =
      "웹-P0-Ctrl+Win+F5-웹사이트 이동-a.example-True-\r\n"
      "실행-P1-Ctrl+Alt+F6-프로그램 실행-c:\\x.exe-True-\r\n"
      "손으로 고친 줄-P2\r\n"
      "뒤-P3-Ctrl+Alt+F7-프로그램 실행-c:\\y.exe-True-\r\n";
  WriteProgramFile("MyJob.ini", original);
  WriteProgramFile("MyJob.ini.bak", "an older copy");
  std::filesystem::create_directory(std::filesystem::path(list_ + ".bak2"));  // a folder holds a name too
  Tfrm_main editor;
  EXPECT_TRUE(sim::Boxes().empty()) << "loading at start-up says nothing";

  ShowSettled(editor);
  ASSERT_EQ(editor.WorkList.RowCount(), 2);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  const sim::Box box = sim::Boxes()[0];
  EXPECT_EQ(box.owner, editor.Handle());
  EXPECT_EQ(box.caption, "알림말");
  EXPECT_EQ(box.text, "작업 파일을 끝까지 읽지 못했습니다:\r\n" + list_ +
                          "\r\n\r\n3번째 줄에서 읽기를 멈추었습니다. 목록에는 그 앞의 항목만 있습니다.\r\n"
                          "다음에 저장할 때 지금의 파일은 " + list_ + ".bak3 로 남겨 둡니다.");
  editor.Hide();
  ShowSettled(editor);
  EXPECT_EQ(sim::Boxes().size(), 1u) << "once";

  editor.bnt_Apply.SetEnabled(true);
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(list_ + ".bak3"), original) << "the name the box gave";
  editor.Hide();
  ShowSettled(editor);
  EXPECT_EQ(sim::Boxes().size(), 1u) << "the file is whole again";

  // A list opened with 열기 that stops early says so too.
  const std::string other = WriteProgramFile("다른.ini", "a-P0-A-k-i-True-\r\n" + std::string(1, '\0'));
  sim::AnswerNextFileDialog(other);
  editor.N2Click();
  ASSERT_EQ(sim::Boxes().size(), 2u);
  EXPECT_NE(sim::Boxes()[1].text.find(other + "\r\n\r\n2번째 줄에서"), std::string::npos);
}

TEST_F(EditsKeptTest, AFileWithBytesThatAreNoTextSaysSoThoughEveryLineWasRead) {
  // UTF-8 with its mark, and two bytes that are no UTF-8 in the description.
  WriteProgramFile("MyJob.ini", "\xEF\xBB\xBF" "d\xE1\x80-P0-Ctrl+Win+F5-k-a.example-True-\r\n");
  Tfrm_main editor;
  ShowSettled(editor);
  ASSERT_EQ(editor.WorkList.RowCount(), 1);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_NE(sim::Boxes()[0].text.find("\r\n\r\n글자로 읽을 수 없는 바이트가 있어"), std::string::npos)
      << sim::Boxes()[0].text;
  EXPECT_NE(sim::Boxes()[0].text.find(list_ + ".bak 로 남겨"), std::string::npos);
}

// ---------------------------------------------------------------- dialogs confirmed unchanged

TEST_F(EditsKeptTest, ADialogsOkGivesTheEntryTheBoxsKindEvenWhenTheTextStaysTheSame) {
  Tfrm_main editor;
  ShowSettled(editor);
  editor.WorkList.UserSelect(0);
  // The action box still shows its text while the entry is a web site.
  editor.txt_Action.UserType("현재 창 최대화");
  editor.Radio_10.UserClick();
  ASSERT_EQ(editor.WorkList.Cell(0, kColKind), kKindWebSite);
  sim::OnNextModal([](plat::Form& dialog) { dialog.SetModalResult(plat::kMrOk); });
  editor.bntAction.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindBuiltin);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "현재 창 최대화");

  // Cancelled, nothing switches.
  editor.Radio_10.UserClick();
  editor.bntAction.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindWebSite);

  // The multi-job editor confirmed unchanged, and 찾기 picking the file the box shows.
  editor.txt_MultiJob.UserType("P1");
  editor.Radio_10.UserClick();
  sim::OnNextModal([](plat::Form& dialog) { dialog.SetModalResult(plat::kMrOk); });
  editor.bntMultijop.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindMultiJob);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "P1");
  editor.txt_ExcuteFilename.UserType("c:\\t.exe");
  editor.Radio_10.UserClick();
  sim::AnswerNextFileDialog("c:\\t.exe");
  editor.bntExcuteFind.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindRunProgram);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "c:\\t.exe");
}

// ---------------------------------------------------------------- quote marks in paths

TEST_F(EditsKeptTest, APathWithALoneQuoteRunsAsChosenAfterApply) {
  Tfrm_main editor;
  ShowSettled(editor);
  struct Case {
    plat::Edit& box;
    const char* info;
    const char* file;
    const char* parameters;
  };
  const Case cases[] = {{editor.txt_OpenDir, "D:\\Bob's Music", "D:\\Bob's Music", ""},
                        {editor.txt_ExcuteFilename, "C:\\Bob's\\x.exe;\"it's\"", "C:\\Bob's\\x.exe", "\"it's\""},
                        {editor.txt_Urlselect, "http://e.example/?q=19\"", "http://e.example/?q=19\"", ""}};
  for (const Case& c : cases) {
    editor.WorkList.UserSelect(0);
    editor.InfoBox(Tfrm_main::kFirstInfoKind)->SetText("");
    c.box.SetText("");
    c.box.UserEdit(c.info);
    editor.bnt_Apply.UserClick();
    // Stored in the form the file reads back; run as the user chose it.
    EXPECT_EQ(ReadFileBytes(list_).find(std::string(c.info)), std::string::npos) << c.info;
    const std::size_t before = sim::ShellCalls().size();
    ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
    ASSERT_EQ(sim::ShellCalls().size(), before + 1);
    const sim::ShellCall call = sim::ShellCalls().back();
    EXPECT_EQ(call.file, c.file);
    EXPECT_EQ(call.parameters, c.parameters);
  }
  // Ending a program by a name with a quote.
  sim::AddProcess("C:\\Bob's.exe", 77);
  editor.WorkList.UserSelect(0);
  editor.txt_ExitFilename.UserEdit("Bob's.exe");
  editor.bnt_Apply.UserClick();
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_FALSE(sim::ProcessRunning(77));
}

// ---------------------------------------------------------------- hotkey texts

TEST_F(EditsKeptTest, TextsWithoutAKeyAreNoDuplicates) {
  WriteProgramFile("MyJob.ini",
                   "없음-P0-null-웹사이트 이동-a-True-\r\n"
                   "컨트롤-P1-Ctrl+-웹사이트 이동-b-True-\r\n"
                   "키-P2-Ctrl+F5-웹사이트 이동-c-True-\r\n");
  Tfrm_main editor;
  ShowSettled(editor);
  ASSERT_EQ(editor.WorkList.RowCount(), 3);
  editor.WorkList.UserSelect(1);
  editor.cbControl.UserClick();  // the last modifier off: "" like row 0
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "");
  editor.cbControl.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+");
  // A complete combination another row holds is still refused.
  editor.cmVK.UserPick(FindKeyName("F5"));
  EXPECT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+");
}

TEST_F(EditsKeptTest, AnEntryHoldingAReservedCombinationNeverTakesTheEditorsKey) {
  WriteProgramFile("MyJob.ini",
                   "편집기-P0-Ctrl+Win+F1-웹사이트 이동-a.example-True-\r\n"
                   "예약-P1-Ctrl+Win+F2-웹사이트 이동-b.example-True-\r\n"
                   "보통-P2-Ctrl+Win+F5-웹사이트 이동-c.example-True-\r\n"
                   "다른 표기-P3-Win+Ctrl+f1-웹사이트 이동-d.example-True-\r\n");
  Tfrm_main editor;
  // Ctrl+Win+F2 is held once, by the pause key: pressed, it pauses and runs no entry.
  int f2 = 0;
  for (const sim::Registration& r : sim::Registrations()) f2 += r.modifiers == kCtrlWin && r.vk == kVkF2;
  EXPECT_EQ(f2, 1);
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_TRUE(editor.Paused());
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_FALSE(editor.Paused());
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF1));
  EXPECT_TRUE(editor.Visible());
  EXPECT_TRUE(sim::ShellCalls().empty());
  EXPECT_EQ(editor.WorkList.RowImage(0), Tfrm_main::kImageUnregistered);
  EXPECT_EQ(editor.WorkList.RowImage(1), Tfrm_main::kImageUnregistered);
  EXPECT_EQ(editor.WorkList.RowImage(2), Tfrm_main::kImageEntry);
  EXPECT_EQ(editor.WorkList.RowImage(3), Tfrm_main::kImageUnregistered);

  editor.SetModified();
  editor.bnt_Apply.UserClick();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_NE(sim::Boxes()[0].text.find("Ctrl+Win+F1  (편집기)"), std::string::npos);
  EXPECT_NE(sim::Boxes()[0].text.find("Ctrl+Win+F2  (예약)"), std::string::npos);
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_EQ(sim::ShellCalls().size(), 1u);
}

// ---------------------------------------------------------------- keyboard

TEST_F(EditsKeptTest, TabGoesFromEachKindToItsBoxAndButton) {
  Tfrm_main editor;
  std::vector<std::string> order;
  for (const plat::Control* c : editor.Controls())
    if (c->Parent() == &editor.gbKinds) order.push_back(c->Name());
  const std::vector<std::string> expected{
      "Radio_1",  "Radio_2",           "Radio_3",       "Radio_4",     "Radio_5",     "Radio_6",
      "Radio_7",  "txt_ExitFilename",  "bntExitfound",  "Radio_8",     "txt_ExcuteFilename",
      "bntExcuteFind", "Radio_9",      "txt_OpenDir",   "bntSelForlder", "Radio_10",  "txt_Urlselect",
      "Radio_11", "txt_DirectUrl",     "bntScriptFind", "Radio_12",    "txt_MultiJob", "bntMultijop",
      "Radio_13", "txt_AutoKey",       "bntAutoKey",    "Radio_14",    "txt_Action",  "bntAction"};
  EXPECT_EQ(order, expected);
  // The basic settings come before the kinds, as the window reads.
  std::vector<std::string> first;
  for (const plat::Control* c : editor.Controls())
    if (c->Parent() == &editor.gbBasic && c->Kind() != plat::ControlKind::Label) first.push_back(c->Name());
  EXPECT_EQ(first, (std::vector<std::string>{"txt_subject", "pnlId", "cbShift", "cbControl", "cbAlt", "cbWin", "cmVK",
                                             "CheckActive"}));
}

TEST_F(EditsKeptTest, EnterInTheDelayBoxAddsTheDelay) {
  Tfrm_main editor;
  Tfrm_Setmulti dialog(editor.WorkList, editor.txt_MultiJob);
  EXPECT_TRUE(dialog.txt_delay.WantReturn());
  dialog.txt_delay.UserEdit("3");
  dialog.txt_delay.UserType("\n");
  ASSERT_EQ(dialog.ListSelect.RowCount(), 1);
  EXPECT_EQ(dialog.ListSelect.Cell(0, 0), "Delay=3");
  EXPECT_EQ(dialog.txt_delay.Text(), "3");
}

}  // namespace

// ---------------------------------------------------------------- saving under another name

TEST_F(EditsKeptTest, ASaveAsThatFailsLeavesTheWorkFileWhereItWas) {
  Tfrm_main editor;
  ShowSettled(editor);
  const std::string title = editor.Caption();
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("!");

  // A folder that does not exist cannot hold the file: the error box, and nothing moves.
  sim::AnswerNextFileDialog(plat::ProgramFolder() + "없는 폴더/목록.ini");
  editor.S1Click();
  ASSERT_EQ(sim::FileDialogs().size(), 1u);
  EXPECT_EQ(editor.Caption(), title);
  EXPECT_EQ(editor.Doc.Path(), list_);

  // 적용 then writes the edit to the file the list came from, as before.
  editor.bnt_Apply.UserClick();
  EXPECT_NE(ReadFileBytes(list_).find("!-P0-"), std::string::npos);
  EXPECT_EQ(editor.Caption(), title);
}

TEST_F(EditsKeptTest, OpeningAFileThatCannotBeReadKeepsTheListAndTheLastWorkFile) {
  const std::string other = WriteProgramFile("Other.ini", "다른-P0-Ctrl+Win+F6-웹사이트 이동-o.example-True-\r\n");
  sim::DenyRead(other);
  Tfrm_main editor;
  ShowSettled(editor);
  const std::string title = editor.Caption();
  const auto rows = editor.WorkList.Rows();

  sim::AnswerNextFileDialog(other);
  editor.N2Click();
  bool told = false;
  for (const sim::Box& box : sim::Boxes()) told |= (box.flags & 0xF0) == plat::kMbIconError;
  EXPECT_TRUE(told);
  EXPECT_EQ(editor.WorkList.Rows(), rows);
  EXPECT_EQ(editor.Caption(), title);
  // The next showing and the next start load the list on screen, not the unreadable one.
  EXPECT_EQ(GetLastWorkFile(), list_);

  // Once it can be read, it opens and becomes the last work file.
  sim::AllowRead(other);
  sim::AnswerNextFileDialog(other);
  editor.N2Click();
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "다른");
  EXPECT_EQ(GetLastWorkFile(), other);
}
