// The editor's dialogs: the multi-job editor, the key-sequence editor, the action and site
// pickers and the about window, driven through their controls as a user would.
#include <stdexcept>
#include <string>
#include <vector>

#include "actions/frmAction.h"
#include "actions/frmDirectSearch.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmInfor.h"
#include "editor/frmKeyEdit.h"
#include "editor/frmSetmulti.h"
#include "test_support.h"

using namespace kv;

namespace {

const char* const kNothingChosen = "선택 되지 않음";

// The box a dialog writes into, counting the change reports its owner would handle.
struct TargetForm : plat::Form {
  TargetForm() : plat::Form("host", plat::FormStyle::FixedDialog, 300, 200) {
    box.OnChange = [this] { ++changes; };
  }
  plat::Edit box{*this, "box", {0, 0, 100, 21}};
  int changes = 0;
};

// Sets the box's starting text without counting it as the dialog's doing.
void Preset(TargetForm& target, const std::string& text) {
  target.box.SetText(text);
  target.changes = 0;
}

std::vector<std::string> Column(const plat::ListView& list, int column) {
  std::vector<std::string> cells;
  for (int row = 0; row < list.RowCount(); ++row) cells.push_back(list.Cell(row, column));
  return cells;
}

bool Overlap(const plat::Control::Bounds& a, const plat::Control::Bounds& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Every control lies inside its parent, and no two controls of one parent cover each other.
void ExpectTidyLayout(const plat::Form& form) {
  const auto& controls = form.Controls();
  for (const plat::Control* c : controls) {
    const auto& p = c->Place();
    const int width = c->Parent() ? c->Parent()->Place().width : form.ClientWidth();
    const int height = c->Parent() ? c->Parent()->Place().height : form.ClientHeight();
    EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.width <= width && p.y + p.height <= height)
        << form.Caption() << ": " << c->Name() << " leaves its parent";
    for (const plat::Control* d : controls)
      if (c < d && c->Parent() == d->Parent()) {
        EXPECT_FALSE(Overlap(p, d->Place())) << form.Caption() << ": " << c->Name() << " covers " << d->Name();
      }
  }
}

const plat::Button& FindButton(const plat::Form& form, const std::string& name) {
  for (const plat::Control* c : form.Controls())
    if (c->Name() == name) return static_cast<const plat::Button&>(*c);
  throw std::runtime_error("no control " + name);
}

// OK and Cancel close the dialog with their results, by Enter and Esc as well.
void ExpectOkCancelRoles(const plat::Form& form, const std::string& ok, const std::string& cancel) {
  const plat::Button& okButton = FindButton(form, ok);
  const plat::Button& cancelButton = FindButton(form, cancel);
  EXPECT_TRUE(okButton.IsDefault());
  EXPECT_EQ(okButton.ModalResult(), plat::kMrOk);
  EXPECT_TRUE(cancelButton.IsCancel());
  EXPECT_EQ(cancelButton.ModalResult(), plat::kMrCancel);
}

// A hotkey list of entries with these descriptions and IDs.
struct EntryList : plat::Form {
  EntryList() : plat::Form("list", plat::FormStyle::FixedDialog, 300, 200) {}
  void Add(const std::string& description, const std::string& id) {
    AddEntry({description, id, "", kKindMultiJob, "", "True"}, list);
  }
  plat::ListView list{
      *this, "WorkList", {0, 0, 300, 200}, {{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}, {"e", 1}, {"f", 1}}};
};

}  // namespace

// ---------------------------------------------------------------- every dialog

TEST(DialogLayout, EveryDialogIsWholeAndItsButtonsCarryTheirRoles) {
  sim::Reset();
  TargetForm target;
  EntryList entries;
  Tfrm_Setmulti multi(entries.list, target.box);
  Tfrm_KeyEdit keys(target.box);
  Tfrm_Action action(&target.box);
  Tfrm_DirectSearch sites(target.box);
  Tfrm_Infor about;
  for (const plat::Form* form : std::vector<const plat::Form*>{&multi, &keys, &action, &sites, &about})
    ExpectTidyLayout(*form);
  ExpectOkCancelRoles(multi, "bntok", "bntCancel");
  ExpectOkCancelRoles(keys, "bntok", "bntCancel");
  ExpectOkCancelRoles(action, "bntok", "bntCancel");
  ExpectOkCancelRoles(sites, "bntok", "bntCancel");
}

// ---------------------------------------------------------------- multi-job editor

class SetmultiTest : public SimTest {
 protected:
  SetmultiTest() {
    entries.Add("메모장", "P0");
    entries.Add("계산기", "P1");
    entries.Add("웹", "P2");
    entries.Add("묶음", "P3");
  }
  TargetForm target;
  EntryList entries;
};

TEST_F(SetmultiTest, OpeningShowsTheStepsAndOkWritesThemBack) {
  Preset(target, "P0;Delay=1;P2;");
  Tfrm_Setmulti dialog(entries.list, target.box);
  EXPECT_EQ(Column(dialog.Listall, 0), (std::vector<std::string>{"메모장", "계산기", "웹", "묶음"}));
  EXPECT_EQ(Column(dialog.Listall, 1), (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
  EXPECT_EQ(Column(dialog.ListSelect, 0), (std::vector<std::string>{"메모장", "Delay=1", "웹"}));
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "", "P2"}));
  EXPECT_EQ(dialog.txt_delay.Text(), "1");
  sim::OnNextModal([&](plat::Form&) { dialog.bntok.UserClick(); });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrOk);
  EXPECT_EQ(target.box.Text(), "P0;Delay=1;P2;");
  EXPECT_EQ(target.changes, 0);  // the same text: no change to report
}

TEST_F(SetmultiTest, UnknownIdsAndOddDelaysAreKeptAsTheyWere) {
  // An ID no entry has, an item with "Delay=" inside, a line break and blanks: the items
  // come back exactly, each followed by ";".
  entries.Add("두 번째 P1", "P1");
  Preset(target, "P9; xDelay=3\r\nP1;;Delay=-2");
  Tfrm_Setmulti dialog(entries.list, target.box);
  EXPECT_EQ(Column(dialog.ListSelect, 0), (std::vector<std::string>{"", "xDelay=3", "계산기", "Delay=-2"}));
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P9", "", "P1", ""}));
  dialog.bntok.UserClick();
  EXPECT_EQ(target.box.Text(), "P9;xDelay=3;P1;Delay=-2;");
  EXPECT_EQ(target.changes, 1);
}

TEST_F(SetmultiTest, AddingAndRemovingRows) {
  Tfrm_Setmulti dialog(entries.list, target.box);
  EXPECT_EQ(dialog.ListSelect.RowCount(), 0);
  // Picked in another order than the list's: added in list order, the picks stay.
  dialog.Listall.UserSelect(3);
  dialog.Listall.UserSelect(0, true);
  dialog.Listall.UserSelect(2, true);
  dialog.bntplus.UserClick();
  dialog.bntplus.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "P2", "P3", "P0", "P2", "P3"}));
  EXPECT_EQ(dialog.Listall.SelectedRows(), (std::vector<int>{0, 2, 3}));
  // "<" takes every selected row, also ones apart from each other.
  dialog.ListSelect.UserSelect(1);
  dialog.ListSelect.UserSelect(3, true);
  dialog.ListSelect.UserSelect(5, true);
  dialog.bntminus.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "P3", "P2"}));
  // ">>" replaces everything, delays included, with all entries.
  dialog.bntSecAdd.UserClick();
  dialog.bntallpluss.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
  dialog.bntallminus.UserClick();
  EXPECT_EQ(dialog.ListSelect.RowCount(), 0);
  // An emptied list writes an empty text.
  Preset(target, "P1;");
  dialog.bntok.UserClick();
  EXPECT_EQ(target.box.Text(), "");
  EXPECT_EQ(target.changes, 1);
}

TEST_F(SetmultiTest, UpAndDownMoveOneRowOnePlace) {
  Preset(target, "P0;P1;P2;P3;");
  Tfrm_Setmulti dialog(entries.list, target.box);
  dialog.bntUp.UserClick();  // nothing selected
  dialog.ListSelect.UserSelect(0);
  dialog.bntUp.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
  dialog.ListSelect.UserSelect(3);
  dialog.bntDown.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
  // The moved row stays selected and in view, so each click moves it one more place; rows
  // selected besides it stay where they are.
  dialog.ListSelect.UserSelect(1, true);
  dialog.bntDown.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P0", "P2", "P1", "P3"}));
  EXPECT_EQ(dialog.ListSelect.SelectedRows(), (std::vector<int>{2}));
  EXPECT_EQ(dialog.ListSelect.ScrolledTo(), 2);
  EXPECT_TRUE(dialog.ListSelect.Focused());
  dialog.bntUp.UserClick();
  dialog.bntUp.UserClick();
  EXPECT_EQ(Column(dialog.ListSelect, 1), (std::vector<std::string>{"P1", "P0", "P2", "P3"}));
  EXPECT_EQ(Column(dialog.ListSelect, 0), (std::vector<std::string>{"계산기", "메모장", "웹", "묶음"}));
  EXPECT_EQ(dialog.ListSelect.SelectedRows(), (std::vector<int>{0}));
}

TEST_F(SetmultiTest, TheDelayFieldReadsASigned32BitInteger) {
  Tfrm_Setmulti dialog(entries.list, target.box);
  const std::vector<std::pair<std::string, std::string>> good = {{"1", "Delay=1"},
                                                                 {"  +007", "Delay=7"},
                                                                 {"-5", "Delay=-5"},
                                                                 {"$1F", "Delay=31"},
                                                                 {"0x10", "Delay=16"},
                                                                 {"-0X1a", "Delay=-26"},
                                                                 {"-0", "Delay=0"},
                                                                 {"2147483647", "Delay=2147483647"},
                                                                 {"-2147483648", "Delay=-2147483648"},
                                                                 {"$7FFFFFFF", "Delay=2147483647"}};
  for (const auto& [text, row] : good) {
    dialog.txt_delay.UserEdit(text);
    dialog.bntSecAdd.UserClick();
    ASSERT_GT(dialog.ListSelect.RowCount(), 0) << text;
    EXPECT_EQ(dialog.ListSelect.Row(dialog.ListSelect.RowCount() - 1), (std::vector<std::string>{row, ""})) << text;
  }
  EXPECT_TRUE(sim::Boxes().empty());
  const int rows = dialog.ListSelect.RowCount();
  const std::vector<std::string> bad = {"",  "12a", "1 ",         "\t1",         "+",         "0x",
                                        "$", "1.5", "2147483648", "-2147483649", "$80000000", "99999999999999999999",
                                        "３"};
  for (const std::string& text : bad) {
    dialog.txt_delay.UserEdit(text);
    dialog.bntSecAdd.UserClick();
  }
  EXPECT_EQ(dialog.ListSelect.RowCount(), rows);
  ASSERT_EQ(sim::Boxes().size(), bad.size());
  const sim::Box box = sim::Boxes().front();
  EXPECT_EQ(box.text, "형식이 틀렸습니다. 다시입력해 주세요");
  EXPECT_EQ(box.caption, "Keyvane");
  EXPECT_EQ(box.flags, plat::kMbOk);
  EXPECT_EQ(box.owner, dialog.Handle());
}

TEST_F(SetmultiTest, CancelAndTheCloseBoxWriteNothing) {
  Preset(target, "P0;");
  Tfrm_Setmulti dialog(entries.list, target.box);
  sim::OnNextModal([&](plat::Form&) {
    dialog.bntallpluss.UserClick();
    dialog.bntCancel.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrCancel);
  sim::OnNextModal([&](plat::Form& form) {
    dialog.bntallminus.UserClick();
    form.Close();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrCancel);
  EXPECT_EQ(target.box.Text(), "P0;");
  EXPECT_EQ(target.changes, 0);
}

TEST_F(SetmultiTest, A64KiBStringOnALongListComesBackWhole) {
  for (int i = 4; i < 10000; ++i) entries.Add("작업 " + std::to_string(i), "P" + std::to_string(i));
  std::string text;
  for (int i = 0; text.size() < 65536; ++i)
    text += (i % 7 == 3 ? "Delay=" + std::to_string(i) : "P" + std::to_string(i * 37 % 12000)) + ";";
  Preset(target, text);
  Tfrm_Setmulti dialog(entries.list, target.box);
  EXPECT_EQ(dialog.ListSelect.Cell(1, 0), "작업 37");
  dialog.bntok.UserClick();
  EXPECT_EQ(target.box.Text(), text);
}

// ---------------------------------------------------------------- key-sequence editor

class KeyEditTest : public SimTest {
 protected:
  TargetForm target;
};

TEST_F(KeyEditTest, SpecialKeysAreAppendedAfterTheTrueLastCharacter) {
  Preset(target, "");
  Tfrm_KeyEdit dialog(target.box);
  dialog.bnt_Add.UserClick();  // nothing picked
  EXPECT_EQ(dialog.MemoKey.Text(), "");
  dialog.cmVK.UserPick(0);
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), ";VK_TAB;");
  dialog.MemoKey.UserEdit("id;");
  dialog.cmVK.UserPick(1);
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), "id;VK_RETURN;");
  dialog.MemoKey.UserEdit("a ");
  dialog.cmVK.UserPick(2);
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), "a ;VK_ESCAPE;");
  dialog.MemoKey.UserEdit("");
  dialog.MemoKey.UserType("a;\n");
  dialog.cmVK.UserPick(3);
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), "a;\r\n;VK_BACK;");
  // Long texts: a ";" at the very end of 64 KiB counts, one earlier does not.
  const std::string longText(65535, 'x');
  dialog.MemoKey.UserEdit(longText + ";");
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), longText + ";VK_BACK;");
  dialog.MemoKey.UserEdit(";" + longText);
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), ";" + longText + ";VK_BACK;");
  // What is typed after an added key is an item of its own.
  dialog.MemoKey.UserEdit("lee77");
  dialog.cmVK.UserPick(0);
  dialog.bnt_Add.UserClick();
  dialog.MemoKey.UserType("암호99");
  dialog.cmVK.UserPick(1);
  dialog.bnt_Add.UserClick();
  EXPECT_EQ(dialog.MemoKey.Text(), "lee77;VK_TAB;암호99;VK_RETURN;");
}

TEST_F(KeyEditTest, OkWritesTheTextWithEachLineBreakAsOneSeparator) {
  EXPECT_EQ(JoinKeyLines("id\r\npw\rx\ny\r\n\r\n"), "id;pw;x;y;;");
  EXPECT_EQ(JoinKeyLines("\n\r"), ";;");
  EXPECT_EQ(JoinKeyLines("한글;VK_Tab"), "한글;VK_Tab");
  Preset(target, "id;VK_TAB");
  Tfrm_KeyEdit dialog(target.box);
  EXPECT_EQ(dialog.MemoKey.Text(), "id;VK_TAB");
  sim::OnNextModal([&](plat::Form&) {
    dialog.MemoKey.UserType("\npassword");
    dialog.cmVK.UserPick(1);
    dialog.bnt_Add.UserClick();
    dialog.bntok.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrOk);
  EXPECT_EQ(target.box.Text(), "id;VK_TAB;password;VK_RETURN;");
  EXPECT_EQ(target.changes, 1);
  // 64 KiB of lines come through whole.
  std::string lines;
  while (lines.size() < 65536) lines += "가나다\r\n";
  Tfrm_KeyEdit big(target.box);
  big.MemoKey.UserEdit(lines);
  big.bntok.UserClick();
  EXPECT_EQ(target.box.Text().size(), lines.size() - lines.size() / 8);
  EXPECT_EQ(target.box.Text().find('\n'), std::string::npos);
}

TEST_F(KeyEditTest, CancelAndTheCloseBoxWriteNothing) {
  Preset(target, "abc");
  Tfrm_KeyEdit dialog(target.box);
  sim::OnNextModal([&](plat::Form&) {
    dialog.MemoKey.UserType("def");
    dialog.bntCancel.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrCancel);
  sim::OnNextModal([&](plat::Form& form) {
    dialog.MemoKey.UserType("ghi");
    form.Close();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrCancel);
  EXPECT_EQ(target.box.Text(), "abc");
  EXPECT_EQ(target.changes, 0);
}

// ---------------------------------------------------------------- action picker

class ActionPickerTest : public SimTest {
 protected:
  TargetForm target;
};

TEST_F(ActionPickerTest, ListsTheThirteenActionsAndWritesThePickedName) {
  Preset(target, "old");
  Tfrm_Action dialog(&target.box);
  ASSERT_EQ(dialog.Listall.RowCount(), 13);
  EXPECT_EQ(dialog.Listall.Cell(0, 1), "현재 창을 전체화면으로 전환합니다");
  EXPECT_EQ(dialog.Listall.Cell(12, 1), "마우스 왼쪽 더블 클릭효과를 줍니다");
  EXPECT_EQ(dialog.lbl_info.Caption(), kNothingChosen);
  sim::OnNextModal([&](plat::Form&) {
    dialog.Listall.UserSelect(4);
    dialog.Listall.UserSelect(0);
    EXPECT_EQ(dialog.lbl_info.Caption(), "현재 창 최대화");
    dialog.bntok.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrOk);
  EXPECT_EQ(target.box.Text(), "현재 창 최대화");
  EXPECT_EQ(target.changes, 1);
}

TEST_F(ActionPickerTest, NothingSelectedOrCancelledLeavesTheBoxAlone) {
  Preset(target, "old");
  Tfrm_Action dialog(&target.box);
  dialog.bntok.UserClick();
  dialog.Listall.UserSelect(2);
  dialog.Listall.UserSelect(-1);  // a click on empty space
  EXPECT_EQ(dialog.lbl_info.Caption(), kNothingChosen);
  dialog.bntok.UserClick();
  dialog.Listall.UserSelect(2);
  sim::OnNextModal([&](plat::Form&) { dialog.bntCancel.UserClick(); });
  dialog.ShowModal(&target);
  EXPECT_EQ(target.box.Text(), "old");
  EXPECT_EQ(target.changes, 0);
  // The copy made at start has no box to write into: OK on it leaves every box alone,
  // the editor's action box included.
  Tfrm_main editor;
  editor.txt_Action.SetText("현재 창 닫기");
  int editorChanges = 0;
  editor.txt_Action.OnChange = [&] { ++editorChanges; };
  Tfrm_Action hidden;
  hidden.Listall.UserSelect(1);
  EXPECT_EQ(hidden.lbl_info.Caption(), "현재 창 이전크기로");
  hidden.bntok.UserClick();
  EXPECT_EQ(editor.txt_Action.Text(), "현재 창 닫기");
  EXPECT_EQ(editorChanges, 0);
  EXPECT_EQ(target.box.Text(), "old");
  EXPECT_EQ(target.changes, 0);
}

TEST_F(ActionPickerTest, TheLabelNeverNamesAnUnselectedAction) {
  Tfrm_Action dialog(&target.box);
  dialog.Listall.UserSelect(1);
  dialog.Listall.UserSelect(6, true);
  EXPECT_EQ(dialog.lbl_info.Caption(), "탐색기 열기");
  // Taking the named row out of the selection hands the label to the row still selected.
  dialog.Listall.UserSelect(6, true);
  EXPECT_EQ(dialog.lbl_info.Caption(), "현재 창 이전크기로");
  dialog.bntok.UserClick();
  EXPECT_EQ(target.box.Text(), "현재 창 이전크기로");
}

// ---------------------------------------------------------------- site picker

class SitePickerTest : public SimTest {
 protected:
  TargetForm target;
};

TEST_F(SitePickerTest, ShowsTheSitesOfConfigIniAtEveryOpening) {
  Preset(target, "old");
  Tfrm_DirectSearch dialog(target.box);
  // No file: an empty list.
  sim::OnNextModal([&](plat::Form&) {
    EXPECT_EQ(dialog.Listall.RowCount(), 0);
    dialog.bntok.UserClick();
  });
  dialog.ShowModal(&target);
  EXPECT_EQ(target.box.Text(), "old");
  WriteProgramFile("Config.ini",
                   "[DirectSite]\r\nCount=2\r\nSite0= 네이버 , http://search.naver.com/search?query= \r\n"
                   "Site1=지도,http://map.example/?a=1,b=2\r\n");
  sim::OnNextModal([&](plat::Form&) {
    EXPECT_EQ(Column(dialog.Listall, 0), (std::vector<std::string>{"네이버", "지도"}));
    EXPECT_EQ(Column(dialog.Listall, 1),
              (std::vector<std::string>{"http://search.naver.com/search?query=", "http://map.example/?a=1"}));
    EXPECT_EQ(dialog.lbl_info.Caption(), kNothingChosen);
    EXPECT_EQ(dialog.lbl_site.Caption(), kNothingChosen);
    dialog.Listall.UserSelect(1);
    EXPECT_EQ(dialog.lbl_site.Caption(), "http://map.example/?a=1");
    dialog.Listall.UserSelect(0);
    EXPECT_EQ(dialog.lbl_info.Caption(), "네이버");
    dialog.bntok.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(&target), plat::kMrOk);
  EXPECT_EQ(target.box.Text(), "네이버;http://search.naver.com/search?query=");
  EXPECT_EQ(target.changes, 1);
  // The next opening reads the file again and starts with nothing chosen.
  WriteProgramFile("Config.ini", "[DirectSite]\r\nCount=1\r\nSite0=다음,http://search.daum.net/?q=\r\n");
  sim::OnNextModal([&](plat::Form&) {
    EXPECT_EQ(Column(dialog.Listall, 0), (std::vector<std::string>{"다음"}));
    EXPECT_EQ(dialog.lbl_info.Caption(), kNothingChosen);
    dialog.bntok.UserClick();
  });
  dialog.ShowModal(&target);
  EXPECT_EQ(target.changes, 1);
}

TEST_F(SitePickerTest, DeselectingAndCancellingWriteNothing) {
  WriteProgramFile("Config.ini", "[DirectSite]\r\nCount=2\r\nSite0=a,http://a/\r\nSite1=b,http://b/\r\n");
  Preset(target, "old");
  Tfrm_DirectSearch dialog(target.box);
  sim::OnNextModal([&](plat::Form&) {
    dialog.Listall.UserSelect(0);
    dialog.Listall.UserSelect(1, true);
    dialog.Listall.UserSelect(1, true);
    EXPECT_EQ(dialog.lbl_info.Caption(), "a");
    EXPECT_EQ(dialog.lbl_site.Caption(), "http://a/");
    dialog.Listall.UserSelect(0, true);
    EXPECT_EQ(dialog.lbl_site.Caption(), kNothingChosen);
    dialog.bntok.UserClick();
  });
  dialog.ShowModal(&target);
  sim::OnNextModal([&](plat::Form& form) {
    dialog.Listall.UserSelect(1);
    form.Close();
  });
  dialog.ShowModal(&target);
  EXPECT_EQ(target.box.Text(), "old");
  EXPECT_EQ(target.changes, 0);
}

TEST_F(SitePickerTest, AnAmpersandInTheSiteShowsAsItself) {
  WriteProgramFile("Config.ini", "[DirectSite]\r\nCount=1\r\nSite0=Q&A,http://dic.example/?w=tot&q=\r\n");
  Tfrm_DirectSearch dialog(target.box);
  sim::OnNextModal([&](plat::Form&) {
    dialog.Listall.UserSelect(0);
    EXPECT_EQ(dialog.lbl_info.Caption(), "Q&A");
    EXPECT_EQ(dialog.lbl_site.Caption(), "http://dic.example/?w=tot&q=");
    // As mnemonics the two would read "QA" and "...w=totq=" with a letter underlined.
    EXPECT_FALSE(dialog.lbl_info.ShowAccelChar());
    EXPECT_FALSE(dialog.lbl_site.ShowAccelChar());
  });
  dialog.ShowModal(&target);
}

// ---------------------------------------------------------------- about window

TEST_F(KeyEditTest, TheAboutWindowClosesAndOpensTheHomePage) {
  Tfrm_Infor about;
  EXPECT_EQ(about.Label6.Caption(), kHomePage);
  EXPECT_TRUE(about.Label6.HandCursor());
  sim::OnNextModal([&](plat::Form&) {
    about.Label6.UserClick();
    about.Button1.UserClick();
  });
  EXPECT_EQ(about.ShowModal(&target), plat::kMrOk);
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(sim::ShellCalls()[0].file, "iexplore");
  EXPECT_EQ(sim::ShellCalls()[0].parameters, kHomePage);
  // The close box ends the window there and then, as cancelled; a window that refused
  // to close would stay on the screen.
  sim::OnNextModal([&](plat::Form& form) {
    EXPECT_TRUE(form.Close());
    EXPECT_EQ(form.ModalResult(), plat::kMrCancel);
  });
  EXPECT_EQ(about.ShowModal(&target), plat::kMrCancel);
  EXPECT_EQ(sim::ShellCalls().size(), 1u);
}
