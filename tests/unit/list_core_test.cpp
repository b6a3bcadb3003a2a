// Entries and IDs, item splitting, hotkey texts and the editor's key controls.
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

class ListForm : public plat::Form {
 public:
  ListForm() : plat::Form("list", plat::FormStyle::HiddenHost, 0, 0) {}
  plat::ListView list{*this, "list", {0, 0, 10, 10}, std::vector<plat::ListView::Column>(kEntryColumns)};
};

class ListTest : public SimTest {
 protected:
  void Add(const std::string& id, const std::string& hotkey = "") {
    AddEntry({"", id, hotkey, kKindWebSite, "", "True"}, form.list);
  }
  ListForm form;
};

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> items;
  SplitItems(text, sep, items);
  return items;
}

using Items = std::vector<std::string>;

}  // namespace

TEST_F(ListTest, NewEntryIdFillsTheSmallestGap) {
  EXPECT_EQ(NewEntryId(form.list), "P0");
  Add("p0");  // letter case counts
  EXPECT_EQ(NewEntryId(form.list), "P0");
  Add("P0");
  Add("P1");
  Add("P3");
  EXPECT_EQ(NewEntryId(form.list), "P2");
  Add("P2");
  EXPECT_EQ(NewEntryId(form.list), "P4");
  // Look-alikes of P4 are not P4.
  for (const char* id : {"P04", "P4 ", " P4", "P+4", "P4x", "P99999999999999999999"}) Add(id);
  EXPECT_EQ(NewEntryId(form.list), "P4");
}

// Numbers past every integer width must not wrap onto small IDs: 4294967296 is 2^32 and
// 18446744073709551617 is 2^64 + 1, which a 32- or 64-bit accumulator turns into 0 or 1.
TEST_F(ListTest, NewEntryIdIgnoresNumbersBeyondAnyWidth) {
  Add("P4294967296");
  EXPECT_EQ(NewEntryId(form.list), "P0");
  Add("P4294967297");
  Add("P18446744073709551617");
  Add("P18446744073709551616");
  EXPECT_EQ(NewEntryId(form.list), "P0");
  Add("P0");
  EXPECT_EQ(NewEntryId(form.list), "P1");
  Add("P1");
  EXPECT_EQ(NewEntryId(form.list), "P2");
}

TEST_F(ListTest, NewEntryAfterDeleteTakesTheGapAndGoesLast) {
  for (int i = 0; i < 5; ++i) AddEntry(NewEntry(form.list), form.list);
  form.list.DeleteRow(1);
  AddEntry(NewEntry(form.list), form.list);
  ASSERT_EQ(form.list.RowCount(), 5);
  EXPECT_EQ(form.list.Cell(4, kColId), "P1");
  EXPECT_EQ(form.list.Cell(3, kColId), "P4");
  const HotkeyEntry fresh = EntryOfRow(form.list, 4);
  EXPECT_EQ(fresh.description, "");
  EXPECT_EQ(fresh.hotkey, "");
  EXPECT_EQ(fresh.kind, "웹사이트 이동");
  EXPECT_EQ(fresh.info, "");
  EXPECT_EQ(fresh.active, "True");
}

TEST_F(ListTest, IdExistsIsExact) {
  Add("P12");
  EXPECT_TRUE(IdExists(form.list, "P12"));
  EXPECT_FALSE(IdExists(form.list, "P1"));
  EXPECT_FALSE(IdExists(form.list, "p12"));
}

TEST(InfoText, DashesBecomeEuAndBack) {
  EXPECT_EQ(EncodeInfoText("a-b-c"), "aㅡbㅡc");
  EXPECT_EQ(EncodeInfoText("a-b-c"),
            "a\xA4\xD1"
            "b\xA4\xD1"
            "c");
  EXPECT_EQ(DecodeInfoText(EncodeInfoText("--x--")), "--x--");
  EXPECT_EQ(EncodeInfoText("한글 no dash"), "한글 no dash");
  EXPECT_EQ(DecodeInfoText("가ㅡ나"), "가-나");
  // Two characters, the first ending in 0xA4 and the second starting with 0xD1: their
  // boundary is not a "ㅡ".
  const std::string across = "\xB0\xA4\xD1\xA1";
  EXPECT_EQ(DecodeInfoText(across), across);
  EXPECT_EQ(DecodeInfoText(across + "ㅡ"), across + "-");
}

TEST(InfoText, LetterCaseChangesOnlyAsciiLetters) {
  // 0x81 0x41 is one character whose second byte is the code of "A".
  EXPECT_EQ(LowerAscii("AbC\x81\x41.EXE"), "abc\x81\x41.exe");
  EXPECT_EQ(UpperAscii("notepad\x81\x61.exe"), "NOTEPAD\x81\x61.EXE");
}

TEST(SplitItemsRule, Table) {
  struct {
    const char* text;
    char sep;
    Items items;
  } const cases[] = {
      {"", '-', {}},
      {"--", '-', {}},
      {"a-b-", '-', {"a", "b"}},
      {"  a - b", '-', {"a ", "b"}},  // blanks before go, blanks after stay
      {"a\r\nb", '-', {"a", "b"}},    // line ends end items
      {"a-\r\n  -b", '-', {"a", "b"}},
      {"'a-b'-c", '-', {"'a-b'", "c"}},  // quotes group and stay
      {"\"a-b\"c-d", '-', {"\"a-b\"c", "d"}},
      {"'a\"-b'-c", '-', {"'a\"-b'-c"}},  // the other mark takes over closing
      {"'a\"-b\"-c", '-', {"'a\"-b\"", "c"}},
      {"'open-to-end", '-', {"'open-to-end"}},
      {"Ctrl+Win+F5", '+', {"Ctrl", "Win", "F5"}},
      {"a, b ,c", ',', {"a", "b ", "c"}},
      {"한글-값", '-', {"한글", "값"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.text, c.sep), c.items) << c.text;
  // Appends to what the caller already has.
  Items items{"x"};
  SplitItems("y-z", '-', items);
  EXPECT_EQ(items, (Items{"x", "y", "z"}));
}

TEST(HotKeyText, ParseAndFormat) {
  const HotKeyParts none = ParseHotKeyText("");
  EXPECT_FALSE(none.shift || none.ctrl || none.alt || none.win);
  EXPECT_EQ(none.key, "");

  const HotKeyParts p = ParseHotKeyText("Ctrl+Win+Numpad5");
  EXPECT_TRUE(p.ctrl && p.win && !p.shift && !p.alt);
  EXPECT_EQ(p.key, "Numpad5");
  EXPECT_EQ(KeyNameIndex(p.key), 65);

  const HotKeyParts lower = ParseHotKeyText("ctrl+A");
  EXPECT_FALSE(lower.ctrl);
  EXPECT_EQ(lower.key, "A");  // the later token replaces "ctrl"

  const HotKeyParts partial = ParseHotKeyText("Ctrl+");
  EXPECT_TRUE(partial.ctrl);
  EXPECT_EQ(partial.key, "");

  EXPECT_EQ(FormatHotKeyText(ParseHotKeyText("Win+Shift+F5")), "Shift+Win+F5");
  // "Alt " with its trailing blank is no modifier: it is a key name, replaced by the later "Z".
  EXPECT_EQ(FormatHotKeyText(ParseHotKeyText(" Alt + Z")), "Z");
}

TEST(HotKeyText, KeyNamesIgnoreLetterCaseOnly) {
  EXPECT_EQ(FindKeyName("f1"), 76);
  EXPECT_EQ(FindKeyName("NUMPAD5"), 65);
  EXPECT_EQ(FindKeyName("None"), 0);
  EXPECT_EQ(FindKeyName("F25"), -1);
  EXPECT_EQ(FindKeyName(""), -1);
  EXPECT_EQ(KeyNameIndex("F25"), 0);
}

TEST_F(ListTest, ReservedAndUsedHotKeysAreRefused) {
  EXPECT_FALSE(IsHotKeyFree(form.list, "Ctrl+Win+F1"));
  EXPECT_FALSE(IsHotKeyFree(form.list, "Ctrl+Win+F2"));
  EXPECT_TRUE(IsHotKeyFree(form.list, "Ctrl+Win+F3"));
  Add("P0", "Ctrl+Win+F3");
  EXPECT_FALSE(IsHotKeyFree(form.list, "Ctrl+Win+F3"));
  // The same combination written otherwise (by hand, or by an older copy) collides too.
  EXPECT_FALSE(IsHotKeyFree(form.list, "Ctrl+Win+f3"));
  Add("P1", "Win+Shift+n");
  EXPECT_FALSE(IsHotKeyFree(form.list, "Shift+Win+N"));
  EXPECT_TRUE(IsHotKeyFree(form.list, "Ctrl+Shift+Win+N"));
}

// The editor's modifier boxes and key list.
class EditorKeysTest : public SimTest {
 protected:
  void SetUp() override {
    AddEntry({"", "P0", "Alt+A", kKindWebSite, "", "True"}, editor.WorkList);
    AddEntry({"", "P1", "", kKindWebSite, "", "True"}, editor.WorkList);
  }
  Tfrm_main editor;
};

TEST_F(EditorKeysTest, TextFromBoxesKeepsItsOrder) {
  editor.cbWin.SetChecked(true);
  editor.cbShift.SetChecked(true);
  editor.cmVK.SetItemIndex(FindKeyName("F5"));
  EXPECT_EQ(HotKeyTextFromEditor(editor), "Shift+Win+F5");
  editor.cbShift.SetChecked(false);
  editor.cbWin.SetChecked(false);
  editor.cmVK.SetItemIndex(FindKeyName("A"));
  EXPECT_EQ(HotKeyTextFromEditor(editor), "A");
  editor.cmVK.SetItemIndex(-1);
  editor.cbControl.SetChecked(true);
  EXPECT_EQ(HotKeyTextFromEditor(editor), "Ctrl+");
}

TEST_F(EditorKeysTest, ShowingATextWritesTheSelectedRow) {
  editor.WorkList.Select(1);
  ShowHotKeyText(editor, "Ctrl+Win+F5");
  EXPECT_TRUE(editor.cbControl.Checked());
  EXPECT_TRUE(editor.cbWin.Checked());
  EXPECT_EQ(editor.cmVK.Text(), "F5");
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Ctrl+Win+F5");
  EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(EditorKeysTest, UsedHotKeyIsRefusedWithWarningAndRowKept) {
  editor.WorkList.Select(1);
  ShowHotKeyText(editor, "Ctrl+Win+F7");
  editor.cbControl.SetChecked(false);
  editor.cbWin.SetChecked(false);
  editor.cbAlt.SetChecked(true);
  ASSERT_EQ(editor.WorkList.Cell(1, kColHotKey), "Alt+F7");
  editor.cmVK.UserPick(FindKeyName("A"));
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, "이미 등록된 단축키 입니다. 다른 단축키를 선택해 주세요");
  EXPECT_EQ(sim::Boxes()[0].caption, "알림말");
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbIconWarning);
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Alt+F7");
  EXPECT_EQ(editor.cmVK.Text(), "F7");  // the fields show the row's combination again
  EXPECT_TRUE(editor.Doc.Modified());        // the user's pick marks the list changed
}

TEST_F(EditorKeysTest, UnknownKeyNameSelectsNothing) {
  editor.WorkList.Select(1);
  editor.cmVK.SetItemIndex(FindKeyName("F5"));
  ShowHotKeyText(editor, "Win+Bogus");
  EXPECT_EQ(editor.cmVK.ItemIndex(), -1);
  EXPECT_EQ(editor.WorkList.Cell(1, kColHotKey), "Win+");
}
