// Ending the program while actions wait: every wait ends at once, nothing more runs, and the
// icon and the hotkeys go as soon as the ending starts. The end of the Windows session asks
// the editor's question like every other way of ending.
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/msgloop.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_tray.h"
#include "tests/unit/test_support.h"
#include "tray/frmTray.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kF5 = 0x74, kF6 = 0x75, kF7 = 0x76;

std::string Line(const std::string& id, const std::string& hotkey, const std::string& kind, const std::string& info) {
  return "d-" + id + "-" + hotkey + "-" + kind + "-" + info + "-True-\r\n";
}

std::vector<std::string> Launched() {
  std::vector<std::string> files;
  for (const sim::ShellCall& c : sim::ShellCalls()) files.push_back(c.file);
  return files;
}

// The work file exists before the windows are made.
struct WithList : SimTest {
  WithList() {
    WriteProgramFile("MyJob.ini", Line("P1", "null", kKindWebSite, "a") + Line("P2", "null", kKindWebSite, "b") +
                                      Line("P3", "Ctrl+Win+F5", kKindMultiJob, "P1;Delay=50;P2") +
                                      Line("P4", "Ctrl+Win+F6", kKindKeySequence, "x;VK_TAB;y;z") +
                                      Line("P5", "Ctrl+Win+F7", kKindWebSite, "c"));
  }
};

class EndingTest : public WithList {
 protected:
  void SetUp() override { tray.Attach(editor); }

  // The user right-clicks the icon and picks "끝내기".
  void ChooseEnd() {
    sim::ChooseInNextPopup("끝내기");
    sim::SendMessage(tray.TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0204);
    sim::SendMessage(tray.TrayIcon.Handle(), TTrayIcon::kTrayCallback, 0, 0x0205);
  }

  // The editor on screen with its first description changed.
  void EditDescription() {
    tray.bnt_Edit.Click();
    editor.WorkList.UserSelect(0);
    editor.txt_subject.UserType("!");
    ASSERT_TRUE(editor.Doc.Modified());
  }
  std::string WorkFile() { return ReadFileBytes(DefaultWorkFile()); }
  bool Running() { return !sim::TrayIcons().empty() && sim::PressHotKey(kCtrlWin, kF7); }

  Tfrm_Tray tray;
  Tfrm_main editor;
};

const char* const kQuestion = "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?";

TEST_F(EndingTest, EndingDuringAMultiJobsWaitEndsTheWaitAndRunsNothingMore) {
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  sim::Registration site{};
  for (const sim::Registration& r : sim::Registrations())
    if (r.vk == kF7) site = r;
  ASSERT_EQ(site.modifiers, kCtrlWin);
  bool iconGoneAtOnce = false, hotkeysGoneAtOnce = false;
  sim::At(0, [] { sim::PressHotKey(kCtrlWin, kF5); });
  sim::At(3000, [&] {
    ChooseEnd();
    iconGoneAtOnce = sim::TrayIcons().empty();
    hotkeysGoneAtOnce = sim::Registrations().empty();
    // A press already queued when the hotkeys went arrives during the ending.
    sim::At(3000, [&] {
      sim::SendMessage(site.window, plat::kWmHotKey, static_cast<std::uintptr_t>(site.id),
                       static_cast<std::intptr_t>(site.modifiers | (site.vk << 16)));
    });
  });
  plat::RunMessageLoop();
  EXPECT_TRUE(iconGoneAtOnce);
  EXPECT_TRUE(hotkeysGoneAtOnce);
  EXPECT_EQ(Launched(), std::vector<std::string>{"a"});
  EXPECT_EQ(sim::Now(), 3000u);  // not 50 s later
}

TEST_F(EndingTest, EndingDuringAKeySequenceTypesNothingMore) {
  sim::At(0, [] { sim::PressHotKey(kCtrlWin, kF6); });
  std::size_t keysAtEnd = 0;
  // "x" goes on the clipboard at 0 ms and is pasted at 200, Tab at 400, "y" goes on the
  // clipboard at 600 and would be pasted at 800.
  sim::At(700, [&] {
    keysAtEnd = sim::KeyEvents().size();
    ChooseEnd();
  });
  plat::RunMessageLoop();
  ASSERT_GT(keysAtEnd, 0u);
  EXPECT_EQ(sim::KeyEvents().size(), keysAtEnd);
  // "y" was the last text; the clipboard, empty before, went back at once.
  const auto changes = sim::ClipboardChanges();
  ASSERT_GE(changes.size(), 2u);
  EXPECT_EQ(changes[changes.size() - 2].text, "y");
  EXPECT_TRUE(changes.back().formats.empty());
  EXPECT_EQ(changes.back().tick, 700u);
  EXPECT_EQ(sim::Now(), 700u);
}

// As on Windows, messages already waiting are still handled after the quit; only the loop
// that waits for it ends.
TEST_F(EndingTest, MessagesWaitingAtTheQuitAreStillHandled) {
  bool handled = false;
  sim::At(100, [] { plat::QuitMessageLoop(0); });
  sim::At(100, [&] { handled = true; });
  sim::At(200, [] { FAIL() << "the loop ran past its quit"; });
  plat::RunMessageLoop();
  EXPECT_TRUE(handled);
  EXPECT_FALSE(plat::QuitPending());  // the loop took it
}

TEST_F(EndingTest, SessionEndWithUnappliedChangesAsksTheEditorsQuestion) {
  const std::string saved = WorkFile();
  EditDescription();

  // Cancel keeps the session, with a reason for the shut-down screen, and Keyvane as it was.
  sim::AnswerNextBox(plat::kIdCancel);
  EXPECT_FALSE(sim::QueryEndSession());
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, kQuestion);
  EXPECT_EQ(sim::Boxes()[0].owner, editor.Handle());
  EXPECT_NE(sim::ShutdownBlockReason(tray.Handle()), "");
  sim::EndSession(false);
  EXPECT_EQ(sim::ShutdownBlockReason(tray.Handle()), "");
  EXPECT_FALSE(plat::QuitPending());
  EXPECT_TRUE(Running());
  EXPECT_TRUE(editor.Doc.Modified());

  // No lets the session end and drops the changes.
  sim::AnswerNextBox(plat::kIdNo);
  EXPECT_TRUE(sim::QueryEndSession());
  EXPECT_EQ(sim::Boxes().size(), 2u);
  EXPECT_EQ(sim::ShutdownBlockReason(tray.Handle()), "");
  EXPECT_EQ(WorkFile(), saved);
  // The dropped edit is gone from the list too, also while the session goes on.
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "d");
  EXPECT_FALSE(editor.Doc.Modified());

  // Yes saves them and lets it end; the ending then ends Keyvane at once.
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("!?");
  sim::AnswerNextBox(plat::kIdYes);
  EXPECT_TRUE(sim::QueryEndSession());
  EXPECT_EQ(sim::Boxes().size(), 3u);
  EXPECT_EQ(WorkFile().substr(0, 4), "d!?-");
  sim::EndSession(true);
  EXPECT_TRUE(plat::QuitPending());
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_TRUE(sim::Registrations().empty());
}

TEST_F(EndingTest, SessionEndWithoutChangesAsksNothing) {
  tray.bnt_Edit.Click();
  EXPECT_TRUE(sim::QueryEndSession());
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_TRUE(Running());  // asking alone ends nothing
  sim::EndSession(true);
  EXPECT_TRUE(plat::QuitPending());
  EXPECT_TRUE(sim::TrayIcons().empty());
}

TEST_F(EndingTest, SessionEndWhilePausedReleasesThePauseKeyToo) {
  tray.bntStop.Click();
  ASSERT_EQ(sim::Registrations().size(), 1u);  // Ctrl+Win+F2, to resume with
  EXPECT_TRUE(sim::QueryEndSession());
  sim::EndSession(true);
  EXPECT_TRUE(plat::QuitPending());
  EXPECT_TRUE(sim::Registrations().empty());
}

TEST_F(EndingTest, SessionEndWhileADialogIsOpenAsksOverIt) {
  EditDescription();
  bool mayEnd = true;
  sim::OnNextModal([&](plat::Form&) {
    sim::AnswerNextBox(plat::kIdCancel);
    mayEnd = sim::QueryEndSession();
  });
  editor.E1Click();  // the options window
  EXPECT_FALSE(mayEnd);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, kQuestion);
  EXPECT_TRUE(Running());

  sim::OnNextModal([&](plat::Form&) {
    sim::AnswerNextBox(plat::kIdYes);
    mayEnd = sim::QueryEndSession();
    sim::EndSession(mayEnd);
  });
  editor.E1Click();
  EXPECT_TRUE(mayEnd);
  EXPECT_EQ(WorkFile().substr(0, 3), "d!-");
  EXPECT_TRUE(plat::QuitPending());
  EXPECT_TRUE(sim::TrayIcons().empty());
}

TEST_F(EndingTest, SessionEndDuringAMultiJobsWaitEndsAtOnce) {
  bool mayEnd = false;
  sim::At(0, [] { sim::PressHotKey(kCtrlWin, kF5); });
  sim::At(3000, [&] {
    mayEnd = sim::QueryEndSession();
    sim::EndSession(mayEnd);
  });
  plat::RunMessageLoop();
  EXPECT_TRUE(mayEnd);
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_EQ(Launched(), std::vector<std::string>{"a"});
  EXPECT_EQ(sim::Now(), 3000u);
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_TRUE(sim::Registrations().empty());
}

}  // namespace
