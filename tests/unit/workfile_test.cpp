// The work file: exact bytes written, what reads back, and that saving loses nothing.
#include <algorithm>
#include <filesystem>
#include <random>
#include <tuple>

#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

class WorkFileTest : public SimTest {
 protected:
  std::vector<std::vector<std::string>> Rows() {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < editor.WorkList.RowCount(); ++i) rows.push_back(editor.WorkList.Row(i));
    return rows;
  }
  Tfrm_main editor;
};

const char* const kTitle = " 키베인 v1.5 - ";

std::string ReadBack(const std::string& stored) { return stored == "null" ? std::string() : stored; }

int QuoteMarks(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\'') + std::count(text.begin(), text.end(), '"'));
}

// Whether no quoted stretch is open at the end of a field, judged by the reader itself.
bool EndsOutsideQuotes(std::string text) {
  for (char& c : text)
    if (c == '-' || c == '\r' || c == '\n') c = '_';
  std::vector<std::string> items;
  SplitItems(text + "-z", '-', items);
  return !items.empty() && items.back() == "z";
}

// The fewest quote marks whose replacement leaves no stretch open, tried over every subset.
int FewestMarksToReplace(const std::string& text) {
  std::vector<std::size_t> marks;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\'' || text[i] == '"') marks.push_back(i);
  int fewest = static_cast<int>(marks.size());
  for (unsigned set = 0; set < (1u << marks.size()); ++set) {
    std::string t = text;
    int n = 0;
    for (std::size_t k = 0; k < marks.size(); ++k)
      if (set & (1u << k)) t[marks[k]] = 'X', ++n;
    if (n < fewest && EndsOutsideQuotes(t)) fewest = n;
  }
  return fewest;
}

std::vector<std::string> FolderNames() {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(plat::ProgramFolder()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST_F(WorkFileTest, SavesExactBytes) {
  AddEntry({"Notes", "P0", "Ctrl+Win+N", kKindRunProgram, "notepad.exe", "True"}, editor.WorkList);
  AddEntry({"", "P3", "Ctrl+Alt+Up", kKindVolumeUp, "", "True"}, editor.WorkList);
  const std::string path = plat::ProgramFolder() + "MyJob.ini";
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_EQ(ReadFileBytes(path),
            "Notes-P0-Ctrl+Win+N-프로그램 실행-notepad.exe-True-\r\n"
            "null-P3-Ctrl+Alt+Up-볼륨 높임-null-True-\r\n");
  EXPECT_EQ(editor.Doc.Path(), path);
  EXPECT_EQ(editor.Caption(), kTitle + path);
}

TEST_F(WorkFileTest, EmptyListWritesAnEmptyFileAndKeepsTheOldOneBeside) {
  const std::string path = WriteProgramFile("MyJob.ini", "a-P0-A-k-i-True-\r\n");
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_EQ(ReadFileBytes(path), "");
  EXPECT_EQ(ReadFileBytes(path + ".bak"), "a-P0-A-k-i-True-\r\n");
  EXPECT_EQ(editor.Caption(), kTitle + path);
  EXPECT_EQ(editor.Doc.Path(), path);
}

TEST_F(WorkFileTest, LoadsLinesOfOriginalFilesAsBefore) {
  const std::string path = WriteProgramFile("old.ini",
                                            "null-P0-Ctrl+Alt+Up-볼륨 높임-null-True-\r\n"
                                            " lead-P1-A-k-aㅡb-False-\n"
                                            "null-P2-B-k-'q-uoted'-true-\r"
                                            "d-P3-C-k-i-True-\r\n"
                                            "\r\n"
                                            "after-P4-D-k-i-True-\r\n");
  ASSERT_TRUE(LoadWorkFile(path, editor.WorkList, editor));
  EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{{"", "P0", "Ctrl+Alt+Up", "볼륨 높임", "", "True"},
                                                           {"lead", "P1", "A", "k", "aㅡb", "False"},
                                                           {"", "P2", "B", "k", "'q-uoted'", "true"},
                                                           {"d", "P3", "C", "k", "i", "True"}}));
  EXPECT_EQ(editor.Doc.Path(), path);
  EXPECT_EQ(editor.Caption(), kTitle + path);
}

TEST_F(WorkFileTest, NulEndsTheText) {
  // Not "nul.ini": on Windows that name is the NUL device, and nothing would be written.
  const std::string path = WriteProgramFile("zero.ini", std::string("a-P0-A-k-i-True-\r\nb-P1-B-k\0-i-True-\r\n", 37));
  ASSERT_TRUE(LoadWorkFile(path, editor.WorkList, editor));
  ASSERT_EQ(editor.WorkList.RowCount(), 1);
  EXPECT_EQ(editor.Doc.IncompletePath(), path);
}

TEST_F(WorkFileTest, EmptyFileIsAnEmptyListOfItsOwn) {
  AddEntry({"keep", "P0", "", kKindWebSite, "", "True"}, editor.WorkList);
  const std::string path = WriteProgramFile("empty.ini", "");
  ASSERT_TRUE(LoadWorkFile(path, editor.WorkList, editor));
  // What the user adds now is saved into that file, never into the one before.
  EXPECT_EQ(editor.WorkList.RowCount(), 0);
  EXPECT_EQ(editor.Doc.Path(), path);
  EXPECT_EQ(editor.Caption(), " 키베인 v1.5 - " + path);
}

TEST_F(WorkFileTest, UnreadableFileShowsErrorAndChangesNothing) {
  AddEntry({"keep", "P0", "", kKindWebSite, "", "True"}, editor.WorkList);
  const std::string path = WriteProgramFile("locked.ini", "a-P0-A-k-i-True-\r\n");
  sim::LockFile(path);
  EXPECT_FALSE(LoadWorkFile(path, editor.WorkList, editor));
  EXPECT_FALSE(LoadWorkFile(plat::ProgramFolder() + "missing.ini", editor.WorkList, editor));
  ASSERT_EQ(sim::Boxes().size(), 2u);
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbIconError);
  EXPECT_NE(sim::Boxes()[0].text.find(path), std::string::npos);
  EXPECT_EQ(editor.WorkList.Cell(0, kColDescription), "keep");
  EXPECT_EQ(editor.Doc.Path(), DefaultWorkFile());
}

TEST_F(WorkFileTest, FileNotReadIsKeptOnceItCanBeReadAgain) {
  const std::string old = "a-P0-A-k-i-True-\r\n";
  const std::string path = WriteProgramFile("MyJob.ini", old);
  sim::DenyRead(path);
  EXPECT_FALSE(LoadWorkFile(path, editor.WorkList, editor));
  AddEntry({"new", "P0", "", kKindWebSite, "", "True"}, editor.WorkList);
  // Its entries were never seen: it is not replaced before a copy of it is kept.
  EXPECT_FALSE(SaveWorkFile(path, editor));
  EXPECT_EQ(ReadFileBytes(path), old);
  EXPECT_FALSE(plat::FileExists(path + ".bak"));
  sim::AllowRead(path);
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_EQ(ReadFileBytes(path + ".bak"), old);
  EXPECT_EQ(ReadFileBytes(path), "new-P0-null-웹사이트 이동-null-True-\r\n");
}

TEST_F(WorkFileTest, FailedSaveKeepsThePreviousFileWhole) {
  const std::string path = WriteProgramFile("MyJob.ini", "old-P0-A-k-i-True-\r\n");
  AddEntry({"new", "P0", "B", kKindWebSite, "", "True"}, editor.WorkList);
  sim::LockFile(path);
  EXPECT_FALSE(SaveWorkFile(path, editor));
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbIconError);
  sim::UnlockFile(path);
  EXPECT_EQ(ReadFileBytes(path), "old-P0-A-k-i-True-\r\n");
  EXPECT_FALSE(plat::FileExists(path + ".tmp"));
}

TEST_F(WorkFileTest, EveryTypedTextReadsBackAsSixFields) {
  const std::vector<std::string> descriptions = {
      "a-b", "\"quoted", "it's", "  lead", "   ", "null", "", "x\r\ny", std::string("n\0ul", 4), "'bal-anced'", "끝-"};
  for (const std::string& d : descriptions)
    AddEntry({d, NewEntryId(editor.WorkList), "", kKindRunProgram, EncodeInfoText("\"C:\\a b\\x.exe\";-v"), "True"},
             editor.WorkList);
  AddEntry({"last", "P99", "", kKindWebSite, "", "True"}, editor.WorkList);
  const std::string path = plat::ProgramFolder() + "MyJob.ini";
  ASSERT_TRUE(SaveWorkFile(path, editor));
  const auto saved = Rows();
  Tfrm_main other;
  ASSERT_TRUE(LoadWorkFile(path, other.WorkList, other));
  ASSERT_EQ(other.WorkList.RowCount(), editor.WorkList.RowCount());
  for (int i = 0; i < other.WorkList.RowCount(); ++i) EXPECT_EQ(other.WorkList.Row(i), saved[i]) << i;
  EXPECT_EQ(other.Doc.IncompletePath(), "");
  // What the list shows after saving is what the file gives back, close to what was typed.
  EXPECT_EQ(saved[0][kColDescription], "aㅡb");
  EXPECT_EQ(saved[5][kColDescription], "null ");
  EXPECT_EQ(saved[9][kColDescription], "'balㅡanced'");  // balanced quotes stay; the dash is encoded
  EXPECT_EQ(saved[4][kColDescription], "");
  EXPECT_EQ(DecodeInfoText(saved[0][kColInfo]), "\"C:\\a b\\x.exe\";-v");
}

TEST_F(WorkFileTest, StoredFormOfTypedTexts) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      // Only the marks that would leave a stretch open change; a quoted path stays quoted.
      {"\"C:\\My Apps\\x.exe\";Bob's.txt", "\"C:\\My Apps\\x.exe\";Bob＇s.txt"},
      {"\"it's here\"", "\"it＇s here\""},
      {"'a\"b", "＇a＂b"},
      {"\"a'b'c\"", "\"a'b'c＂"},  // '' closes the stretch: the last " would open another
      {"'x' and \"y\"", "'x' and \"y\""},
      // A line break becomes one blank, CR LF included, so words don't run together.
      {"first\r\nsecond", "first second"},
      {"a\nb\rc\r\n\r\nd", "a b c  d"},
      {"\r\nafter a break", "after a break"},
      {std::string("n\0ul", 4), "nul"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StoredField(c.first), c.second) << c.first;
    AddEntry({c.first, NewEntryId(editor.WorkList), "", kKindRunProgram, c.first, "True"}, editor.WorkList);
  }
  const std::string path = plat::ProgramFolder() + "MyJob.ini";
  ASSERT_TRUE(SaveWorkFile(path, editor));
  Tfrm_main other;
  ASSERT_TRUE(LoadWorkFile(path, other.WorkList, other));
  ASSERT_EQ(other.WorkList.RowCount(), static_cast<int>(cases.size()));
  for (int i = 0; i < other.WorkList.RowCount(); ++i) {
    EXPECT_EQ(other.WorkList.Cell(i, kColDescription), cases[i].second) << i;
    EXPECT_EQ(other.WorkList.Cell(i, kColInfo), cases[i].second) << i;
  }
}

TEST_F(WorkFileTest, RandomRowsSurviveSaveAndLoad) {
  std::mt19937 rng(7);
  const std::string alphabet = "ab -'\"\r\n\tnul가ㅡ;+";
  for (int i = 0; i < 300; ++i) {
    std::vector<std::string> cells(kEntryColumns);
    for (std::string& c : cells) {
      const int len = static_cast<int>(rng() % 8);
      for (int k = 0; k < len; ++k) c += alphabet[rng() % alphabet.size()];
    }
    editor.WorkList.AddRow(cells);
  }
  std::vector<std::vector<std::string>> expected;
  for (const auto& row : Rows()) {
    expected.emplace_back();
    for (const std::string& cell : row) {
      const std::string stored = StoredField(cell);
      expected.back().push_back(ReadBack(stored));
      // Quote marks are replaced only as far as needed to close every stretch.
      ASSERT_EQ(QuoteMarks(cell) - QuoteMarks(stored), FewestMarksToReplace(cell)) << cell;
    }
  }
  const std::string path = plat::ProgramFolder() + "r.ini";
  ASSERT_TRUE(SaveWorkFile(path, editor));
  Tfrm_main other;
  ASSERT_TRUE(LoadWorkFile(path, other.WorkList, other));
  ASSERT_EQ(other.WorkList.RowCount(), 300);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(other.WorkList.Row(i), expected[i]) << i;
    ASSERT_EQ(editor.WorkList.Row(i), expected[i]) << i;  // the list shows what the file holds
  }
}

TEST_F(WorkFileTest, SaveAfterIncompleteLoadKeepsTheOriginal) {
  const std::string original =
      "a-P0-A-k-i-True-\r\n"
      "broken-line\r\n"
      "c-P2-C-k-i-True-\r\n";
  const std::string path = WriteProgramFile("MyJob.ini", original);
  WriteProgramFile("MyJob.ini.bak", "an older backup");
  ASSERT_TRUE(LoadWorkFile(path, editor.WorkList, editor));
  ASSERT_EQ(editor.WorkList.RowCount(), 1);
  EXPECT_EQ(editor.Doc.IncompleteLine(), 2);
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_EQ(editor.Doc.IncompleteLine(), 0);
  EXPECT_EQ(ReadFileBytes(path), "a-P0-A-k-i-True-\r\n");
  EXPECT_EQ(ReadFileBytes(path + ".bak"), "an older backup");
  EXPECT_EQ(ReadFileBytes(path + ".bak2"), original);
  // The original is kept once; later saves of the list replace only the work file.
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_FALSE(plat::FileExists(path + ".bak3"));
}

TEST_F(WorkFileTest, NulBetweenLinesMakesTheLoadIncomplete) {
  const std::string line = "a-P0-A-k-i-True-";
  const std::string later = "c-P2-C-k-i-True-\r\n";
  // The bytes, the rows read, the first line not read.
  const std::vector<std::tuple<std::string, int, int>> files = {
      {line + std::string(1, '\0') + "\r\n" + later, 1, 2},    // right after the line's last "-"
      {line + "\r\n" + std::string(512, '\0') + later, 1, 2},  // zeros a crash left between lines
      {line + "\r\n" + std::string(64, '\0'), 1, 2},           // zeros at the end
      {std::string(1, '\0') + line + "\r\n" + later, 0, 1},    // nothing readable before the NUL
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& bytes = std::get<0>(files[i]);
    // A list of one row stands in for what the editor held before: a load that reads
    // nothing leaves it.
    editor.WorkList.Clear();
    AddEntry({"list", "P9", "", kKindWebSite, "", "True"}, editor.WorkList);
    const std::string path = WriteProgramFile("MyJob" + std::to_string(i) + ".ini", bytes);
    ASSERT_TRUE(LoadWorkFile(path, editor.WorkList, editor));
    // Nothing readable before the NUL: an empty list of that file.
    EXPECT_EQ(editor.WorkList.RowCount(), std::get<1>(files[i]) == 0 ? 0 : 1);
    if (editor.WorkList.RowCount() > 0) {
      EXPECT_EQ(editor.WorkList.Cell(0, kColId), "P0");
    }
    EXPECT_EQ(editor.Doc.IncompletePath(), path) << i;
    EXPECT_EQ(editor.Doc.IncompleteLine(), std::get<2>(files[i])) << i;
    ASSERT_TRUE(SaveWorkFile(path, editor));
    EXPECT_EQ(ReadFileBytes(path + ".bak"), bytes) << i;
  }
}

TEST_F(WorkFileTest, CompleteLoadMakesNoBackup) {
  const std::string path = WriteProgramFile("MyJob.ini", "a-P0-A-k-i-True-\r\n");
  ASSERT_TRUE(LoadWorkFile(path, editor.WorkList, editor));
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_FALSE(plat::FileExists(path + ".bak"));
}

TEST_F(WorkFileTest, OpenMenuLoadsAnExistingFileAndRemembersIt) {
  const std::string path = WriteProgramFile("다른.ini", "a-P0-A-k-i-True-\r\n");
  sim::AnswerNextFileDialog(path);
  editor.N2Click();
  ASSERT_EQ(sim::FileDialogs().size(), 1u);
  EXPECT_FALSE(sim::FileDialogs()[0].save);
  EXPECT_EQ(sim::FileDialogs()[0].options.filter, "작업 파일 (*.ini)|*.ini");
  EXPECT_EQ(sim::FileDialogs()[0].options.initialDir, plat::ProgramFolder());
  EXPECT_EQ(editor.WorkList.RowCount(), 1);
  EXPECT_EQ(GetLastWorkFile(), path);
  // The hotkeys still run the list registered before: this one waits for Apply.
  EXPECT_TRUE(editor.Doc.Modified());

  // An empty file opens as an empty list of its own: 적용 then writes into it, and
  // showing the editor again reads it, not the file before.
  const std::string empty = WriteProgramFile("empty.ini", "");
  sim::AnswerNextBox(plat::kIdNo);
  sim::AnswerNextFileDialog(empty);
  editor.N2Click();
  EXPECT_EQ(GetLastWorkFile(), empty);
  EXPECT_EQ(editor.Doc.Path(), empty);
  EXPECT_EQ(editor.WorkList.RowCount(), 0);
  editor.Hide();
  editor.Show();
  editor.bntNew.UserClick();
  editor.bnt_Apply.UserClick();
  EXPECT_EQ(ReadFileBytes(empty), "null-P0-null-웹사이트 이동-null-True-\r\n");
  EXPECT_EQ(ReadFileBytes(path), "a-P0-A-k-i-True-\r\n");
  EXPECT_EQ(editor.Caption(), " 키베인 v1.5 - " + empty);

  // Keyvane's own settings are never a work file, whichever way the name is spelled.
  const std::string settings = ReadFileBytes(ConfigPath());
  std::string shouted = ConfigPath();
  shouted.replace(shouted.size() - 10, 10, "CONFIG.INI");
  for (const std::string& name : {ConfigPath(), shouted}) {
    const std::size_t boxes = sim::Boxes().size();
    sim::AnswerNextFileDialog(name);
    editor.N2Click();
    ASSERT_EQ(sim::Boxes().size(), boxes + 1);
    EXPECT_NE(sim::Boxes().back().text.find("Config.ini"), std::string::npos);
    sim::AnswerNextFileDialog(name);
    editor.S1Click();
    ASSERT_EQ(sim::Boxes().size(), boxes + 2);
  }
  EXPECT_EQ(ReadFileBytes(ConfigPath()), settings);
  EXPECT_EQ(editor.Doc.Path(), empty);
  EXPECT_EQ(editor.WorkList.RowCount(), 1);
  // Recorded by an older copy, it counts as no record at all.
  ASSERT_TRUE(SetLastWorkFile(ConfigPath()));
  EXPECT_EQ(GetLastWorkFile(), DefaultWorkFile());
}

TEST_F(WorkFileTest, OpenMenuWithMissingFileOnlyTellsTheUser) {
  sim::AnswerNextFileDialog(plat::ProgramFolder() + "nowhere.ini");
  editor.N2Click();
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, "작업 파일이 존재 하지 않습니다. 다시한번 확인해 주십시오");
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbOk);
  EXPECT_EQ(GetLastWorkFile(), plat::ProgramFolder() + "MyJob.ini");
  editor.N2Click();  // cancelled: nothing at all
  EXPECT_EQ(sim::Boxes().size(), 1u);
}

TEST_F(WorkFileTest, SaveAsMenu) {
  editor.S1Click();  // an empty list asks nothing
  EXPECT_TRUE(sim::FileDialogs().empty());
  AddEntry({"a", "P0", "A", kKindWebSite, "", "True"}, editor.WorkList);
  editor.S1Click();  // cancelled
  const auto dialogs = sim::FileDialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  const auto& o = dialogs[0].options;
  EXPECT_TRUE(dialogs[0].save);
  EXPECT_EQ(o.fileName, "MyJop.ini");
  EXPECT_TRUE(o.overwritePrompt && o.hideReadOnly && o.resizable);
  EXPECT_EQ(editor.Doc.Path(), DefaultWorkFile());

  const std::string path = plat::ProgramFolder() + "새 목록";  // no extension is added
  sim::AnswerNextFileDialog(path);
  editor.S1Click();
  EXPECT_EQ(ReadFileBytes(path), "a-P0-A-웹사이트 이동-null-True-\r\n");
  EXPECT_EQ(GetLastWorkFile(), path);
  EXPECT_EQ(editor.Doc.Path(), path);
}

TEST_F(WorkFileTest, SavingLeavesEveryOtherFileAsItWas) {
  const std::string path = WriteProgramFile("MyJob.ini", "old-P0-A-k-i-True-\r\n");
  const std::string mine = WriteProgramFile("MyJob.ini.tmp", "the user's own file");
  const std::string config = WriteProgramFile("Config.ini.tmp", "another of the user's files");
  AddEntry({"new", "P0", "B", kKindWebSite, "", "True"}, editor.WorkList);
  ASSERT_TRUE(SaveWorkFile(path, editor));
  ASSERT_TRUE(SetLastWorkFile(path));
  EXPECT_EQ(ReadFileBytes(path), "new-P0-B-웹사이트 이동-null-True-\r\n");
  EXPECT_EQ(ReadFileBytes(mine), "the user's own file");
  EXPECT_EQ(ReadFileBytes(config), "another of the user's files");
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Config.ini", "Config.ini.tmp", "MyJob.ini", "MyJob.ini.tmp"}));

  sim::LockFile(path);  // a failed save cleans up only after itself
  EXPECT_FALSE(SaveWorkFile(path, editor));
  EXPECT_EQ(ReadFileBytes(mine), "the user's own file");
  EXPECT_EQ(FolderNames().size(), 4u);
}

TEST_F(WorkFileTest, FileHeldOpenByAnotherProgramIsRewrittenInPlace) {
  const std::string old = "old-P0-A-k-i-True-\r\n";
  const std::string path = WriteProgramFile("MyJob.ini", old);
  WriteProgramFile("MyJob.ini.bak", "an older backup");
  AddEntry({"new", "P0", "B", kKindWebSite, "", "True"}, editor.WorkList);
  sim::HoldOpen(path);
  ASSERT_TRUE(SaveWorkFile(path, editor));
  EXPECT_EQ(ReadFileBytes(path), "new-P0-B-웹사이트 이동-null-True-\r\n");
  EXPECT_EQ(ReadFileBytes(path + ".bak"), "an older backup");
  EXPECT_EQ(ReadFileBytes(path + ".bak2"), old);
  EXPECT_TRUE(sim::Boxes().empty());
  // "Config.ini" held the same way is still written, and loses nothing either.
  sim::HoldOpen(ConfigPath());
  ASSERT_TRUE(SetLastWorkFile(path));
  ASSERT_TRUE(SetLastWorkFile(path + "2"));
  EXPECT_EQ(GetLastWorkFile(), path + "2");
  EXPECT_NE(ReadFileBytes(ConfigPath() + ".bak").find(path), std::string::npos);
}

TEST_F(WorkFileTest, UnwritableConfigStopsTheOperationThatNeededIt) {
  constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin, kVkF5 = 0x74, kVkF6 = 0x75;
  const std::string path = WriteProgramFile("MyJob.ini", "d-P0-Ctrl+Win+F5-k-i-True-\r\n");
  ASSERT_TRUE(SetLastWorkFile(path));
  Tfrm_main form;
  form.Show();
  form.WorkList.SetCell(0, kColHotKey, "Ctrl+Win+F6");
  form.SetModified();
  sim::LockFile(ConfigPath());
  sim::AnswerNextBox(plat::kIdYes);
  // Closing: the list is saved and runs, but the editor stays open, still marked.
  EXPECT_FALSE(form.Close());
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(form.Doc.Modified());
  EXPECT_EQ(ReadFileBytes(path), "d-P0-Ctrl+Win+F6-k-i-True-\r\n");
  ASSERT_EQ(sim::Boxes().size(), 2u);  // the question, then one error box
  EXPECT_EQ(sim::Boxes()[1].text, "Unable to write to " + ConfigPath());
  EXPECT_FALSE(sim::PressHotKey(kCtrlWin, kVkF5));
  EXPECT_TRUE(sim::PressHotKey(kCtrlWin, kVkF6));

  // Opening another file (the edits dropped): nothing is loaded that the next start would
  // not load.
  const std::string other = WriteProgramFile("other.ini", "o-P0-A-k-i-True-\r\no-P1-B-k-i-True-\r\n");
  sim::AnswerNextBox(plat::kIdNo);
  sim::AnswerNextFileDialog(other);
  form.N2Click();
  ASSERT_EQ(sim::Boxes().size(), 4u);  // the question, then the error box
  EXPECT_EQ(sim::Boxes()[3].text, "Unable to write to " + ConfigPath());
  EXPECT_EQ(form.WorkList.RowCount(), 1);
  EXPECT_EQ(form.Doc.Path(), path);
  // Saving under another name: the copy is written, but the list stays with its file.
  const std::string copy = plat::ProgramFolder() + "copy.ini";
  sim::AnswerNextFileDialog(copy);
  form.S1Click();
  EXPECT_EQ(sim::Boxes().size(), 5u);
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(path));
  EXPECT_EQ(form.Doc.Path(), path);
  EXPECT_EQ(form.Caption(), " 키베인 v1.5 - " + path);
  sim::UnlockFile(ConfigPath());
  EXPECT_EQ(GetLastWorkFile(), path);
}
