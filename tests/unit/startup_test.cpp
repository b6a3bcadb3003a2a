// Start-up: single instance, registration of the list, dispatch and the closing question.
#include <filesystem>

#include "core/ClassProcessUnique.h"
#include "core/Keyvane.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kVkF1 = 0x70, kVkF2 = 0x71, kVkF5 = 0x74, kVkF6 = 0x75, kVkF7 = 0x76;

std::string Line(const std::string& hotkey, const std::string& kind, const std::string& info,
                 const std::string& active = "True", const std::string& id = "P0") {
  return "d-" + id + "-" + hotkey + "-" + kind + "-" + info + "-" + active + "-\r\n";
}

}  // namespace

using SingleInstanceTest = SimTest;

TEST_F(SingleInstanceTest, EndsEveryOtherCopyButItself) {
  sim::SetCurrentProcess(20);
  sim::AddProcess("C:\\Apps\\KEYVANE.EXE", 30);   // older copy, listed after us
  sim::AddProcess("Keyvane.exe", 20);             // this process
  sim::AddProcess("C:\\Other\\keyvane.exe", 10);  // another copy elsewhere
  sim::AddProcess("Keyvane2.exe", 40);
  sim::AddProcess("keyvane.exe.bak", 50);
  sim::AddProcess("notepad.exe", 60);
  TProcessUnique().KillOtherCopies();
  EXPECT_TRUE(sim::ProcessRunning(20));
  EXPECT_FALSE(sim::ProcessRunning(30));
  EXPECT_FALSE(sim::ProcessRunning(10));
  EXPECT_TRUE(sim::ProcessRunning(40));
  EXPECT_TRUE(sim::ProcessRunning(50));
  ASSERT_EQ(sim::Terminations().size(), 2u);
  // Each end is waited for, within one budget of about three seconds.
  for (const auto& t : sim::Terminations()) {
    EXPECT_GT(t.waitMs, 0u);
    EXPECT_LE(t.waitMs, 3000u);
  }
}

TEST_F(SingleInstanceTest, RefusedCopyIsLeftAndOthersStillEnded) {
  sim::SetCurrentProcess(1);
  sim::AddProcess("keyvane.exe", 2);
  sim::AddProcess("keyvane.exe", 3);
  sim::DenyAccess(2);
  TProcessUnique().KillOtherCopies();
  EXPECT_TRUE(sim::ProcessRunning(2));
  EXPECT_FALSE(sim::ProcessRunning(3));
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(SingleInstanceTest, RecordsAndNames) {
  sim::AddProcess("C:\\Dir,x\\My,App.EXE", 7);
  sim::AddProcess("D:가나.exe", 8);
  std::vector<std::string> list{"kept"};
  TProcessUnique().ListProcesses(list);
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "my,app.exe,7", "가나.exe,8"}));
  sim::SetSnapshotAvailable(false);
  list.clear();
  TProcessUnique().ListProcesses(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(ProcessFileName("C:\\가나\\ABC.exe"), "abc.exe");
}

class StartTest : public SimTest {
 protected:
  std::string WriteList(const std::string& text) { return WriteProgramFile("MyJob.ini", text); }
};

TEST_F(StartTest, EmptyListRegistersOnlyTheEditorKeyAndThePauseKey) {
  Tfrm_main editor;
  ASSERT_EQ(editor.AMHK.HotKeys().Count(), 2);
  ASSERT_EQ(sim::Registrations().size(), 2u);
  EXPECT_EQ(sim::Registrations()[0].modifiers, kCtrlWin);
  EXPECT_EQ(sim::Registrations()[0].vk, kVkF1);
  EXPECT_EQ(sim::Registrations()[1].modifiers, kCtrlWin);
  EXPECT_EQ(sim::Registrations()[1].vk, kVkF2);
  EXPECT_FALSE(editor.Visible());
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF1));
  EXPECT_TRUE(editor.Visible());
  EXPECT_EQ(sim::ForegroundRaises(editor.Handle()), 1);
}

TEST_F(StartTest, EveryRowGetsItsItemAndOnlyActiveOnesRegister) {
  WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a") + Line("Ctrl+Win+F6", kKindWebSite, "b", "False", "P1") +
            Line("Ctrl+Win+F7", kKindWebSite, "c", "True", "P2") +
            Line("Ctrl+Win+Bogus", kKindWebSite, "d", "True", "P3") +
            Line("Ctrl+Win+", kKindWebSite, "e", "True", "P4") + Line("Ctrl+Win+f5", kKindWebSite, "f", "True", "P5") +
            Line("Alt+A", kKindWebSite, "g", "true", "P6"));
  Tfrm_main editor;
  ASSERT_EQ(editor.AMHK.HotKeys().Count(), 9);
  const auto& keys = editor.AMHK.HotKeys();
  EXPECT_TRUE(keys.Item(0).Registered());
  EXPECT_FALSE(keys.Item(1).Enabled());
  EXPECT_TRUE(keys.Item(2).Registered());
  EXPECT_EQ(keys.Item(3).VirtKey(), vkNone);
  EXPECT_FALSE(keys.Item(3).Registered());
  EXPECT_FALSE(keys.Item(4).Registered());
  EXPECT_EQ(keys.Item(5).VirtKey(), 80);    // looked up without regard to case...
  EXPECT_FALSE(keys.Item(5).Registered());  // ...and refused as a duplicate of row 0
  EXPECT_FALSE(keys.Item(6).Enabled());     // only "True" is active
  EXPECT_TRUE(keys.Item(7).Registered());
  EXPECT_EQ(keys.Item(7).DisplayName(), "ControlWin_F1");
  EXPECT_TRUE(keys.Item(8).Registered());
  EXPECT_EQ(keys.Item(8).DisplayName(), "ControlWin_F2");

  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF6));
  sim::PressHotKey(kCtrlWin, kVkF7);
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "c");
}

TEST_F(StartTest, HotKeyRunsTheEntryItWasRegisteredFor) {
  WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a") + Line("Ctrl+Win+F6", kKindWebSite, "b", "True", "P1") +
            Line("Ctrl+Win+F7", kKindWebSite, "c", "True", "P2"));
  Tfrm_main editor;
  auto launched = [] {
    std::vector<std::string> files;
    for (const sim::ShellCall& call : sim::ShellCalls()) files.push_back(call.file);
    return files;
  };
  // Rows deleted, added and moved in the editor, not applied.
  editor.WorkList.DeleteRow(0);
  sim::PressHotKey(kCtrlWin, kVkF5);  // its entry is gone: nothing
  sim::PressHotKey(kCtrlWin, kVkF6);
  sim::PressHotKey(kCtrlWin, kVkF7);  // its position now equals the row count
  EXPECT_EQ(launched(), (std::vector<std::string>{"b", "c"}));
  EXPECT_FALSE(editor.Visible());

  AddEntry({"", "P0", "", kKindWebSite, "moved", "True"}, editor.WorkList);
  AddEntry({"", "P9", "", kKindWebSite, "new", "True"}, editor.WorkList);
  editor.WorkList.SetCell(0, kColInfo, "b2");  // the list as it stands is what runs
  sim::PressHotKey(kCtrlWin, kVkF5);
  sim::PressHotKey(kCtrlWin, kVkF6);
  EXPECT_EQ(launched(), (std::vector<std::string>{"b", "c", "moved", "b2"}));

  editor.WorkList.Clear();
  sim::PressHotKey(kCtrlWin, kVkF1);  // the reserved key shows the editor whatever the list holds
  EXPECT_TRUE(editor.Visible());
  EXPECT_EQ(launched().size(), 4u);
}

TEST_F(StartTest, DuplicateIdsEachRunTheirOwnRow) {
  WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a") + Line("Ctrl+Win+F6", kKindWebSite, "b"));
  Tfrm_main editor;
  sim::PressHotKey(kCtrlWin, kVkF6);
  sim::PressHotKey(kCtrlWin, kVkF5);
  ASSERT_EQ(sim::ShellCalls().size(), 2u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "b");
  EXPECT_EQ(sim::ShellCalls()[1].file, "a");
}

TEST_F(StartTest, ListWithMoreRowsThanHotKeyIdsStillStarts) {
  std::string text;
  for (int i = 0; i <= kMaxHotKeyId; ++i)
    text += Line("Ctrl+Win+F5", kKindWebSite, "a", "False", "P" + std::to_string(i));
  WriteList(text);
  Tfrm_main editor;  // every id is taken by the rows: the editor's and the pause key's items get none
  EXPECT_EQ(editor.AMHK.HotKeys().Count(), kMaxHotKeyId + 3);
  EXPECT_EQ(editor.AMHK.HotKeys().Item(kMaxHotKeyId + 1).ID(), kNoHotKeyId);
  EXPECT_EQ(editor.AMHK.HotKeys().Item(kMaxHotKeyId + 2).ID(), kNoHotKeyId);
  EXPECT_TRUE(sim::Registrations().empty());
}

TEST_F(StartTest, InactiveRowActionStillRunsWhenItsIndexArrives) {
  WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a", "False"));
  Tfrm_main editor;
  sim::SendMessage(editor.Handle(), plat::kWmHotKey, static_cast<std::uintptr_t>(editor.AMHK.HotKeys().Item(0).ID()),
                   0);
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
}

TEST_F(StartTest, ShowingTheEditorReloadsTheLastWorkFile) {
  const std::string path = WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a"));
  Tfrm_main editor;
  EXPECT_EQ(editor.Doc.Path(), path);
  editor.WorkList.SetCell(0, kColInfo, "edited");
  editor.SetModified();
  sim::PressHotKey(kCtrlWin, kVkF1);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "a");
  // Shown by its key as from the tray: the list read again is the one that runs.
  EXPECT_FALSE(editor.Doc.Modified());
  EXPECT_FALSE(editor.bnt_Apply.Enabled());
  EXPECT_EQ(editor.cmVK.Items().size(), 103u);
}

TEST_F(StartTest, ClosingWithChangesAsks) {
  const std::string path = WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a"));
  Tfrm_main editor;
  editor.Show();
  EXPECT_TRUE(editor.Close());  // unchanged: no question
  EXPECT_TRUE(sim::Boxes().empty());

  editor.Show();
  editor.WorkList.SetCell(0, kColHotKey, "Ctrl+Win+F6");
  editor.SetModified();
  sim::AnswerNextBox(plat::kIdCancel);
  EXPECT_FALSE(editor.Close());
  EXPECT_TRUE(editor.Visible());
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, "현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?");
  EXPECT_EQ(sim::Boxes()[0].caption, "알림말");
  EXPECT_EQ(sim::Boxes()[0].flags, 0x23u);

  sim::AnswerNextBox(plat::kIdNo);
  EXPECT_TRUE(editor.Close());
  EXPECT_EQ(ReadFileBytes(path), Line("Ctrl+Win+F5", kKindWebSite, "a"));
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));

  EXPECT_FALSE(editor.Doc.Modified());  // 아니요 left nothing to apply
  editor.Show();
  editor.WorkList.SetCell(0, kColHotKey, "Ctrl+Win+F6");
  editor.SetModified();
  sim::AnswerNextBox(plat::kIdYes);
  int closesWhileAsking = 0;
  sim::OnBox([&](const sim::Box&) {
    // Another program closes the editor while the question is up: no second question.
    sim::SendMessage(editor.Handle(), plat::kWmClose, 0, 0);
    ++closesWhileAsking;
  });
  EXPECT_TRUE(editor.Close());
  sim::OnBox(nullptr);
  EXPECT_EQ(closesWhileAsking, 1);
  EXPECT_EQ(sim::Boxes().size(), 3u);
  for (const sim::Box& box : sim::Boxes()) EXPECT_EQ(box.owner, editor.Handle());
  EXPECT_EQ(ReadFileBytes(path), Line("Ctrl+Win+F6", kKindWebSite, "a"));
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "Etc", "LastWorkList_Path", ""), path);
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF6));
  EXPECT_FALSE(editor.Doc.Modified());
}

TEST_F(StartTest, YesWithoutWorkFileSavesToMyJob) {
  Tfrm_main editor;
  AddEntry({"", "P0", "Alt+A", kKindWebSite, "", "True"}, editor.WorkList);
  editor.SetModified();
  sim::AnswerNextBox(plat::kIdYes);
  EXPECT_TRUE(editor.Close());
  EXPECT_EQ(editor.Doc.Path(), plat::ProgramFolder() + "MyJob.ini");
  EXPECT_EQ(ReadFileBytes(editor.Doc.Path()), "null-P0-Alt+A-웹사이트 이동-null-True-\r\n");
}

TEST_F(StartTest, YesWithFailingSaveKeepsTheEditorOpen) {
  const std::string path = WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a"));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.SetCell(0, kColHotKey, "Ctrl+Win+F6");
  editor.SetModified();
  sim::LockFile(path);
  sim::AnswerNextBox(plat::kIdYes);
  EXPECT_FALSE(editor.Close());
  EXPECT_TRUE(editor.Visible());
  ASSERT_EQ(sim::Boxes().size(), 2u);
  EXPECT_EQ(sim::Boxes()[1].flags, plat::kMbOk | plat::kMbIconError);
  EXPECT_EQ(sim::Boxes()[1].owner, editor.Handle());  // the error is the editor's own box too
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));  // registrations untouched
}

TEST_F(StartTest, ProgramRunsUntilItsMainWindowCloses) {
  sim::SetCurrentProcess(5);
  sim::AddProcess("keyvane.exe", 4);
  sim::AddProcess("keyvane.exe", 5);
  WriteList(Line("Ctrl+Win+F5", kKindWebSite, "a"));
  bool ranInLoop = false;
  sim::At(100, [&] {
    ranInLoop = sim::PressHotKey(kCtrlWin, kVkF5);
    // The hidden main window first, the tray icon's window, then the editor; the picker's
    // window waits until it is shown.
    ASSERT_EQ(sim::Windows().size(), 3u);
  });
  sim::At(200, [] { sim::SendMessage(sim::Windows()[0], plat::kWmClose, 0, 0); });
  EXPECT_EQ(KeyvaneMain(), 0);
  EXPECT_TRUE(ranInLoop);
  EXPECT_TRUE(sim::QuitRequested());
  EXPECT_EQ(sim::Now(), 200u);
  EXPECT_FALSE(sim::ProcessRunning(4));
  EXPECT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellInitializations(), 1);
  EXPECT_EQ(sim::LaunchesBeforeShellInitialized(), 0);
  EXPECT_EQ(plat::GetRunValue(plat::RegRoot::LocalMachine, "Keyvane"), plat::ProgramPath());
  EXPECT_TRUE(sim::Registrations().empty());
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(StartTest, StartUpOffRemovesTheRunValue) {
  plat::SetRunValue(plat::RegRoot::LocalMachine, "Keyvane", "C:\\old\\Keyvane.exe");
  WriteProgramFile("Config.ini", "[Config]\r\nStartUp=0\r\n");
  KeyvaneMain();
  EXPECT_FALSE(plat::GetRunValue(plat::RegRoot::LocalMachine, "Keyvane"));
}

// The installer's switches: each does its one task and exits without a window.
class SwitchTest : public SimTest {
 protected:
  SwitchTest() {
    sim::SetCurrentProcess(5);
    sim::AddProcess("keyvane.exe", 4);
    sim::AddProcess("keyvane.exe", 5);
    sim::AddProcess("notepad.exe", 6);
  }
  void ExpectNoWindowAndNoKey() {
    EXPECT_TRUE(sim::Windows().empty());
    EXPECT_TRUE(sim::Registrations().empty());
  }
};

TEST_F(SwitchTest, UninstallEndsTheCopyAndTakesBothRunValuesButLeavesTheFiles) {
  plat::SetRunValue(plat::RegRoot::LocalMachine, "Keyvane", plat::ProgramPath());
  plat::SetRunValue(plat::RegRoot::CurrentUser, "Keyvane", plat::ProgramPath());
  const std::string config = WriteProgramFile("Config.ini", "[Config]\r\nStartUp=1\r\n");
  const std::string list = WriteProgramFile("MyJob.ini", Line("Ctrl+Win+F5", kKindWebSite, "a"));
  EXPECT_EQ(KeyvaneMain({"-UnInstall"}), 0);
  EXPECT_FALSE(sim::ProcessRunning(4));
  EXPECT_FALSE(plat::GetRunValue(plat::RegRoot::LocalMachine, "Keyvane"));
  EXPECT_FALSE(plat::GetRunValue(plat::RegRoot::CurrentUser, "Keyvane"));
  EXPECT_EQ(ReadFileBytes(config), "[Config]\r\nStartUp=1\r\n");
  EXPECT_EQ(ReadFileBytes(list), Line("Ctrl+Win+F5", kKindWebSite, "a"));
  ExpectNoWindowAndNoKey();
}

TEST_F(SwitchTest, StartUpSetsWhatTheOptionsShowForAUserWithoutAdministratorRights) {
  const std::string folder = plat::ProgramFolder() + "Kim Ji/";
  std::filesystem::create_directory(folder);
  sim::SetProgramFolder(folder);
  sim::SetRootWritable(plat::RegRoot::LocalMachine, false);
  EXPECT_EQ(KeyvaneMain({"/startup=1"}), 0);
  EXPECT_EQ(plat::GetRunValue(plat::RegRoot::CurrentUser, "Keyvane"), "\"" + folder + "Keyvane.exe\"");
  EXPECT_EQ(ReadStartUp(), 1);
  EXPECT_EQ(KeyvaneMain({"/startup=0"}), 0);
  EXPECT_FALSE(plat::GetRunValue(plat::RegRoot::CurrentUser, "Keyvane"));
  EXPECT_EQ(ReadStartUp(), 0);
  // Without a value it follows Config.ini, which it leaves as it is.
  const std::string config = plat::ProgramFolder() + "Config.ini";
  const std::string kept = ReadFileBytes(config);
  EXPECT_EQ(KeyvaneMain({"/startup"}), 0);
  EXPECT_FALSE(plat::GetRunValue(plat::RegRoot::CurrentUser, "Keyvane"));
  WriteProgramFile("Config.ini", "[Config]\r\nStartUp=1\r\n");
  EXPECT_EQ(KeyvaneMain({"/startup"}), 0);
  EXPECT_TRUE(plat::GetRunValue(plat::RegRoot::CurrentUser, "Keyvane"));
  EXPECT_EQ(ReadFileBytes(config), "[Config]\r\nStartUp=1\r\n");
  EXPECT_NE(kept, "<missing>");
  EXPECT_TRUE(sim::ProcessRunning(4));  // the running copy is not ended for this
  ExpectNoWindowAndNoKey();
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(SwitchTest, AnythingElseIsNamedInABoxAndDoesNothing) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/uninstalled"}, {"uninstall"}, {"/startup=2"}, {"/uninstall", "x.ini"}}) {
    sim::ForgetRecords();
    EXPECT_EQ(KeyvaneMain(args), 1);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_NE(sim::Boxes()[0].text.find(args.back()), std::string::npos) << args.back();
  }
  EXPECT_TRUE(sim::ProcessRunning(4));
  EXPECT_FALSE(plat::GetRunValue(plat::RegRoot::LocalMachine, "Keyvane"));
  ExpectNoWindowAndNoKey();
}
