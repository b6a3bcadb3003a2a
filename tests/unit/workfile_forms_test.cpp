// Work files as text editors save them: CP949, UTF-8 with and without a mark, UTF-16 LE
// and BE; read for what they are, written back in the form they came in. And the codec
// that "Config.ini" shares with them.
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmKeyList.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/msgloop.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "tests/unit/test_support.h"

using namespace kv;
using plat::LineEnd;
using plat::TextEncoding;

namespace {

constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
constexpr unsigned kVkF5 = 0x74, kVkF6 = 0x75;

std::string Utf16Bytes(const std::u16string& units, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : units) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

// The text (given as UTF-16, whatever it holds) as a file of that form.
std::string FileBytes(const std::u16string& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kCp949:
      return plat::TextFromUtf16(text);  // only for texts CP949 spells
    case TextEncoding::kUtf8:
      return plat::Utf16ToUtf8(text);
    case TextEncoding::kUtf8Mark:
      return "\xEF\xBB\xBF" + plat::Utf16ToUtf8(text);
    case TextEncoding::kUtf16Le:
      return Utf16Bytes(text, false);
    case TextEncoding::kUtf16Be:
      return Utf16Bytes(text, true);
  }
  return std::string();
}

const char* Name(TextEncoding e) {
  switch (e) {
    case TextEncoding::kCp949:
      return "CP949";
    case TextEncoding::kUtf8:
      return "UTF-8";
    case TextEncoding::kUtf8Mark:
      return "UTF-8 with mark";
    case TextEncoding::kUtf16Le:
      return "UTF-16 LE";
    case TextEncoding::kUtf16Be:
      return "UTF-16 BE";
  }
  return "?";
}

const TextEncoding kAllForms[] = {TextEncoding::kCp949, TextEncoding::kUtf8, TextEncoding::kUtf8Mark,
                                  TextEncoding::kUtf16Le, TextEncoding::kUtf16Be};

const std::u16string kList =
    u"메모장-P0-Ctrl+Win+F5-프로그램 실행-C:\\probe.exe;ㅡㅡname 메모-True-\r\n"
    u"볼륨-P1-Ctrl+Win+F6-볼륨 높임-null-False-\r\n";

using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(const plat::ListView& list) {
  Rows rows;
  for (int i = 0; i < list.RowCount(); ++i) rows.push_back(list.Row(i));
  return rows;
}

const Rows kListRows = {{"메모장", "P0", "Ctrl+Win+F5", "프로그램 실행", "C:\\probe.exe;ㅡㅡname 메모", "True"},
                        {"볼륨", "P1", "Ctrl+Win+F6", "볼륨 높임", "", "False"}};

class WorkFileFormTest : public SimTest {
 protected:
  ~WorkFileFormTest() override {
    for (Tfrm_KeyList* w : std::vector<Tfrm_KeyList*>(OpenKeyLists())) w->Close();
    plat::ProcessPendingMessages();
  }
  // Each case may start a fresh machine, with a fresh program folder.
  static std::string Path() { return plat::ProgramFolder() + "MyJob.ini"; }
  std::string Write(const std::string& bytes) { return WriteProgramFile("MyJob.ini", bytes); }
  std::vector<std::string> Launches() {
    std::vector<std::string> files;
    for (const sim::ShellCall& call : sim::ShellCalls()) files.push_back(call.file + "|" + call.parameters);
    return files;
  }
};

// ---------------------------------------------------------------- the codec

TEST(TextFileCodec, EachFormReadsAsWhatItSaysAndWritesBackExactly) {
  // Korean, a character CP949 cannot spell and one beyond the basic plane, in three lines.
  const std::u16string text = u"가-é-\U0001F600\r\n둘\nㅡ\r";
  for (TextEncoding e : kAllForms) {
    if (e == TextEncoding::kCp949) continue;
    const std::string bytes = FileBytes(text, e);
    const plat::DecodedText d = plat::DecodeText(bytes, true);
    EXPECT_EQ(d.encoding, e) << Name(e);
    EXPECT_TRUE(d.exact) << Name(e);
    EXPECT_EQ(plat::TextToUtf16(d.text), text) << Name(e);
    EXPECT_EQ(d.text.substr(0, 3), "가-") << Name(e);  // the program's CP949
    EXPECT_EQ(plat::EncodeText(d.text, e), bytes) << Name(e);
  }
  // CP949 bytes pass through untouched, also bytes that spell nothing.
  const std::string cp949 = "가\xFE\x20\x81-\r\n";
  const plat::DecodedText d = plat::DecodeText(cp949, true);
  EXPECT_EQ(d.encoding, TextEncoding::kCp949);
  EXPECT_EQ(d.text, cp949);
  EXPECT_TRUE(d.exact);
  EXPECT_EQ(plat::EncodeText(cp949, TextEncoding::kCp949), cp949);
}

TEST(TextFileCodec, UnmarkedFilesAreUtf8OnlyWhenNothingElseFits) {
  struct Case {
    std::string bytes;
    TextEncoding read;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"a-P0-F5-k-i-True-\r\n", TextEncoding::kCp949, "pure ASCII: the same bytes either way, so CP949"},
      {"", TextEncoding::kCp949, "nothing at all"},
      {"볼륨 높임", TextEncoding::kCp949, "Korean in CP949"},
      {"짜", TextEncoding::kUtf8, "the CP949 syllable C2 A5 is also U+00A5: whole and valid, taken for UTF-8"},
      {"짜-P0-F5-볼륨 높임-x-True-", TextEncoding::kCp949, "with a kind name beside it it is not valid UTF-8"},
      {"\xC2\x81", TextEncoding::kCp949, "a CP949 syllable that would be the control character U+0081"},
      {"\xC0\xAF", TextEncoding::kCp949, "an overlong form"},
      {"\xED\xA0\x80", TextEncoding::kCp949, "a surrogate"},
      {"\xF4\x90\x80\x80", TextEncoding::kCp949, "beyond U+10FFFF"},
      {u8"끝\xEA\xB0", TextEncoding::kCp949, "a sequence cut short at the end"},
      {u8"a-é-\U0001F600", TextEncoding::kUtf8, "two-, three- and four-byte sequences"},
      {u8"메모\u0085", TextEncoding::kCp949, "U+0085 never stands in a saved text"},
  };
  for (const Case& c : cases) {
    const plat::DecodedText d = plat::DecodeText(c.bytes, true);
    EXPECT_EQ(d.encoding, c.read) << c.why;
    // Whichever way an unmarked file is taken, an unchanged text is written back as it was.
    EXPECT_EQ(plat::EncodeText(d.text, d.encoding), c.bytes) << c.why;
  }
  EXPECT_EQ(plat::TextToUtf16(plat::DecodeText("짜", true).text), u"\u00A5");
  // "Config.ini" is read as the system's profile functions read it: unmarked is CP949.
  EXPECT_EQ(plat::DecodeText(u8"메모", false).encoding, TextEncoding::kCp949);
}

TEST(TextFileCodec, DamagedFilesReadWithoutCrashAndSaySo) {
  struct Case {
    std::string bytes;
    TextEncoding read;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {"\xFF\xFE", TextEncoding::kUtf16Le, u""},
      {"\xFF\xFE"
       "A",
       TextEncoding::kUtf16Le, u""},  // a mark and half a unit
      {std::string("\xFF\xFE"
                   "A\0B",
                   5),
       TextEncoding::kUtf16Le, u"A"},  // an odd byte count: the last byte has no unit
      {std::string("\xFE\xFF\0A\xAC", 5), TextEncoding::kUtf16Be, u"A"},
      {"\xEF\xBB\xBF"
       "a\xC3z",
       TextEncoding::kUtf8Mark, u"a\uFFFDz"},  // a malformed sequence after the mark
      {"\xEF\xBB\xBF\xE1\x80", TextEncoding::kUtf8Mark, u"\uFFFD"},
  };
  for (const Case& c : cases) {
    const plat::DecodedText d = plat::DecodeText(c.bytes, true);
    EXPECT_EQ(d.encoding, c.read);
    EXPECT_EQ(plat::TextToUtf16(d.text), c.text);
    EXPECT_EQ(d.exact, c.bytes.size() == 2) << "only the bare mark is whole";
  }
  // A lone surrogate in UTF-16 is kept as it is.
  const std::string lone = Utf16Bytes(std::u16string{u'a', 0xD800, u'b'}, false);
  EXPECT_TRUE(plat::DecodeText(lone, true).exact);
  EXPECT_EQ(plat::EncodeText(plat::DecodeText(lone, true).text, TextEncoding::kUtf16Le), lone);
}

TEST(TextFileCodec, LineEndsAndWhatAFormCanCarry) {
  EXPECT_EQ(plat::FirstLineEnd("a\r\nb\n"), LineEnd::kCrLf);
  EXPECT_EQ(plat::FirstLineEnd("a\nb\r\n"), LineEnd::kLf);
  EXPECT_EQ(plat::FirstLineEnd("a\rb"), LineEnd::kCr);
  EXPECT_EQ(plat::FirstLineEnd("a\r"), LineEnd::kCr);
  EXPECT_EQ(plat::FirstLineEnd("one line"), LineEnd::kCrLf);
  EXPECT_EQ(plat::FirstLineEnd(""), LineEnd::kCrLf);

  const std::string escaped = plat::TextFromUtf16(u"Café 가");
  for (TextEncoding e : kAllForms) {
    EXPECT_TRUE(plat::EncodesExactly(escaped, e)) << Name(e);
    // Bytes that spell no CP949 character have no character to become in a UTF form.
    EXPECT_EQ(plat::EncodesExactly("a\x81-b", e), e == TextEncoding::kCp949) << Name(e);
  }
}

// ---------------------------------------------------------------- the work file

TEST_F(WorkFileFormTest, EveryFormStartsRunsShowsAndSavesBackByteForByte) {
  for (TextEncoding e : kAllForms) {
    sim::Reset();
    const std::string bytes = FileBytes(kList, e);
    Write(bytes);
    {
      // Start-up: the resident hotkeys come from the file.
      Tfrm_main editor;
      EXPECT_EQ(RowsOf(editor.WorkList), kListRows) << Name(e);
      EXPECT_EQ(editor.Doc.FileForm().encoding, e) << Name(e);
      EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF5)) << Name(e);
      EXPECT_EQ(Launches(), (std::vector<std::string>{"C:\\probe.exe|--name 메모"})) << Name(e);
      EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF6)) << Name(e) << ": an entry that is not active";

      // The list window reads it the same way.
      Tfrm_KeyList* list = ShowKeyList();
      EXPECT_EQ(RowsOf(list->WorkList), kListRows) << Name(e);

      // The editor shown reloads it; applied unchanged, the file is the same, byte for byte.
      editor.Show();
      EXPECT_EQ(RowsOf(editor.WorkList), kListRows) << Name(e);
      ASSERT_TRUE(editor.Apply()) << Name(e);
      EXPECT_EQ(ReadFileBytes(Path()), bytes) << Name(e);

      // An edit applied writes the same form.
      editor.WorkList.UserSelect(1);
      editor.txt_subject.UserEdit("소리 크게");
      ASSERT_TRUE(editor.Apply()) << Name(e);
      EXPECT_EQ(ReadFileBytes(Path()),
                FileBytes(u"메모장-P0-Ctrl+Win+F5-프로그램 실행-C:\\probe.exe;ㅡㅡname 메모-True-\r\n"
                          u"소리 크게-P1-Ctrl+Win+F6-볼륨 높임-null-False-\r\n",
                          e))
          << Name(e);

      // So does the closing question's Yes.
      editor.WorkList.UserSelect(0);
      editor.txt_subject.UserEdit("메모");
      sim::AnswerNextBox(plat::kIdYes);
      editor.Close();
      EXPECT_FALSE(editor.Visible()) << Name(e);
      EXPECT_EQ(ReadFileBytes(Path()),
                FileBytes(u"메모-P0-Ctrl+Win+F5-프로그램 실행-C:\\probe.exe;ㅡㅡname 메모-True-\r\n"
                          u"소리 크게-P1-Ctrl+Win+F6-볼륨 높임-null-False-\r\n",
                          e))
          << Name(e);
      EXPECT_EQ(ReadFileBytes(Path() + ".bak"), "<missing>") << Name(e) << ": nothing to keep";
      for (Tfrm_KeyList* w : std::vector<Tfrm_KeyList*>(OpenKeyLists())) w->Close();
      plat::ProcessPendingMessages();
    }
  }
}

TEST_F(WorkFileFormTest, LineEndsOfOtherEditorsReadAsLinesAndAreKept) {
  struct Case {
    std::u16string end;
    TextEncoding encoding;
  };
  const std::vector<Case> cases = {{u"\n", TextEncoding::kCp949},   {u"\r", TextEncoding::kCp949},
                                   {u"\n", TextEncoding::kUtf8},    {u"\r", TextEncoding::kUtf8Mark},
                                   {u"\r", TextEncoding::kUtf16Le}, {u"\n", TextEncoding::kUtf16Be}};
  for (const Case& c : cases) {
    const std::u16string text = u"메모장-P0-Ctrl+Win+F5-프로그램 실행-C:\\probe.exe;ㅡㅡname 메모-True-" + c.end +
                                u"볼륨-P1-Ctrl+Win+F6-볼륨 높임-null-False-" + c.end;
    const std::string bytes = FileBytes(text, c.encoding);
    Write(bytes);
    Tfrm_main editor;
    EXPECT_EQ(RowsOf(editor.WorkList), kListRows) << Name(c.encoding);
    ASSERT_TRUE(SaveWorkFile(Path(), editor));
    EXPECT_EQ(ReadFileBytes(Path()), bytes) << Name(c.encoding);
  }
  // The first line's end is the file's; a single line without one gets CR LF.
  Write("a-P0-A-k-i-True-");
  Tfrm_main editor;
  ASSERT_TRUE(SaveWorkFile(Path(), editor));
  EXPECT_EQ(ReadFileBytes(Path()), "a-P0-A-k-i-True-\r\n");
}

TEST_F(WorkFileFormTest, CharactersCp949CannotSpellAreKeptAndReachTheProgram) {
  // (Texts with such characters stay out of the test macros, which spell their arguments
  // in the program's code page.)
  const std::u16string description = u"Café \U0001F600", program = u"C:\\Café\\probe.exe";
  const std::u16string text = description + u"-P0-Ctrl+Win+F5-프로그램 실행-" + program + u"-True-\r\n" +
                              u"입력-P1-Ctrl+Win+F6-키값자동 입력-café ☕;VK_RETURN-True-\r\n";
  for (TextEncoding e : {TextEncoding::kUtf8, TextEncoding::kUtf8Mark, TextEncoding::kUtf16Le}) {
    sim::Reset();
    const std::string bytes = FileBytes(text, e);
    Write(bytes);
    Tfrm_main editor;
    ASSERT_EQ(editor.WorkList.RowCount(), 2) << Name(e);
    EXPECT_EQ(plat::TextToUtf16(editor.WorkList.Cell(0, kColDescription)), description) << Name(e);
    sim::PressHotKey(kCtrlWin, kVkF5);
    ASSERT_EQ(sim::ShellCalls().size(), 1u) << Name(e);
    EXPECT_EQ(plat::TextToUtf16(sim::ShellCalls()[0].file), program) << Name(e);
    // A key sequence types them as written.
    sim::PressHotKey(kCtrlWin, kVkF6);
    bool typed = false;
    for (const sim::ClipboardChange& c : sim::ClipboardChanges())
      typed = typed || (c.text && plat::TextToUtf16(*c.text) == u"café ☕");
    EXPECT_TRUE(typed) << Name(e);
    editor.Show();
    ASSERT_TRUE(editor.Apply());
    EXPECT_EQ(ReadFileBytes(Path()), bytes) << Name(e);
    EXPECT_TRUE(sim::Boxes().empty()) << Name(e);
    EXPECT_EQ(ReadFileBytes(Path() + ".bak"), "<missing>") << Name(e);
  }
}

TEST_F(WorkFileFormTest, ACp949FileNeverTakesACharacterItCannotSpell) {
  // "café ☕" pasted at the end of a description in a CP949 list; 적용 asks, naming them.
  const std::string old = FileBytes(kList, TextEncoding::kCp949);
  const std::string cafe = plat::TextFromUtf16(u"café ☕ é");
  const std::u16string utf8List = u"메모장café ☕ é-P0-Ctrl+Win+F5-프로그램 실행-C:\\probe.exe;ㅡㅡname 메모-True-\r\n"
                                  u"볼륨-P1-Ctrl+Win+F6-볼륨 높임-null-False-\r\n";
  const auto edit = [&](Tfrm_main& editor) {
    editor.WorkList.UserSelect(0);
    editor.txt_subject.UserEdit("메모장" + cafe);
  };
  {
    Write(old);
    Tfrm_main editor;
    edit(editor);
    sim::AnswerNextBox(plat::kIdCancel);
    EXPECT_FALSE(editor.Apply());
    ASSERT_EQ(sim::Boxes().size(), 1u);
    const std::u16string asked = plat::TextToUtf16(sim::Boxes()[0].text);
    const std::u16string named = u"é (U+00E9)\r\n    ☕ (U+2615)\r\n\r\n예:";
    EXPECT_NE(asked.find(named), std::u16string::npos);
    EXPECT_NE(asked.find(u"MyJob.ini.bak"), std::u16string::npos);
    EXPECT_EQ(ReadFileBytes(Path()), old) << "cancelled: nothing written";
    EXPECT_TRUE(editor.Doc.Modified());

    // 아니요: the characters leave the list, which is saved in CP949 and shows it.
    sim::AnswerNextBox(plat::kIdNo);
    ASSERT_TRUE(editor.Apply());
    EXPECT_EQ(ReadFileBytes(Path()), "메모장caf  -P0-Ctrl+Win+F5-프로그램 실행-C:\\probe.exe;ㅡㅡname 메모-True-\r\n"
                                     "볼륨-P1-Ctrl+Win+F6-볼륨 높임-null-False-\r\n");
    EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "메모장caf  ");
    EXPECT_EQ(ReadFileBytes(Path() + ".bak"), "<missing>");
  }
  // 예: UTF-8 with its mark from now on, the CP949 file kept beside it; then no more asking.
  // So also for 다른 이름으로 저장.
  for (bool saveAs : {false, true}) {
    sim::Reset();
    Write(old);
    Tfrm_main editor;
    edit(editor);
    const std::string target = saveAs ? plat::ProgramFolder() + "다른.ini" : Path();
    sim::AnswerNextBox(plat::kIdYes);
    if (saveAs) {
      sim::AnswerNextFileDialog(target);
      editor.S1Click();
    } else {
      ASSERT_TRUE(editor.Apply());
    }
    EXPECT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(ReadFileBytes(target), FileBytes(utf8List, TextEncoding::kUtf8Mark)) << saveAs;
    EXPECT_EQ(ReadFileBytes(target + ".bak"), saveAs ? "<missing>" : old);
    EXPECT_EQ(editor.Doc.FileForm().encoding, TextEncoding::kUtf8Mark);
    ASSERT_TRUE(editor.Apply());
    EXPECT_EQ(sim::Boxes().size(), 1u);
  }
}

TEST_F(WorkFileFormTest, DamagedFilesLoadWhatTheyCanAndAreKeptBeforeTheFirstSave) {
  const std::string line = "a-P0-A-k-i-True-\r\n";
  const std::vector<std::string> damaged = {
      Utf16Bytes(u"a-P0-A-k-i-True-\r\n", false) + "\x62",                  // an odd byte at the end
      Utf16Bytes(u"a-P0-A-k-i-True-\r\n", true).substr(0, 2 + 2 * 16 + 1),  // cut inside a unit
      "\xEF\xBB\xBF" + line + "b-P1-B-k-\xC3-True-\r\n",                    // a malformed sequence
  };
  for (const std::string& bytes : damaged) {
    sim::Reset();
    Write(bytes);
    Tfrm_main editor;
    ASSERT_GE(editor.WorkList.RowCount(), 1);
    EXPECT_EQ(editor.WorkList.Row(0), (std::vector<std::string>{"a", "P0", "A", "k", "i", "True"}));
    EXPECT_EQ(editor.Doc.IncompletePath(), Path());
    ASSERT_TRUE(SaveWorkFile(Path(), editor));
    EXPECT_EQ(ReadFileBytes(Path() + ".bak"), bytes) << "the original, whole";
    EXPECT_EQ(plat::DecodeText(ReadFileBytes(Path()), true).encoding, editor.Doc.FileForm().encoding);
  }
}

TEST_F(WorkFileFormTest, TextAUtfFormCannotCarryIsToldBeforeTheFileIsReplaced) {
  // Bytes that spell no CP949 character (read from a damaged CP949 file), in a list whose
  // file is UTF-8.
  const std::string old = FileBytes(kList, TextEncoding::kUtf8Mark);
  Write(old);
  Tfrm_main editor;
  editor.WorkList.SetCell(0, kColInfo, "C:\\x\x81.exe");
  sim::OnBox([&](const sim::Box&) { EXPECT_EQ(ReadFileBytes(Path()), old) << "not yet replaced"; });
  ASSERT_TRUE(SaveWorkFile(Path(), editor));
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].caption, "알림말");
  EXPECT_EQ(sim::Boxes()[0].text,
            "목록에 UTF-8로 쓸 수 없는 글자가 있습니다. 그 글자는 대체 문자로 바뀌어 저장됩니다.\r\n\r\n"
            "원래 파일은 다음 이름으로 보관했습니다:\r\n" +
                Path() + ".bak");
  EXPECT_EQ(ReadFileBytes(Path() + ".bak"), old);
  // Still UTF-8 with its mark, whole; how the system's tables replace the stray byte (U+FFFD
  // for it alone, or "?" for it and the byte after it) is theirs to say.
  const plat::DecodedText now = plat::DecodeText(ReadFileBytes(Path()), true);
  EXPECT_EQ(now.encoding, TextEncoding::kUtf8Mark);
  EXPECT_TRUE(now.exact);
  EXPECT_EQ(editor.WorkList.Row(1), kListRows[1]);
  const std::string info = editor.WorkList.Cell(0, kColInfo);
  EXPECT_EQ(info.substr(0, 4), "C:\\x");
  EXPECT_EQ(info.find('\x81'), std::string::npos);
  // The list shows what the file now holds.
  EXPECT_EQ(RowsOf(ShowKeyList()->WorkList), RowsOf(editor.WorkList));
  // Half of a UTF-16 pair (in a folder name Windows allows) is told alike.
  sim::OnBox(nullptr);
  editor.WorkList.SetCell(0, kColInfo, "C:\\x\xFF" "DABD.exe");
  ASSERT_TRUE(SaveWorkFile(Path(), editor));
  EXPECT_EQ(sim::Boxes().size(), 2u);
}

TEST_F(WorkFileFormTest, TheFormFollowsTheListItCameWith) {
  // Save As writes the list's form; a list from no file is CP949.
  Write(FileBytes(kList, TextEncoding::kUtf16Le));
  {
    Tfrm_main editor;
    const std::string other = plat::ProgramFolder() + "다른.ini";
    sim::AnswerNextFileDialog(other);
    editor.S1Click();
    EXPECT_EQ(ReadFileBytes(other), FileBytes(kList, TextEncoding::kUtf16Le));
  }
  sim::Reset();
  {
    Tfrm_main editor;
    AddEntry({"새", "P0", "", kKindWebSite, "", "True"}, editor.WorkList);
    ASSERT_TRUE(editor.Apply());
    EXPECT_EQ(ReadFileBytes(Path()), "새-P0-null-웹사이트 이동-null-True-\r\n");
  }
  // A file that is a mark and nothing else (Notepad's empty "Unicode" file) gets its
  // first entries in its form.
  for (TextEncoding e : {TextEncoding::kUtf8Mark, TextEncoding::kUtf16Le, TextEncoding::kUtf16Be}) {
    sim::Reset();
    Write(FileBytes(u"", e));
    Tfrm_main editor;
    AddEntry({"새", "P0", "", kKindWebSite, "", "True"}, editor.WorkList);
    ASSERT_TRUE(editor.Apply());
    EXPECT_EQ(ReadFileBytes(Path()), FileBytes(u"새-P0-null-웹사이트 이동-null-True-\r\n", e)) << Name(e);
  }
  // A pure ASCII file is CP949 (the same bytes as UTF-8): Korean added to it is CP949.
  sim::Reset();
  Write("a-P0-A-k-i-True-\n");
  Tfrm_main editor;
  editor.WorkList.SetCell(0, kColDescription, "한글");
  ASSERT_TRUE(editor.Apply());
  EXPECT_EQ(ReadFileBytes(Path()), "한글-P0-A-k-i-True-\n");
  // A first description whose bytes begin like a mark (癤요 is EF BB BF E4 in CP949) stays
  // CP949: the file reads back as the same list.
  editor.WorkList.SetCell(0, kColDescription, "癤요");
  ASSERT_TRUE(editor.Apply());
  ASSERT_TRUE(LoadWorkFile(Path(), editor.WorkList, editor));
  EXPECT_EQ(editor.WorkList.Row(0), std::vector<std::string>({"癤요", "P0", "A", "k", "i", "True"}));
  EXPECT_EQ(editor.Doc.FileForm().encoding, TextEncoding::kCp949);
}

}  // namespace
