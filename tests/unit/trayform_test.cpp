// The tray menu: its items, pause and resume, the editor and list windows it opens, and
// ending the program.
#include <string>
#include <utility>
#include <vector>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmInfor.h"
#include "editor/frmKeyList.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/msgloop.h"
#include "tests/unit/test_support.h"
#include "platform/sim/sim_tray.h"
#include "tray/TrayIcons.h"
#include "tray/frmTray.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin, kCtrlAlt = plat::kModControl | plat::kModAlt;
constexpr unsigned kVkF1 = 0x70, kVkF2 = 0x71, kVkF5 = 0x74, kVkN = 0x4E;

// The combinations held now, in the order they were registered.
std::vector<std::pair<unsigned, unsigned>> Held() {
  std::vector<std::pair<unsigned, unsigned>> held;
  for (const sim::Registration& r : sim::Registrations()) held.emplace_back(r.modifiers, r.vk);
  return held;
}

std::vector<std::pair<unsigned, unsigned>> Only(unsigned modifiers, unsigned vk) { return {{modifiers, vk}}; }

// Keyvane's icon as the shell shows it now.
plat::NotifyIconData TrayIconShown() {
  const auto icons = sim::TrayIcons();
  return icons.empty() ? plat::NotifyIconData{} : icons.back();
}

// The work file exists before the windows are made.
struct WithWorkFile : SimTest {
  WithWorkFile() {
    WriteProgramFile("MyJob.ini",
                     "웹-P0-Ctrl+Win+F5-웹사이트 이동-a.example-True-\r\n"
                     "끔-P1-Ctrl+Alt+N-웹사이트 이동-b.example-False-\r\n"
                     "실행-P2-Ctrl+Alt+F5-프로그램 실행-c:\\x.exe-True-\r\n");
  }
};

class TrayFormTest : public WithWorkFile {
 protected:
  ~TrayFormTest() override {
    for (Tfrm_KeyList* w : std::vector<Tfrm_KeyList*>(OpenKeyLists())) w->Close();
    plat::ProcessPendingMessages();
  }
  Tfrm_Tray tray;
  Tfrm_main editor;
  void SetUp() override { tray.Attach(editor); }
  void EditDescription() {
    editor.WorkList.UserSelect(0);
    editor.txt_subject.UserType("!");
    ASSERT_TRUE(editor.Doc.Modified());
  }
};

TEST_F(TrayFormTest, MenuReadsInItsOrder) {
  std::vector<std::string> captions;
  for (const auto& item : tray.PopupMenu.Items.Items()) captions.push_back(item->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"단축 편집 (Ctrl+Win+F1)", "-", "루메노 홈페이지", "정보...", "-",
                                                "단축 리스트 보기", "-", "□  잠시 중지..", "끝내기"}));
}

// ---------------------------------------------------------------- pause and resume

TEST_F(TrayFormTest, PauseReleasesEveryHotkeyButThePauseKeyAndResumeBringsTheSameSetBack) {
  const auto running = Held();
  // Two active entries, the editor's key, the pause key last.
  ASSERT_EQ(running.size(), 4u);
  EXPECT_EQ(running[2], std::make_pair(kCtrlWin, kVkF1));
  EXPECT_EQ(running[3], std::make_pair(kCtrlWin, kVkF2));

  tray.bntStop.Click();
  EXPECT_EQ(tray.bntStop.Caption(), "▷  시작.. ");
  EXPECT_EQ(Held(), Only(kCtrlWin, kVkF2));
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF1));
  EXPECT_FALSE(editor.Visible());
  // The editor still opens from the menu while paused.
  tray.bnt_Edit.Click();
  EXPECT_TRUE(editor.Visible());
  EXPECT_EQ(Held(), Only(kCtrlWin, kVkF2));

  tray.bntStop.Click();
  EXPECT_EQ(tray.bntStop.Caption(), "□  잠시 중지..");
  EXPECT_EQ(Held(), running);
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file + sim::ShellCalls()[0].parameters, "a.example");
}

TEST_F(TrayFormTest, ThePauseKeyPausesAndResumesAsTheItemDoesAndTheIconShowsIt) {
  const auto running = Held();
  // Only the pause key asks not to repeat while held.
  for (const sim::Registration& r : sim::Registrations()) EXPECT_EQ(r.noRepeat, r.vk == kVkF2) << r.vk;
  ASSERT_EQ(TrayIconShown().szTip, std::string("키베인"));
  ASSERT_EQ(sim::IconImage(TrayIconShown().icon), TrayIconImage());

  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_TRUE(editor.Paused());
  EXPECT_EQ(tray.bntStop.Caption(), kResumeCaption);
  EXPECT_EQ(std::string(TrayIconShown().szTip), "키베인 (잠시 중지)");
  EXPECT_EQ(sim::IconImage(TrayIconShown().icon), TrayPausedImage());
  EXPECT_NE(TrayPausedImage(), TrayIconImage());
  // Only the pause key is left: the entries and the editor's key do nothing.
  EXPECT_EQ(Held(), Only(kCtrlWin, kVkF2));
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_FALSE(sim::PressHotKey(kCtrlAlt, kVkF5));
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF1));
  EXPECT_FALSE(editor.Visible());
  EXPECT_TRUE(sim::ShellCalls().empty());

  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_FALSE(editor.Paused());
  EXPECT_EQ(tray.bntStop.Caption(), kPauseCaption);
  EXPECT_EQ(std::string(TrayIconShown().szTip), "키베인");
  EXPECT_EQ(sim::IconImage(TrayIconShown().icon), TrayIconImage());
  EXPECT_EQ(Held(), running);
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, kVkF5));
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "c:\\x.exe");

  // The key and the item are one switch: paused by the key, resumed from the menu.
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  tray.bntStop.Click();
  EXPECT_FALSE(editor.Paused());
  EXPECT_EQ(tray.bntStop.Caption(), kPauseCaption);
  EXPECT_EQ(Held(), running);
  tray.bntStop.Click();
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_EQ(std::string(TrayIconShown().szTip), "키베인");
  EXPECT_EQ(Held(), running);
}

TEST_F(TrayFormTest, HeldDownThePauseKeySwitchesOnceUntilItIsReleased) {
  const auto running = Held();
  sim::SetKeyDown(kVkF2, true);
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  // The key repeats while held (a system that ignores the wish not to): nothing more.
  for (int repeat = 0; repeat < 20; ++repeat) {
    PumpingWait(33);
    ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
    ASSERT_TRUE(editor.Paused()) << "repeat " << repeat;
  }
  EXPECT_TRUE(editor.Paused());
  EXPECT_EQ(tray.bntStop.Caption(), kResumeCaption);
  // Released and pressed again: it resumes.
  sim::SetKeyDown(kVkF2, false);
  sim::SetKeyDown(kVkF2, true);
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_FALSE(editor.Paused());
  EXPECT_EQ(Held(), running);
  sim::SetKeyDown(kVkF2, false);

  // Two quick presses, the second 30 ms after the first: each switches.
  sim::SetKeyDown(kVkF2, true);
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  sim::SetKeyDown(kVkF2, false);
  PumpingWait(30);
  sim::SetKeyDown(kVkF2, true);
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  sim::SetKeyDown(kVkF2, false);
  EXPECT_FALSE(editor.Paused());
}

TEST_F(TrayFormTest, ApplyWhilePausedSavesTheListAndStaysPausedUntilResume) {
  tray.bntStop.Click();
  tray.bnt_Edit.Click();
  EditDescription();
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(DefaultWorkFile()).substr(0, 6), "웹!-P0");
  EXPECT_TRUE(sim::Boxes().empty());
  // Still paused, and the tray says so.
  EXPECT_TRUE(editor.Paused());
  EXPECT_EQ(Held(), Only(kCtrlWin, kVkF2));
  EXPECT_EQ(tray.bntStop.Caption(), kResumeCaption);
  EXPECT_EQ(std::string(TrayIconShown().szTip), "키베인 (잠시 중지)");
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF5));

  // The closing question's Yes saves and stays paused too.
  editor.txt_subject.UserType("?");
  sim::AnswerNextBox(plat::kIdYes);
  EXPECT_TRUE(editor.Close());
  EXPECT_EQ(ReadFileBytes(DefaultWorkFile()).substr(0, 7), "웹!?-P0");
  EXPECT_EQ(Held(), Only(kCtrlWin, kVkF2));

  // Resuming registers the applied list once.
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  EXPECT_EQ(tray.bntStop.Caption(), kPauseCaption);
  const auto held = Held();
  ASSERT_EQ(held.size(), 4u);
  EXPECT_EQ(held[2], std::make_pair(kCtrlWin, kVkF1));
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_EQ(sim::ShellCalls().size(), 1u);
  tray.bntStop.Click();
  EXPECT_EQ(Held(), Only(kCtrlWin, kVkF2));
}

TEST_F(TrayFormTest, ResumeAfterAnApplyWhilePausedKeepsHotkeysWithTheirEntries) {
  tray.bntStop.Click();
  tray.bnt_Edit.Click();
  EditDescription();
  editor.bnt_Apply.UserClick();
  // Rows deleted and added without applying, then resume.
  editor.WorkList.UserSelect(0);
  editor.bntDelete.UserClick();
  editor.bntNew.UserClick();
  editor.txt_Urlselect.UserType("new.example");
  tray.bntStop.Click();
  EXPECT_EQ(tray.bntStop.Caption(), kPauseCaption);
  // The list applied is registered, not the one on screen: one registration per
  // combination, the editor's key and the pause key last.
  const auto held = Held();
  ASSERT_EQ(held.size(), 4u);
  EXPECT_EQ(held[0], std::make_pair(kCtrlWin, kVkF5));
  EXPECT_EQ(held[2], std::make_pair(kCtrlWin, kVkF1));
  EXPECT_EQ(held[3], std::make_pair(kCtrlWin, kVkF2));
  editor.Hide();
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF1));
  EXPECT_TRUE(editor.Visible());
  EXPECT_TRUE(sim::ShellCalls().empty());
  // Each combination runs its own entry.
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, kVkF5));
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "c:\\x.exe");
}

TEST_F(TrayFormTest, ResumeRegistersTheAppliedListNotTheOneOnScreen) {
  // While paused: a hotkey changed on screen, and a list read again from a file another
  // program rewrote. Neither was applied, so resuming brings back what ran before.
  tray.bntStop.Click();
  tray.bnt_Edit.Click();
  editor.WorkList.UserSelect(0);
  editor.cbShift.UserClick();  // Ctrl+Win+F5 becomes Shift+Ctrl+Win+F5
  ASSERT_EQ(editor.WorkList.Cell(0, kColHotKey), "Shift+Ctrl+Win+F5");
  tray.bntStop.Click();
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin | plat::kModShift, kVkF5));

  sim::AnswerNextBox(plat::kIdNo);
  ASSERT_TRUE(editor.Close());
  WriteProgramFile("MyJob.ini", "");
  tray.bnt_Edit.Click();
  ASSERT_EQ(editor.WorkList.RowCount(), 0);
  tray.bntStop.Click();
  tray.bntStop.Click();
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, kVkF5));
}

TEST_F(TrayFormTest, EndingWhilePausedReleasesThePauseKeyToo) {
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, kVkF2));
  ASSERT_EQ(Held(), Only(kCtrlWin, kVkF2));
  tray.bnt_close.Click();
  EXPECT_TRUE(sim::QuitRequested());
  EXPECT_TRUE(sim::Registrations().empty());
}

TEST_F(TrayFormTest, EditItemShowsTheEditorAndKeepsChangesItAlreadyShows) {
  editor.Doc.SetModified(true);  // left over from an earlier showing whose changes were dropped
  editor.bnt_Apply.SetEnabled(true);
  tray.bnt_Edit.Click();
  EXPECT_TRUE(editor.Visible());
  EXPECT_FALSE(editor.Doc.Modified());
  EXPECT_FALSE(editor.bnt_Apply.Enabled());
  ASSERT_EQ(editor.WorkList.RowCount(), 3);

  EditDescription();
  const std::string edited = editor.WorkList.Cell(0, kColDescription);
  tray.bnt_Edit.Click();  // again while it is open: nothing of the change is lost
  EXPECT_TRUE(editor.Doc.Modified());
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), edited);

  // After an 적용, a line added in Notepad shows with the list, and 적용 offers to run it.
  editor.bnt_Apply.UserClick();
  sim::AnswerNextBox(plat::kIdNo);
  editor.Close();
  WriteProgramFile("MyJob.ini", ReadFileBytes(editor.Doc.Path()) + "새-P3-Ctrl+Win+N-웹사이트 이동-n.example-True-\r\n");
  tray.bnt_Edit.Click();
  ASSERT_EQ(editor.WorkList.RowCount(), 4);
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  editor.bnt_Apply.UserClick();
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkN));
}

TEST_F(TrayFormTest, OtherItemsOpenTheHomePageTheAboutBoxAndListWindows) {
  tray.bnt_homepage.Click();
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "iexplore");
  EXPECT_EQ(sim::ShellCalls()[0].parameters, kHomePage);
  EXPECT_EQ(sim::ShellCalls()[0].owner, 0u);
  EXPECT_EQ(sim::ShellCalls()[0].showCmd, 1);

  tray.bnt_info.Click();
  ASSERT_EQ(sim::ModalForms().size(), 1u);
  EXPECT_EQ(sim::ModalForms()[0].owner, 0u);

  tray.bnt_listview.Click();
  tray.bnt_listview.Click();
  ASSERT_EQ(OpenKeyLists().size(), 2u);
  EXPECT_EQ(OpenKeyLists()[0]->WorkList.RowCount(), 3);
  EXPECT_EQ(OpenKeyLists()[1]->WorkList.RowCount(), 3);
}

TEST_F(TrayFormTest, EndingAsksFirstWhenTheEditorHoldsChanges) {
  tray.bnt_Edit.Click();
  EditDescription();
  sim::AnswerNextBox(plat::kIdCancel);
  tray.bnt_close.Click();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?");
  EXPECT_FALSE(sim::QuitRequested());
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, 0x74));  // still running

  sim::AnswerNextBox(plat::kIdYes);
  tray.bnt_close.Click();
  EXPECT_TRUE(sim::QuitRequested());
  EXPECT_TRUE(sim::Registrations().empty());
  EXPECT_EQ(ReadFileBytes(DefaultWorkFile()).substr(0, 6), "웹!-P0");
}

TEST_F(TrayFormTest, EndingWithoutChangesAsksNothing) {
  tray.bnt_Edit.Click();
  editor.Close();
  tray.bnt_close.Click();
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_TRUE(sim::QuitRequested());
  EXPECT_TRUE(sim::Registrations().empty());
  EXPECT_FALSE(sim::PressHotKey(kCtrlAlt, kVkN));
}

// Another program holds Ctrl+Win+F2 before Keyvane starts.
struct WithPauseKeyTaken : WithWorkFile {
  WithPauseKeyTaken() { sim::TakeCombination(kCtrlWin, kVkF2); }
};

class PauseKeyTakenTest : public WithPauseKeyTaken {
 protected:
  Tfrm_Tray tray;
  Tfrm_main editor;
  void SetUp() override { tray.Attach(editor); }
  void EditDescription() {
    editor.WorkList.UserSelect(0);
    editor.txt_subject.UserType("!");
  }
};

TEST_F(PauseKeyTakenTest, KeyvaneStartsAsUsualAndApplyNamesThePauseKeyOnce) {
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_FALSE(editor.PauseKeyHeld());
  const std::vector<std::pair<unsigned, unsigned>> running{{kCtrlWin, kVkF5}, {kCtrlAlt, kVkF5}, {kCtrlWin, kVkF1}};
  EXPECT_EQ(Held(), running);
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF1));
  EXPECT_TRUE(editor.Visible());
  EXPECT_EQ(editor.WorkList.RowImage(0), Tfrm_main::kImageEntry);

  // The menu still pauses and resumes.
  tray.bntStop.Click();
  EXPECT_TRUE(sim::Registrations().empty());
  EXPECT_EQ(tray.bntStop.Caption(), kResumeCaption);
  tray.bntStop.Click();
  EXPECT_EQ(Held(), running);

  // Apply asks for it again and names it, once, among the hotkeys it could not register.
  EditDescription();
  editor.bnt_Apply.UserClick();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  const std::string text = sim::Boxes()[0].text;
  EXPECT_NE(text.find("등록하지 못했습니다:\r\nCtrl+Win+F2  (잠시 중지/시작)"), std::string::npos) << text;
  EXPECT_EQ(text.find("Ctrl+Win+F2"), text.rfind("Ctrl+Win+F2"));
  EXPECT_EQ(text.find("Ctrl+Win+F5"), std::string::npos);
  EXPECT_EQ(Held(), running);
}

}  // namespace

namespace {

TEST_F(TrayFormTest, TheIconIsInTheTrayAndAnswersTheMouse) {
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  const plat::NotifyIconData icon = sim::TrayIcons()[0];
  EXPECT_EQ(std::string(icon.szTip), "키베인");
  EXPECT_EQ(icon.uCallbackMessage, TTrayIcon::kTrayCallback);
  EXPECT_EQ(sim::IconImage(icon.icon), TrayIconImage());

  // A double click runs the default item: the editor shows.
  sim::SendMessage(tray.TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0203);
  sim::SendMessage(tray.TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0202);
  EXPECT_TRUE(editor.Visible());

  // A right click opens the menu; the item chosen runs.
  sim::ChooseInNextPopup("단축 리스트 보기");
  sim::SendMessage(tray.TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0204);
  sim::SendMessage(tray.TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0205);
  ASSERT_EQ(sim::Popups().size(), 1u);
  EXPECT_EQ(sim::Popups()[0].items[0], "단축 편집 (Ctrl+Win+F1) (default)");
  EXPECT_EQ(OpenKeyLists().size(), 1u);
}

TEST_F(TrayFormTest, TheIconComesBackWithTheTaskbarAndLeavesWithTheProgram) {
  sim::RestartTaskbar();
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
  {
    Tfrm_Tray second;  // as at the end of the program: destroyed with its window
    EXPECT_EQ(sim::TrayIcons().size(), 2u);
  }
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
}

}  // namespace

// A list read only in part at start-up: no box then (Keyvane may start with Windows), but
// the icon's hint says it until the editor has been shown and said where reading stopped.
TEST_F(WithWorkFile, TheHintSaysAListWasReadOnlyInPartUntilTheEditorHasBeenShown) {
  WriteProgramFile("MyJob.ini",
                   "웹-P0-Ctrl+Win+F5-웹사이트 이동-a.example-True-\r\n"
                   "고친 줄\r\n");
  Tfrm_Tray tray;
  Tfrm_main editor;
  tray.Attach(editor);
  const auto tip = [] {
    const auto icons = sim::TrayIcons();
    return icons.empty() ? std::string("<no icon>") : std::string(icons[0].szTip);
  };
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_EQ(tip(), "키베인 (목록을 다 읽지 못함)");
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5)) << "what was read runs";

  tray.bnt_Edit.Click();
  EXPECT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(tip(), "키베인");
  editor.Hide();
  tray.bnt_Edit.Click();
  EXPECT_EQ(tip(), "키베인");
  EXPECT_EQ(sim::Boxes().size(), 1u);
}

TEST_F(WithWorkFile, AWholeListLeavesTheHintPlain) {
  Tfrm_Tray tray;
  Tfrm_main editor;
  tray.Attach(editor);
  EXPECT_EQ(std::string(sim::TrayIcons().at(0).szTip), "키베인");
}
