// The editor window: editing the selected entry in place, New, Delete, Apply and the
// side buttons, menus and marks of the list.
#include <string>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/profile.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kVkF5 = 0x74, kVkF6 = 0x75;
const char* const kRefusal = "이미 등록된 단축키 입니다. 다른 단축키를 선택해 주세요";

std::string Line(const std::string& description, const std::string& id, const std::string& hotkey,
                 const std::string& kind, const std::string& info, const std::string& active = "True") {
  std::string line;
  for (const std::string& field : {description, id, hotkey, kind, info, active})
    line += (field.empty() ? "null" : field) + "-";
  return line + "\r\n";
}

class EditorTest : public SimTest {
 protected:
  std::string WriteList(const std::string& text) { return WriteProgramFile("MyJob.ini", text); }
  // The editor with the Apply button as after the tray shows it: nothing changed yet.
  void Settle(Tfrm_main& editor) {
    editor.Doc.SetModified(false);
    editor.bnt_Apply.SetEnabled(false);
  }
  int KeyIndex(const Tfrm_main& editor, const std::string& name) {
    const auto& items = editor.cmVK.Items();
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i] == name) return static_cast<int>(i);
    return -1;
  }
  int RefusalBoxes() {
    int n = 0;
    for (const sim::Box& box : sim::Boxes()) n += box.text == kRefusal;
    return n;
  }
};

// ---------------------------------------------------------------- selection

TEST_F(EditorTest, SelectingEntriesShowsThemAndChangesNothing) {
  WriteList(Line("web", "P0", "Ctrl+Win+F5", kKindWebSite, "aㅡb.com") +
            Line("run", "P1", "Shift+Alt+F6", kKindRunProgram, "c:\\x.exe", "False") +
            Line("off", "P2", "F7", kKindLogoff, "null"));
  Tfrm_main editor;
  editor.Show();
  Settle(editor);
  const auto row0 = editor.WorkList.Row(0), row1 = editor.WorkList.Row(1), row2 = editor.WorkList.Row(2);

  editor.WorkList.UserSelect(0);
  EXPECT_EQ(editor.txt_subject.Text(), "web");
  EXPECT_TRUE(editor.cbControl.Checked());
  EXPECT_TRUE(editor.cbWin.Checked());
  EXPECT_FALSE(editor.cbShift.Checked());
  EXPECT_EQ(editor.cmVK.Text(), "F5");
  EXPECT_TRUE(editor.Radio_10.Checked());
  EXPECT_TRUE(editor.Radio_10.GetFont().bold);
  EXPECT_EQ(editor.txt_Urlselect.Text(), "aㅡb.com");
  EXPECT_TRUE(editor.CheckActive.Checked());

  editor.WorkList.UserSelect(1);
  EXPECT_EQ(editor.txt_subject.Text(), "run");
  EXPECT_FALSE(editor.cbControl.Checked());
  EXPECT_TRUE(editor.cbShift.Checked());
  EXPECT_TRUE(editor.cbAlt.Checked());
  EXPECT_TRUE(editor.Radio_8.Checked());
  EXPECT_FALSE(editor.Radio_10.GetFont().bold);
  EXPECT_EQ(editor.txt_Urlselect.Text(), "");
  EXPECT_EQ(editor.txt_ExcuteFilename.Text(), "c:\\x.exe");
  EXPECT_FALSE(editor.CheckActive.Checked());

  // A bare key meets its own row's text: selecting never warns.
  editor.WorkList.UserSelect(2);
  EXPECT_EQ(editor.cmVK.Text(), "F7");
  EXPECT_TRUE(sim::Boxes().empty());

  EXPECT_EQ(editor.WorkList.Row(0), row0);
  EXPECT_EQ(editor.WorkList.Row(1), row1);
  EXPECT_EQ(editor.WorkList.Row(2), row2);
  EXPECT_FALSE(editor.Doc.Modified());
  EXPECT_FALSE(editor.bnt_Apply.Enabled());

  // Refilled while the fields hold row 2: selecting row 0 shows it unchanged.
  editor.Hide();
  editor.Show();
  EXPECT_EQ(editor.txt_subject.Text(), "off");
  editor.WorkList.UserSelect(0);
  EXPECT_EQ(editor.WorkList.Row(0), row0);
  EXPECT_EQ(editor.txt_subject.Text(), "web");
}

TEST_F(EditorTest, SelectingNeverRewritesWhatTheFieldsCannotHold) {
  // Two rows share a combination, one kind is unknown, one key name is not in the table.
  WriteList(Line("a", "P0", "Ctrl+Win+F5", kKindWebSite, "x") + Line("b", "P1", "Ctrl+Win+F5", "옛 종류", "y") +
            Line("c", "P2", "Alt+Nokey", kKindBuiltin, "z"));
  Tfrm_main editor;
  editor.Show();
  const auto before0 = editor.WorkList.Row(0), before1 = editor.WorkList.Row(1), before2 = editor.WorkList.Row(2);
  editor.WorkList.UserSelect(2);  // txt_Action keeps "z" through the next clearing
  editor.WorkList.UserSelect(1);
  editor.WorkList.UserSelect(0);
  EXPECT_EQ(editor.WorkList.Row(0), before0);
  EXPECT_EQ(editor.WorkList.Row(1), before1);
  EXPECT_EQ(editor.WorkList.Row(2), before2);
  EXPECT_EQ(RefusalBoxes(), 0);
}

TEST_F(EditorTest, LosingTheSelectionEmptiesTheFieldsWithoutWriting) {
  WriteList(Line("a", "P0", "Ctrl+F5", kKindRunProgram, "p") + Line("b", "P1", "", kKindBuiltin, "act"));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(1);
  editor.WorkList.UserSelect(0);
  const auto row0 = editor.WorkList.Row(0);
  editor.WorkList.UserSelect(-1);
  EXPECT_EQ(editor.WorkList.Row(0), row0);
  EXPECT_EQ(editor.txt_subject.Text(), "");
  EXPECT_FALSE(editor.cbControl.Checked());
  EXPECT_EQ(editor.cmVK.ItemIndex(), -1);
  EXPECT_EQ(editor.txt_ExcuteFilename.Text(), "");
  EXPECT_TRUE(editor.Radio_8.Checked());  // the kind buttons stay as they were
  // With nothing selected the fields can be edited and write nothing.
  editor.txt_subject.UserType("zz");
  editor.cbAlt.UserClick();
  EXPECT_EQ(editor.WorkList.Row(0), row0);
}

// ---------------------------------------------------------------- new and delete

TEST_F(EditorTest, NewAndDelete) {
  Tfrm_main editor;
  editor.Show();
  Settle(editor);
  editor.bntNew.UserClick();
  EXPECT_TRUE(editor.Doc.Modified());
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  editor.bntNew.UserClick();
  ASSERT_EQ(editor.WorkList.RowCount(), 2);
  EXPECT_EQ(editor.WorkList.Cell(0, kColId), "P0");
  EXPECT_EQ(editor.WorkList.Cell(1, kColId), "P1");
  EXPECT_EQ(editor.WorkList.Selected(), 1);
  EXPECT_EQ(editor.WorkList.ScrolledTo(), 1);
  EXPECT_EQ(editor.WorkList.Row(1), (std::vector<std::string>{"", "P1", "", kKindWebSite, "", "True"}));
  EXPECT_EQ(editor.txt_subject.Text(), "");
  EXPECT_EQ(editor.cmVK.ItemIndex(), -1);
  EXPECT_TRUE(editor.Radio_10.Checked());
  EXPECT_TRUE(editor.CheckActive.Checked());

  editor.WorkList.UserSelect(0);
  int vk = plat::kVkDelete;
  editor.WorkList.UserKeyDown(vk);
  ASSERT_EQ(editor.WorkList.RowCount(), 1);
  EXPECT_EQ(editor.WorkList.Selected(), -1);
  editor.PopupMenu.Find("단축키 등록")->Click();
  EXPECT_EQ(editor.WorkList.Cell(1, kColId), "P0");

  // Delete with nothing selected marks the list and removes nothing; other keys do nothing.
  editor.WorkList.UserSelect(-1);
  Settle(editor);
  editor.MainMenu().Find("현재 항목 삭제(&D)")->Click();
  EXPECT_EQ(editor.WorkList.RowCount(), 2);
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  editor.WorkList.UserSelect(0);
  vk = plat::kVkBack;
  editor.WorkList.UserKeyDown(vk);
  EXPECT_EQ(editor.WorkList.RowCount(), 2);
}

// ---------------------------------------------------------------- hotkey fields

TEST_F(EditorTest, HotKeyFieldsBuildTheText) {
  WriteList(Line("other", "P0", "Alt+F6", kKindWebSite, "") + Line("me", "P1", "F7", kKindWebSite, ""));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(1);
  Settle(editor);
  ASSERT_EQ(editor.WorkList.RowCount(), 2);
  editor.cmVK.UserPick(KeyIndex(editor, "F7"));  // its own key again: no warning
  EXPECT_EQ(RefusalBoxes(), 0);
  EXPECT_TRUE(editor.bnt_Apply.Enabled());

  editor.cbControl.UserClick();
  editor.cbWin.UserClick();
  editor.cmVK.UserPick(KeyIndex(editor, "F5"));
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+Win+F5");
  editor.cmVK.SetItemIndex(-1);
  editor.cbShift.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Shift+Ctrl+Win+");

  // Another entry's combination and the reserved ones are refused; the column stays.
  editor.ClearEditFields();
  editor.WorkList.SetCell(1, kColHotKey, "F7");
  editor.cbAlt.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Alt+");
  editor.cmVK.UserPick(KeyIndex(editor, "F6"));
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Alt+");
  ASSERT_EQ(RefusalBoxes(), 1);
  EXPECT_EQ(sim::Boxes().back().caption, "알림말");
  EXPECT_EQ(sim::Boxes().back().flags, plat::kMbOk | plat::kMbIconWarning);
  EXPECT_EQ(editor.cmVK.Text(), "");  // the fields show the row as it stays
  editor.cbAlt.UserClick();
  editor.cbControl.UserClick();
  editor.cbWin.UserClick();
  editor.cmVK.UserPick(KeyIndex(editor, "F1"));
  editor.cmVK.UserPick(KeyIndex(editor, "F2"));
  EXPECT_EQ(RefusalBoxes(), 3);
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+Win+");
  // A refused modifier is unticked again.
  editor.cmVK.UserPick(KeyIndex(editor, "F6"));
  editor.WorkList.SetCell(0, kColHotKey, "Shift+Ctrl+Win+F6");
  editor.cbShift.UserClick();
  EXPECT_FALSE(editor.cbShift.Checked());
  EXPECT_EQ(HotKeyTextFromEditor(editor), editor.WorkList.Cell(1, kColHotKey));
}

TEST_F(EditorTest, ACombinationPressedIntoTheKeyListIsOneChoiceAndRunsNothing) {
  constexpr unsigned kCtrlAlt = plat::kModControl | plat::kModAlt;
  WriteList(Line("other", "P0", "Ctrl+Alt+N", kKindWebSite, "http://a.kr") +
            Line("me", "P1", "Shift+F7", kKindWebSite, "") + Line("third", "P2", "Ctrl+F7", kKindWebSite, ""));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(1);
  Settle(editor);
  // The capture lives while the key list has the focus, and ends when it leaves, the editor
  // hides or Keyvane pauses.
  EXPECT_EQ(plat::CombinationCaptureTarget(), 0u);
  editor.cmVK.SetFocus();
  EXPECT_EQ(plat::CombinationCaptureTarget(), editor.Handle());
  editor.cmVK.UserFocusLost();
  EXPECT_EQ(plat::CombinationCaptureTarget(), 0u);
  editor.cmVK.SetFocus();
  editor.Pause();
  EXPECT_EQ(plat::CombinationCaptureTarget(), 0u);
  editor.Resume();
  EXPECT_EQ(plat::CombinationCaptureTarget(), editor.Handle());
  editor.txt_subject.SetFocus();
  EXPECT_EQ(plat::CombinationCaptureTarget(), 0u);
  editor.cmVK.SetFocus();

  // Ctrl+Alt+F7 at once: clicked box by box, Ctrl+F7 on the way would have been refused.
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, 0x76));
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+Alt+F7");
  EXPECT_TRUE(editor.cbControl.Checked() && editor.cbAlt.Checked() && !editor.cbShift.Checked());
  EXPECT_EQ(RefusalBoxes(), 0);
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  // Another entry's combination: refused, and that entry does not run.
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, 'N'));
  EXPECT_EQ(RefusalBoxes(), 1);
  EXPECT_TRUE(sim::ShellCalls().empty());
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+Alt+F7");
  EXPECT_EQ(HotKeyTextFromEditor(editor), "Ctrl+Alt+F7");
  // So are the reserved ones.
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, 0x71));  // Ctrl+Win+F2, the pause key
  EXPECT_EQ(RefusalBoxes(), 2);
  // A lone modifier, Esc, Tab, Alt+F4, a key without a modifier and one outside the list change nothing.
  for (const auto& [modifiers, vk] : {std::pair<unsigned, int>{plat::kModShift, 0xA0}, {plat::kModControl, 0x1B},
                                      {plat::kModShift, 0x09}, {plat::kModAlt, 0x73}, {0, 'A'},
                                      {plat::kModControl, 0xBA}})
    editor.cmVK.UserCombination(modifiers, vk);
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+Alt+F7");
  EXPECT_EQ(RefusalBoxes(), 2);
  // Out of the key list, the combination runs its entry again.
  editor.txt_subject.SetFocus();
  EXPECT_TRUE(sim::PressHotKey(kCtrlAlt, 'N'));
  EXPECT_EQ(sim::ShellCalls().size(), 1u);
  editor.cmVK.SetFocus();
  editor.Hide();
  EXPECT_EQ(plat::CombinationCaptureTarget(), 0u);
}

// ---------------------------------------------------------------- kinds and info

TEST_F(EditorTest, InfoBoxesSwitchTheKindAndEncodeTheColumn) {
  WriteList(Line("a", "P0", "Ctrl+F5", kKindShutdown, ""));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(0);
  Settle(editor);
  EXPECT_TRUE(editor.Radio_1.Checked());
  editor.txt_ExcuteFilename.UserEdit("c:\\my-app\\run-it.exe");
  EXPECT_TRUE(editor.Radio_8.Checked());
  EXPECT_TRUE(editor.Radio_8.GetFont().bold);
  EXPECT_FALSE(editor.Radio_1.GetFont().bold);
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindRunProgram);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "c:\\myㅡapp\\runㅡit.exe");
  EXPECT_EQ(editor.txt_ExcuteFilename.Text(), "c:\\my-app\\run-it.exe");
  EXPECT_TRUE(editor.Doc.Modified());  // pasted: no key, still the user's edit

  editor.Radio_7.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindKillProgram);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "");
  editor.Radio_8.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "c:\\myㅡapp\\runㅡit.exe");
  editor.Radio_13.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), "키값자동 입력");
  editor.Radio_4.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "");

  // Any key in an info box marks the list, also one that changes nothing.
  Settle(editor);
  editor.txt_Action.UserKeyDown(plat::kVkLeft);
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  Settle(editor);
  editor.Radio_14.UserClick();  // shares Radio_13's mouse-down handler
  EXPECT_TRUE(editor.Doc.Modified());
  Settle(editor);
  editor.CheckActive.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColActive), "False");
  EXPECT_TRUE(editor.Doc.Modified());
  Settle(editor);
  editor.txt_subject.UserType("x");
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "ax");
  EXPECT_TRUE(editor.Doc.Modified());
}

// ---------------------------------------------------------------- side buttons

TEST_F(EditorTest, FindButtonsFillTheirBoxes) {
  WriteList(Line("a", "P0", "", kKindShutdown, ""));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(0);
  Settle(editor);
  editor.bntExitfound.UserClick();  // cancelled: nothing changes
  editor.bntSelForlder.UserClick();
  EXPECT_FALSE(editor.Doc.Modified());
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindShutdown);

  sim::AnswerNextFileDialog("C:\\Program Files\\Tool\\tool.exe");
  editor.bntExitfound.UserClick();
  EXPECT_EQ(editor.txt_ExitFilename.Text(), "tool.exe");
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindKillProgram);
  EXPECT_TRUE(editor.Doc.Modified());
  sim::AnswerNextFileDialog("C:\\Program Files\\Tool\\tool.exe");
  editor.bntExcuteFind.UserClick();
  EXPECT_EQ(editor.txt_ExcuteFilename.Text(), "C:\\Program Files\\Tool\\tool.exe");
  ASSERT_EQ(sim::FileDialogs().size(), 3u);
  EXPECT_EQ(sim::FileDialogs()[2].options.filter, "모든 파일 (*.*)|*.*");
  EXPECT_FALSE(sim::FileDialogs()[2].save);

  sim::AnswerNextFolderDialog("D:\\Music");
  editor.bntSelForlder.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "D:\\Music");
  ASSERT_EQ(sim::FolderDialogs().size(), 2u);
  EXPECT_EQ(sim::FolderDialogs()[1].title, "폴더를 선택해 주세요:");
  EXPECT_EQ(sim::FolderDialogs()[1].owner, editor.Handle());
}

TEST_F(EditorTest, InputButtonsMarkTheListAndOpenTheirDialogOverTheEditor) {
  Tfrm_main editor;
  editor.Show();
  for (plat::Button* button : {&editor.bntScriptFind, &editor.bntMultijop, &editor.bntAutoKey, &editor.bntAction}) {
    Settle(editor);
    button->UserClick();  // cancelled at once
    EXPECT_TRUE(editor.Doc.Modified()) << button->Name();
  }
  ASSERT_EQ(sim::ModalForms().size(), 4u);
  for (const sim::ModalCall& call : sim::ModalForms()) EXPECT_EQ(call.owner, editor.Handle());
  // A dialog's write lands like typing does: the entry takes the box's kind.
  editor.bntNew.UserClick();
  sim::OnNextModal([&](plat::Form&) { editor.txt_AutoKey.SetText("abc;VK_TAB"); });
  editor.bntAutoKey.UserClick();
  EXPECT_EQ(editor.WorkList.Cell(0, kColKind), kKindKeySequence);
  EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), "abc;VK_TAB");
}

// ---------------------------------------------------------------- apply

TEST_F(EditorTest, ApplyOnAnEmptyListWithoutWorkFile) {
  Tfrm_main editor;
  editor.Show();
  EXPECT_FALSE(editor.bnt_Apply.Enabled());  // nothing to apply
  editor.bntDelete.UserClick();              // deletes nothing, but offers 적용
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  editor.bnt_Apply.UserClick();
  EXPECT_FALSE(editor.bnt_Apply.Enabled());
  EXPECT_FALSE(editor.Doc.Modified());
  EXPECT_EQ(ReadFileBytes(plat::ProgramFolder() + "MyJob.ini"), "");
  ASSERT_EQ(sim::Registrations().size(), 2u);  // the editor's own key and the pause key

  editor.bntNew.UserClick();
  editor.txt_subject.UserType("Notes");
  editor.cbControl.UserClick();
  editor.cbWin.UserClick();
  editor.cmVK.UserPick(KeyIndex(editor, "N"));
  editor.txt_ExcuteFilename.UserType("notepad.exe");
  editor.bnt_Apply.UserClick();
  const std::string path = plat::ProgramFolder() + "MyJob.ini";
  EXPECT_EQ(ReadFileBytes(path), "Notes-P0-Ctrl+Win+N-프로그램 실행-notepad.exe-True-\r\n");
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "Etc", "LastWorkList_Path", ""), path);
  EXPECT_EQ(sim::Registrations().size(), 3u);
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, 'N'));
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(EditorTest, FailedApplyLosesNothing) {
  const std::string path = WriteList(Line("a", "P0", "Ctrl+Win+F5", kKindWebSite, "x"));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserType("b");
  editor.cbControl.UserClick();  // off: "Win+F5"
  sim::LockFile(path);
  editor.bnt_Apply.UserClick();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbOk | plat::kMbIconError);
  EXPECT_TRUE(editor.Doc.Modified());
  EXPECT_TRUE(editor.bnt_Apply.Enabled());
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "ab");
  EXPECT_EQ(editor.WorkList.Cell(0, kColHotKey), "Win+F5");
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5));  // still the old registration
  EXPECT_FALSE(sim::PressHotKey(plat::kModWin, kVkF5));

  sim::UnlockFile(path);
  editor.bnt_Apply.UserClick();
  EXPECT_FALSE(editor.Doc.Modified());
  EXPECT_EQ(ReadFileBytes(path), Line("ab", "P0", "Win+F5", kKindWebSite, "x"));
  EXPECT_TRUE(sim::PressHotKey(plat::kModWin, kVkF5));
}

TEST_F(EditorTest, UnregisteredHotKeysAreMarkedAndNamedOnce) {
  WriteList(Line("mine", "P0", "Ctrl+Win+F5", kKindWebSite, "") + Line("taken", "P1", "Ctrl+Win+F6", kKindWebSite, "") +
            Line("off", "P2", "Alt+F6", kKindWebSite, "", "False") + Line("none", "P3", "Alt+", kKindWebSite, ""));
  sim::TakeCombination(kCtrlWin, kVkF6);
  Tfrm_main editor;  // start-up: marks only
  EXPECT_TRUE(sim::Boxes().empty());
  ASSERT_EQ(editor.WorkList.Images().size(), 2u);
  EXPECT_EQ(editor.WorkList.Images()[0], plat::Icon::Program);
  EXPECT_EQ(editor.WorkList.Images()[1], plat::Icon::Warning);
  EXPECT_EQ(editor.WorkList.RowImage(0), Tfrm_main::kImageEntry);
  EXPECT_EQ(editor.WorkList.RowImage(1), Tfrm_main::kImageUnregistered);
  EXPECT_EQ(editor.WorkList.RowImage(2), Tfrm_main::kImageEntry);  // inactive: never asked
  EXPECT_EQ(editor.WorkList.RowImage(3), Tfrm_main::kImageEntry);  // no key: never asked
  editor.Show();                                                   // the reload keeps the marks
  EXPECT_EQ(editor.WorkList.RowImage(1), Tfrm_main::kImageUnregistered);

  sim::TakeCombination(kCtrlWin, kVkF5);
  editor.WorkList.SetCell(2, kColActive, "True");
  editor.WorkList.SetCell(2, kColHotKey, "Alt+F7");
  editor.SetModified();
  editor.bnt_Apply.UserClick();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_NE(sim::Boxes()[0].text.find("Ctrl+Win+F5  (mine)"), std::string::npos);
  EXPECT_NE(sim::Boxes()[0].text.find("Ctrl+Win+F6  (taken)"), std::string::npos);
  EXPECT_EQ(sim::Boxes()[0].text.find("Alt+F7"), std::string::npos);
  EXPECT_EQ(sim::Boxes()[0].owner, editor.Handle());
  EXPECT_EQ(editor.WorkList.RowImage(0), Tfrm_main::kImageUnregistered);
  EXPECT_EQ(editor.WorkList.RowImage(2), Tfrm_main::kImageEntry);

  // However many fail, one box of a size the screen can show, Hangul cut whole.
  for (int i = 0; i < 30; ++i) {
    AddEntry({std::string(100, 'x'), "Q" + std::to_string(i), "Ctrl+Win+F5", kKindWebSite, "", "True"},
             editor.WorkList);
  }
  editor.WorkList.SetCell(4, kColDescription, "x가나다라마바사아자차카타파하가나다라마바사아자차카타");
  editor.SetModified();
  editor.bnt_Apply.UserClick();
  ASSERT_EQ(sim::Boxes().size(), 2u);
  const std::string text = sim::Boxes()[1].text;
  EXPECT_LT(text.size(), 2000u);
  EXPECT_NE(text.find("외 12개"), std::string::npos);
  EXPECT_NE(text.find("(x가나다라마바사아자차카타파하가나다라마...)"), std::string::npos);
}

TEST_F(EditorTest, AppliedDescriptionsReadBackAsShown) {
  const std::string path = WriteList(Line("a", "P0", "", kKindWebSite, ""));
  Tfrm_main editor;
  editor.Show();
  const std::string texts[] = {"a-b", " lead", "null", "say \"hi", "it's", "-"};
  for (const std::string& text : texts) {
    editor.WorkList.UserSelect(0);
    editor.txt_subject.UserEdit("");
    editor.txt_subject.UserType(text);
    editor.bnt_Apply.UserClick();
    const std::string shown = editor.txt_subject.Text();
    EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), shown) << text;
    editor.Hide();
    editor.Show();  // reloads the file
    EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), shown) << text;
    EXPECT_EQ(editor.WorkList.Cell(0, kColId), "P0") << text;
  }
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_EQ(ReadFileBytes(path).find("\r\n"), ReadFileBytes(path).size() - 2);
}

TEST_F(EditorTest, SaveAsShowsTheSelectedEntryAsStoredInItsFields) {
  WriteList(Line("a", "P0", "", kKindWebSite, ""));
  Tfrm_main editor;
  editor.Show();
  editor.WorkList.UserSelect(0);
  editor.txt_subject.UserEdit("a-b 'c");
  sim::AnswerNextFileDialog(plat::ProgramFolder() + "other.ini");
  editor.S1Click();
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "aㅡb ＇c");
  EXPECT_EQ(editor.txt_subject.Text(), "aㅡb ＇c");
  // Typing on continues the stored text, not the one typed before.
  editor.txt_subject.UserType("d");
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "aㅡb ＇cd");
}

TEST_F(EditorTest, LongTextsInEveryBoxReadBackAfterApply) {
  Tfrm_main editor;
  editor.Show();
  editor.bntNew.UserClick();
  std::string big(64 * 1024, 'x');
  for (std::size_t i = 100; i < big.size(); i += 1000) big[i] = '-';
  editor.txt_subject.UserEdit(big);
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), big);
  for (int kind = Tfrm_main::kFirstInfoKind; kind <= Tfrm_main::kKinds; ++kind) {
    plat::Edit& box = *editor.InfoBox(kind);
    box.UserEdit(big + std::to_string(kind));
    EXPECT_TRUE(editor.KindButton(kind).Checked());
    EXPECT_EQ(editor.WorkList.Cell(0, kColInfo), EncodeInfoText(big + std::to_string(kind)));
  }
  editor.bnt_Apply.UserClick();
  const auto applied = editor.WorkList.Row(0);
  editor.Hide();
  editor.Show();
  EXPECT_EQ(editor.WorkList.Row(0), applied);
  editor.WorkList.UserSelect(0);
  EXPECT_EQ(editor.txt_Action.Text(), applied[kColInfo]);
  EXPECT_TRUE(sim::Boxes().empty());
}

// ---------------------------------------------------------------- menus and window

TEST_F(EditorTest, MenusAndPopup) {
  Tfrm_main editor;
  const auto captions = [](plat::MenuItem& menu) {
    std::vector<std::string> out;
    for (const auto& item : menu.Items()) out.push_back(item->Caption());
    return out;
  };
  ASSERT_EQ(captions(editor.MainMenu()), (std::vector<std::string>{"파일", "편집", "도움말"}));
  // The window already exists (the hotkey component needs it) and was made with the bar.
  ASSERT_TRUE(editor.HasWindow());
  EXPECT_EQ(sim::MenuBarAtCreation(editor.Handle()), 3);
  EXPECT_EQ(captions(*editor.MainMenu().Items()[0]),
            (std::vector<std::string>{"열기(&O)..", "다른 이름으로 저장(&S)..", "-", "인쇄(&P)", "-", "종료(&X)"}));
  EXPECT_EQ(captions(*editor.MainMenu().Items()[1]),
            (std::vector<std::string>{"새 등록(&N)..", "현재 항목 삭제(&D)", "-", "옵션(&P).."}));
  EXPECT_EQ(captions(*editor.MainMenu().Items()[2]),
            (std::vector<std::string>{"도움말", "프로그램 정보", "-", "홈페이지 방문", "질문/답변 게시판"}));
  EXPECT_EQ(captions(editor.PopupMenu), (std::vector<std::string>{"단축키 등록", "단축키 삭제", "-", "창 닫기.."}));
  EXPECT_EQ(editor.WorkList.PopupMenu, &editor.PopupMenu);

  editor.Show();
  EXPECT_TRUE(editor.HandleShortcut(plat::kVkF1));
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, plat::ProgramFolder() + "Readme.txt");
  EXPECT_EQ(sim::ShellCalls()[0].owner, editor.Handle());
  editor.lbl_Compile.UserClick();
  EXPECT_EQ(sim::ShellCalls().size(), 2u);
  editor.MainMenu().Find("프로그램 정보")->Click();
  ASSERT_EQ(sim::ModalForms().size(), 1u);
  EXPECT_EQ(sim::ModalForms()[0].owner, editor.Handle());
}

TEST_F(EditorTest, CloseWindowItemAsksLikeTheCloseBox) {
  Tfrm_main editor;
  editor.Show();
  editor.PopupMenu.Find("창 닫기..")->Click();  // nothing changed: closes at once
  EXPECT_FALSE(editor.Visible());
  editor.Show();
  editor.bntNew.UserClick();
  sim::AnswerNextBox(plat::kIdCancel);
  editor.PopupMenu.Find("창 닫기..")->Click();
  EXPECT_TRUE(editor.Visible());
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(editor.WorkList.RowCount(), 1);
  sim::AnswerNextBox(plat::kIdNo);
  editor.MainMenu().Find("종료(&X)")->Click();
  EXPECT_FALSE(editor.Visible());
}

TEST_F(EditorTest, LayoutFitsTheWindow) {
  Tfrm_main editor;
  EXPECT_EQ(editor.Panel1.GetColor(), 9145227u);
  EXPECT_EQ(editor.WorkList.GetFont().name, "돋움체");
  EXPECT_EQ(editor.cmVK.DropDownRows(), 15);
  EXPECT_TRUE(editor.Radio_1.Checked());
  EXPECT_FALSE(editor.Radio_1.GetFont().bold);
  // Every control lies inside its parent, and no two siblings overlap.
  const auto& controls = editor.Controls();
  for (const plat::Control* c : controls) {
    const auto place = c->Place();
    const int width = c->Parent() ? c->Parent()->Place().width : editor.ClientWidth();
    const int height = c->Parent() ? c->Parent()->Place().height : editor.ClientHeight();
    EXPECT_GE(place.x, 0) << c->Name();
    EXPECT_GE(place.y, 0) << c->Name();
    EXPECT_LE(place.x + place.width, width) << c->Name();
    EXPECT_LE(place.y + place.height, height) << c->Name();
    for (const plat::Control* d : controls) {
      if (d <= c || d->Parent() != c->Parent()) continue;
      const auto other = d->Place();
      const bool apart = place.x + place.width <= other.x || other.x + other.width <= place.x ||
                         place.y + place.height <= other.y || other.y + other.height <= place.y;
      EXPECT_TRUE(apart) << c->Name() << " overlaps " << d->Name();
    }
  }
}

}  // namespace
