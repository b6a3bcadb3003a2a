// The widget layer's change rules, on which every window's behaviour rests.
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/msgloop.h"
#include "test_support.h"

namespace {

struct TestForm : plat::Form {
  TestForm() : plat::Form("시험", plat::FormStyle::FixedDialog, 300, 200) {}
  int closes = 0;
  bool refuseClose = false;

 protected:
  void FormCloseQuery(bool& canClose) override { canClose = !refuseClose; }
  void FormClose() override { ++closes; }
};

using ControlsTest = SimTest;

TEST_F(ControlsTest, EditReportsEveryChangeOfItsTextAndNothingElse) {
  TestForm form;
  plat::Edit edit(form, "edit", {0, 0, 100, 20});
  std::vector<std::string> seen;
  edit.OnChange = [&] { seen.push_back(edit.Text()); };

  edit.SetText("가");
  edit.SetText("가");  // the text it has
  edit.UserType("b한");
  edit.UserEdit("가b한");
  edit.SetText("");
  EXPECT_EQ(seen, (std::vector<std::string>{"가", "가b", "가b한", ""}));
}

TEST_F(ControlsTest, TypingRaisesKeyDownAndKeyPressAndEitherCanSwallow) {
  TestForm form;
  plat::Edit edit(form, "edit", {0, 0, 100, 20});
  plat::Edit memo(form, "memo", {0, 30, 100, 60}, nullptr, true);
  std::vector<int> downs, presses;
  edit.OnKeyDown = [&](int& vk) {
    downs.push_back(vk);
    if (vk == 'X') vk = 0;
  };
  edit.OnKeyPress = [&](int& key) {
    presses.push_back(key);
    if (key == '!') key = 0;
  };
  edit.UserType("ax!한\n");
  EXPECT_EQ(edit.Text(), "a한");  // x swallowed by its key down, "!" by its key press, Enter adds nothing
  EXPECT_EQ(downs, (std::vector<int>{'A', 'X', '1', plat::kVkProcessKey, plat::kVkReturn}));
  const std::string han = "한";
  const int hanKey = static_cast<unsigned char>(han[0]) * 256 + static_cast<unsigned char>(han[1]);
  EXPECT_EQ(presses, (std::vector<int>{'a', '!', hanKey, '\r'}));

  memo.UserType("a\nb");
  EXPECT_EQ(memo.Text(), "a\r\nb");
}

TEST_F(ControlsTest, DisabledOrReadOnlyControlsIgnoreTheUser) {
  TestForm form;
  plat::Edit edit(form, "edit", {0, 0, 100, 20});
  plat::Button button(form, "button", {0, 30, 80, 24}, "확인");
  plat::CheckBox check(form, "check", {0, 60, 80, 17}, "체크");
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  edit.SetReadOnly(true);
  edit.UserType("abc");
  button.SetEnabled(false);
  button.UserClick();
  check.SetEnabled(false);
  check.UserClick();
  EXPECT_EQ(edit.Text(), "");
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(check.Checked());
}

TEST_F(ControlsTest, RadioButtonReportsOnlyBecomingChecked) {
  TestForm form;
  plat::RadioButton one(form, "one", {0, 0, 80, 17}, "하나"), two(form, "two", {0, 20, 80, 17}, "둘");
  std::vector<std::string> events;
  one.OnClick = [&] { events.push_back("one"); };
  two.OnClick = [&] { events.push_back("two"); };
  one.OnMouseDown = [&] { events.push_back("down one"); };

  one.SetChecked(true);
  two.UserClick();  // unchecks one without a report
  EXPECT_FALSE(one.Checked());
  one.UserClick();
  one.UserClick();  // already checked: the mouse still goes down, nothing else
  two.SetChecked(false);
  EXPECT_EQ(events, (std::vector<std::string>{"one", "two", "down one", "one", "down one"}));
  EXPECT_TRUE(one.Checked());

  // Tab stops at the checked button only; the arrows move the check, past a disabled
  // button and around the ends.
  plat::RadioButton three(form, "three", {0, 40, 80, 17}, "셋");
  EXPECT_TRUE(one.TabStop() && !two.TabStop() && !three.TabStop());
  three.SetEnabled(false);
  EXPECT_EQ(one.UserKeyDown(plat::kVkDown), 0);
  EXPECT_TRUE(two.Checked() && two.Focused() && two.TabStop() && !one.TabStop());
  two.UserKeyDown(plat::kVkRight);
  EXPECT_TRUE(one.Checked() && one.Focused());
  one.UserKeyDown(plat::kVkUp);
  EXPECT_TRUE(two.Checked());
}

TEST_F(ControlsTest, SelectionMovesWithTheLossReportedFirstWhileNothingIsSelected) {
  TestForm form;
  plat::ListView list(form, "list", {0, 0, 200, 100}, {{"a", 50}, {"b", 50}});
  for (const char* id : {"r0", "r1", "r2", "r3"}) list.AddRow({id, "x"});
  std::vector<std::string> events;
  list.OnSelectItem = [&](int row, bool selected) {
    events.push_back(std::to_string(row) + (selected ? "+" : "-") + " sel=" + std::to_string(list.Selected()));
  };
  list.UserSelect(1);
  list.UserSelect(3);
  list.InsertRow(0, {"new"});  // the selection stays on its row, now 4
  EXPECT_EQ(list.Selected(), 4);
  list.DeleteRow(4);
  list.Select(-1);
  EXPECT_EQ(events, (std::vector<std::string>{"1+ sel=1", "1- sel=-1", "3+ sel=3", "4- sel=-1"}));
  EXPECT_EQ(list.RowCount(), 4);
}

TEST_F(ControlsTest, MultiSelectListKeepsEveryRowAndReportsEach) {
  TestForm form;
  plat::ListView list(form, "list", {0, 0, 200, 100}, {{"a", 50}});
  list.SetMultiSelect(true);
  for (int i = 0; i < 5; ++i) list.AddRow({std::to_string(i)});
  std::vector<std::string> events;
  list.OnSelectItem = [&](int row, bool selected) { events.push_back(std::to_string(row) + (selected ? "+" : "-")); };

  list.UserSelect(3);
  list.UserSelect(1, true);
  list.UserSelect(4, true);
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(list.Selected(), 1);
  list.UserSelect(3, true);  // ctrl-click on a selected row takes it out
  list.DeleteRow(1);         // the selected row reports its loss; 4 becomes 3
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{3}));
  list.UserSelect(0);  // a plain click keeps only the clicked row
  EXPECT_EQ(events, (std::vector<std::string>{"3+", "1+", "4+", "3-", "1-", "3-", "0+"}));
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0}));
}

TEST_F(ControlsTest, ModalFormEndsWithTheResultOfTheButtonPressed) {
  TestForm owner;
  owner.Show();
  TestForm dialog;
  plat::Button ok(dialog, "ok", {0, 0, 80, 24}, "확인");
  ok.SetModalResult(plat::kMrOk);
  int clicks = 0;
  ok.OnClick = [&] { ++clicks; };

  sim::OnNextModal([&](plat::Form& shown) {
    EXPECT_EQ(&shown, &dialog);
    EXPECT_TRUE(dialog.Visible());
    ok.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(&owner), plat::kMrOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(dialog.closes, 1);

  // The close box cancels; a refused close keeps the dialog up until something else ends it.
  sim::OnNextModal([&](plat::Form&) {
    dialog.refuseClose = true;
    EXPECT_FALSE(dialog.Close());
    EXPECT_EQ(dialog.ModalResult(), plat::kMrNone);
    dialog.refuseClose = false;
    EXPECT_TRUE(dialog.Close());
  });
  EXPECT_EQ(dialog.ShowModal(&owner), plat::kMrCancel);
  EXPECT_EQ(dialog.ShowModal(&owner), plat::kMrCancel);  // nobody acted: cancelled
  const auto calls = sim::ModalForms();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].owner, owner.Handle());
  EXPECT_EQ(calls[0].caption, "시험");
}

TEST_F(ControlsTest, MenuShortcutsAndSearch) {
  TestForm form;
  int help = 0, open = 0;
  plat::MenuItem& file = form.MainMenu().Add("파일");
  file.Add("열기(&O)..", [&] { ++open; });
  file.AddSeparator();
  form.MainMenu().Add("도움말").Add("도움말", [&] { ++help; }, plat::kVkF1);

  EXPECT_TRUE(form.HandleShortcut(plat::kVkF1));
  EXPECT_FALSE(form.HandleShortcut(plat::kVkF1 + 1));
  EXPECT_FALSE(form.HandleShortcut(0));
  form.MainMenu().Find("열기(&O)..")->Click();
  EXPECT_EQ(help, 1);
  EXPECT_EQ(open, 1);
  EXPECT_TRUE(file.Items()[1]->IsSeparator());
}

TEST_F(ControlsTest, PlacesFollowParentsPagesAndAnchors) {
  plat::Form form("크기", plat::FormStyle::Sizeable, 400, 300);
  plat::Panel panel(form, "panel", {10, 20, 200, 100});
  plat::Label inPanel(form, "label", {5, 6, 50, 12}, "글", &panel);
  plat::PageControl pages(form, "pages", {0, 130, 300, 150});
  plat::TabSheet first(pages, "first", "첫째"), second(pages, "second", "둘째");
  plat::CheckBox onSecond(form, "check", {8, 9, 60, 17}, "둘", &second);
  plat::ListView list(form, "list", {5, 5, 390, 250}, {{"a", 50}});
  list.SetAnchors(plat::kAnchorLeft | plat::kAnchorTop | plat::kAnchorRight | plat::kAnchorBottom);
  plat::Button close(form, "close", {300, 265, 90, 25}, "닫기");
  close.SetAnchors(plat::kAnchorRight | plat::kAnchorBottom);

  const auto label = inPanel.FormPlace();
  EXPECT_EQ(label.x, 15);
  EXPECT_EQ(label.y, 26);
  const auto area = pages.PageArea();
  EXPECT_EQ(onSecond.FormPlace().x, 0 + area.x + 8);
  EXPECT_EQ(onSecond.FormPlace().y, 130 + area.y + 9);
  EXPECT_FALSE(onSecond.Showing());
  pages.UserSelectPage(1);
  EXPECT_TRUE(onSecond.Showing());
  pages.SetVisible(false);
  EXPECT_FALSE(onSecond.Showing());

  form.UserResize(500, 350);
  EXPECT_EQ(list.FormPlace().width, 490);
  EXPECT_EQ(list.FormPlace().height, 300);
  EXPECT_EQ(close.FormPlace().x, 400);
  EXPECT_EQ(close.FormPlace().y, 315);
  EXPECT_EQ(close.FormPlace().width, 90);
}

TEST_F(ControlsTest, FontsComeFromTheFormUntilAControlHasItsOwn) {
  TestForm form;
  plat::Label a(form, "a", {0, 0, 50, 12}, "가"), b(form, "b", {0, 20, 50, 12}, "나");
  plat::Font formFont;
  formFont.name = "굴림";
  form.SetFont(formFont);
  b.SetBold(true);
  formFont.points = 12;
  form.SetFont(formFont);
  EXPECT_EQ(a.GetFont().points, 12);  // follows the form
  EXPECT_EQ(b.GetFont().points, 9);   // its own copy since it was made bold
  EXPECT_TRUE(b.GetFont().bold);
  EXPECT_EQ(b.GetFont().name, "굴림");
}

TEST_F(ControlsTest, ReleasedFormIsDeletedFromTheMessageLoop) {
  static int destroyed = 0;
  destroyed = 0;
  struct SelfFreeing : plat::Form {
    SelfFreeing() : plat::Form("프롬프트", plat::FormStyle::FixedDialog, 100, 100) {}
    ~SelfFreeing() override { ++destroyed; }
  };
  auto* form = new SelfFreeing();
  form->Show();
  form->Release();
  EXPECT_EQ(destroyed, 0);  // not inside the handler that released it
  plat::ProcessPendingMessages();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
