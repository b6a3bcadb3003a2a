// "Config.ini" through the profile rules, and the Run value.
#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/unit/test_support.h"

using namespace kv;
using plat::RegRoot;

using ConfigTest = SimTest;

TEST_F(ConfigTest, ProfileReadingRules) {
  const std::string f = WriteProgramFile("t.ini",
                                         "; comment\r\n"
                                         "[Config]\r\n"
                                         "  startup =  1  \r\n"
                                         "Quoted=\"  spaced  \"\r\n"
                                         "Single='x'\r\n"
                                         "Half=\"x\r\n"
                                         "[ etc ]\n"
                                         "LastWorkList_Path=C:\\작업\\MyJob.ini\n"
                                         "[Config]\r\n"
                                         "StartUp=0\r\n");
  EXPECT_EQ(plat::ReadProfileString(f, "config", "STARTUP", "d"), "1");  // first section wins
  EXPECT_EQ(plat::ReadProfileString(f, "Config", "Quoted", "d"), "  spaced  ");
  EXPECT_EQ(plat::ReadProfileString(f, "Config", "Single", "d"), "x");
  EXPECT_EQ(plat::ReadProfileString(f, "Config", "Half", "d"), "\"x");
  EXPECT_EQ(plat::ReadProfileString(f, "Etc", "LastWorkList_Path", "d"), "C:\\작업\\MyJob.ini");
  EXPECT_EQ(plat::ReadProfileString(f, "Config", "Missing", "d"), "d");
  EXPECT_EQ(plat::ReadProfileString(f, "Nowhere", "StartUp", "d"), "d");
  EXPECT_EQ(plat::ReadProfileString(plat::ProgramFolder() + "none.ini", "Config", "StartUp", "d"), "d");

  // A whole section at once gives every key the value a read of that key gives.
  const std::string g = WriteProgramFile("s.ini",
                                         "[Sites]\r\nA=1\r\n a = 2\r\nBare\r\nbare=3\r\nQ='q'\r\n=empty key\r\n"
                                         "[Other]\r\nB=4\r\n[SITES]\r\nC=5\r\n");
  using Values = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(plat::ReadProfileSection(g, "sites"), (Values{{"A", "1"}, {"Q", "q"}, {"", "empty key"}}));
  EXPECT_EQ(plat::ReadProfileString(g, "sites", "bare", "-"), "-");  // its first line has no value
  EXPECT_TRUE(plat::ReadProfileSection(g, "Nowhere").empty());
  EXPECT_TRUE(plat::ReadProfileSection(plat::ProgramFolder() + "none.ini", "Sites").empty());
}

TEST_F(ConfigTest, ProfileWritesOneValueAndKeepsTheRest) {
  const std::string f = WriteProgramFile("t.ini",
                                         "[Config]\r\nUnknown=keep me\r\nstartup=1\r\n\r\n"
                                         "[Etc]\r\nLastWorkList_Path=a\r\n");
  ASSERT_TRUE(plat::WriteProfileString(f, "CONFIG", "StartUp", "0"));
  ASSERT_TRUE(plat::WriteProfileString(f, "Config", "NewExplore", "1"));
  ASSERT_TRUE(plat::WriteProfileString(f, "DirectSite", "Count", "0"));
  EXPECT_EQ(ReadFileBytes(f),
            "[Config]\r\nUnknown=keep me\r\nstartup=0\r\nNewExplore=1\r\n\r\n"
            "[Etc]\r\nLastWorkList_Path=a\r\n"
            "[DirectSite]\r\nCount=0\r\n");
  ASSERT_TRUE(plat::EraseProfileSection(f, "etc"));
  EXPECT_EQ(plat::ReadProfileString(f, "Etc", "LastWorkList_Path", "gone"), "gone");
  EXPECT_EQ(plat::ReadProfileString(f, "DirectSite", "Count", "x"), "0");
  // The first write creates the file.
  const std::string fresh = plat::ProgramFolder() + "new.ini";
  ASSERT_TRUE(plat::WriteProfileString(fresh, "Etc", "LastWorkList_Path", "한글.ini"));
  EXPECT_EQ(ReadFileBytes(fresh), "[Etc]\r\nLastWorkList_Path=한글.ini\r\n");
}

TEST_F(ConfigTest, NumbersAndDefaults) {
  EXPECT_EQ(ReadStartUp(), 1);  // no file: start with Windows
  EXPECT_EQ(ReadNewExplore(), 0);
  WriteProgramFile("Config.ini", "[Config]\r\nStartUp=0\r\nNewExplore=yes\r\n");
  EXPECT_EQ(ReadStartUp(), 0);
  EXPECT_EQ(ReadNewExplore(), 0);
  for (const auto& [text, value] : std::vector<std::pair<std::string, int>>{
           {"12", 12}, {"-3", -3}, {"+7", 7}, {"", 5}, {"1x", 5}, {"0x10", 5}, {"99999999999", 5}, {" 4 ", 4}}) {
    WriteProgramFile("Config.ini", "[Config]\r\nN=" + text + "\r\n");
    EXPECT_EQ(ReadConfigInt("Config", "N", 5), value) << text;
  }
}

TEST_F(ConfigTest, LastWorkFileDefaultsToMyJobBesideTheProgram) {
  EXPECT_EQ(GetLastWorkFile(), plat::ProgramFolder() + "MyJob.ini");
  WriteProgramFile("Config.ini", "[Etc]\r\nLastWorkList_Path=\r\n");
  EXPECT_EQ(GetLastWorkFile(), plat::ProgramFolder() + "MyJob.ini");
  SetLastWorkFile("D:\\목록.ini");
  EXPECT_EQ(GetLastWorkFile(), "D:\\목록.ini");
}

TEST_F(ConfigTest, AutoStartPrefersMachineWideKey) {
  plat::SetRunValue(RegRoot::CurrentUser, "Keyvane", "old path");
  EXPECT_TRUE(SetAutoStart(true));
  EXPECT_EQ(plat::GetRunValue(RegRoot::LocalMachine, "Keyvane"), plat::ProgramPath());
  EXPECT_FALSE(plat::GetRunValue(RegRoot::CurrentUser, "Keyvane"));
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_TRUE(SetAutoStart(false));
  EXPECT_FALSE(plat::GetRunValue(RegRoot::LocalMachine, "Keyvane"));
}

TEST_F(ConfigTest, RunValueIsQuotedOnlyWhenThePathHoldsABlank) {
  const std::string folder = plat::ProgramFolder();
  // Unquoted, Windows would try "C:\Program.exe" first.
  sim::SetProgramFolder("C:\\Program Files\\키베인\\");
  EXPECT_TRUE(SetAutoStart(true));
  EXPECT_EQ(plat::GetRunValue(RegRoot::LocalMachine, "Keyvane"), "\"C:\\Program Files\\키베인\\Keyvane.exe\"");
  sim::SetRootWritable(RegRoot::LocalMachine, false);
  EXPECT_TRUE(SetAutoStart(true));
  EXPECT_EQ(plat::GetRunValue(RegRoot::CurrentUser, "Keyvane"), "\"C:\\Program Files\\키베인\\Keyvane.exe\"");

  sim::SetProgramFolder("C:\\Keyvane\\");
  EXPECT_TRUE(SetAutoStart(true));
  EXPECT_EQ(plat::GetRunValue(RegRoot::CurrentUser, "Keyvane"), "C:\\Keyvane\\Keyvane.exe");
  sim::SetProgramFolder(folder);
}

TEST_F(ConfigTest, AutoStartFallsBackToUserKeyWithoutAnyBox) {
  sim::SetRootWritable(RegRoot::LocalMachine, false);
  EXPECT_TRUE(SetAutoStart(true));
  EXPECT_EQ(plat::GetRunValue(RegRoot::CurrentUser, "Keyvane"), plat::ProgramPath());
  EXPECT_TRUE(sim::Boxes().empty());
  EXPECT_TRUE(SetAutoStart(false));
  EXPECT_FALSE(plat::GetRunValue(RegRoot::CurrentUser, "Keyvane"));

  sim::SetRootWritable(RegRoot::CurrentUser, false);
  EXPECT_FALSE(SetAutoStart(true));
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbIconError);
}

TEST_F(ConfigTest, SearchSitesReadWithTheirRules) {
  WriteProgramFile("Config.ini",
                   "[DirectSite]\r\nCount=4\r\nSite0=네이버 , http://search.naver.com/?q= \r\n"
                   "Site1=\"a,b\",http://x\r\nSite2=lonely\r\nSite3=,,addr,extra\r\nSite4=beyond count\r\n");
  const auto sites = ReadSearchSites();
  // "lonely" has no address and is skipped.
  ASSERT_EQ(sites.size(), 3u);
  EXPECT_EQ(sites[0].description, "네이버");
  EXPECT_EQ(sites[0].address, "http://search.naver.com/?q=");
  EXPECT_EQ(sites[1].description, "\"a,b\"");
  EXPECT_EQ(sites[2].description, "addr");
  EXPECT_EQ(sites[2].address, "extra");
}

TEST_F(ConfigTest, WritingOptionsRewritesTheSiteSection) {
  ASSERT_TRUE(WriteOptions(true, false, {{"a", "http://a"}, {"b", "http://b"}, {"c", "http://c"}}));
  ASSERT_TRUE(WriteOptions(false, true, {{"a", "http://a"}, {"c", "http://c"}}));
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "DirectSite", "Count", ""), "2");
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "DirectSite", "Site1", ""), "c,http://c");
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "DirectSite", "Site2", "gone"), "gone");
  EXPECT_EQ(ReadStartUp(), 0);
  EXPECT_EQ(ReadNewExplore(), 1);
  EXPECT_FALSE(plat::GetRunValue(RegRoot::LocalMachine, "Keyvane"));

  // A Run value nobody may write stops before any setting is changed.
  sim::SetRootWritable(RegRoot::LocalMachine, false);
  sim::SetRootWritable(RegRoot::CurrentUser, false);
  EXPECT_FALSE(WriteOptions(true, false, {}));
  EXPECT_EQ(ReadStartUp(), 0);
  EXPECT_EQ(ReadSearchSites().size(), 2u);
}

namespace {
std::string Utf16Le(const std::u16string& units) {
  std::string bytes;
  for (char16_t u : units) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}
std::string Utf16Be(const std::u16string& units) {
  std::string bytes;
  for (char16_t u : units) {
    bytes += static_cast<char>(u >> 8);
    bytes += static_cast<char>(u & 0xFF);
  }
  return bytes;
}
}  // namespace

TEST_F(ConfigTest, ProfileReadsTheFormsTheSystemReads) {
  const std::u16string text = u"[Config]\r\nStartUp=0\r\n[Etc]\r\nLastWorkList_Path=C:\\Café\\작업.ini\r\n";
  const std::string cafe =
      "C:\\Caf\xFF"
      "00E9\\작업.ini";
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + plat::Utf16ToUtf8(text)},
      {"UTF-16 LE with its mark", "\xFF\xFE" + Utf16Le(text)},
      {"UTF-16 BE with its mark", "\xFE\xFF" + Utf16Be(text)},
  };
  for (const auto& [name, bytes] : forms) {
    const std::string f = WriteProgramFile("forms.ini", bytes);
    EXPECT_EQ(plat::ReadProfileString(f, "Config", "StartUp", "d"), "0") << name;
    EXPECT_EQ(plat::ReadProfileString(f, "etc", "LastWorkList_Path", "d"), cafe) << name;
  }

  // Line ends of any kind, and a key line without "=".
  const std::string f = WriteProgramFile("ends.ini",
                                         "[A]\rOne=1\r[B]\nTwo=2\r\n\r\rThree=3\n\r"
                                         "Bare\r\n Spaced bare \r\nFour=4");
  EXPECT_EQ(plat::ReadProfileString(f, "A", "One", "d"), "1");
  EXPECT_EQ(plat::ReadProfileString(f, "A", "Two", "d"), "d");
  EXPECT_EQ(plat::ReadProfileString(f, "B", "Two", "d"), "2");
  EXPECT_EQ(plat::ReadProfileString(f, "B", "Three", "d"), "3");
  EXPECT_EQ(plat::ReadProfileString(f, "B", "Four", "d"), "4");
  EXPECT_EQ(plat::ReadProfileString(f, "B", "Bare", "d"), "d");
  // Setting the bare key gives it a value in its own line.
  ASSERT_TRUE(plat::WriteProfileString(f, "B", "spaced bare", "x"));
  EXPECT_EQ(ReadFileBytes(f),
            "[A]\r\nOne=1\r\n[B]\r\nTwo=2\r\n\r\n\r\nThree=3\r\n\r\nBare\r\nSpaced bare=x\r\nFour=4\r\n");
}

TEST_F(ConfigTest, ProfileWritesBackInTheFilesOwnForm) {
  // Notepad's "Unicode": UTF-16 LE with its mark; it stays that, character for character.
  const std::u16string before = u"[Etc]\r\nLastWorkList_Path=C:\\Café\\a.ini\r\n[Config]\r\nStartUp=1\r\n";
  const std::string f = WriteProgramFile("u16.ini", "\xFF\xFE" + Utf16Le(before));
  ASSERT_TRUE(plat::WriteProfileString(f, "Config", "StartUp", "0"));
  ASSERT_TRUE(plat::WriteProfileString(f, "Config", "사이트", "네이버"));
  const std::u16string after =
      u"[Etc]\r\nLastWorkList_Path=C:\\Café\\a.ini\r\n[Config]\r\nStartUp=0\r\n사이트=네이버\r\n";
  EXPECT_EQ(ReadFileBytes(f), "\xFF\xFE" + Utf16Le(after));
  // A value the program holds escaped is written as the character itself.
  ASSERT_TRUE(plat::WriteProfileString(f, "Etc", "LastWorkList_Path",
                                       "C:\\Na\xFF"
                                       "00EFve\\b.ini"));
  const std::u16string naive =
      u"[Etc]\r\nLastWorkList_Path=C:\\Naïve\\b.ini\r\n[Config]\r\nStartUp=0\r\n사이트=네이버\r\n";
  EXPECT_EQ(ReadFileBytes(f), "\xFF\xFE" + Utf16Le(naive));
  ASSERT_TRUE(plat::EraseProfileSection(f, "ETC"));
  EXPECT_EQ(ReadFileBytes(f), "\xFF\xFE" + Utf16Le(u"[Config]\r\nStartUp=0\r\n사이트=네이버\r\n"));

  const std::string be = WriteProgramFile("u16be.ini", "\xFE\xFF" + Utf16Be(u"[A]\nK=1"));
  ASSERT_TRUE(plat::WriteProfileString(be, "a", "k", "2"));
  EXPECT_EQ(ReadFileBytes(be), "\xFE\xFF" + Utf16Be(u"[A]\r\nK=2\r\n"));

  const std::string u8 = WriteProgramFile("u8.ini", "\xEF\xBB\xBF[A]\rK=\xEA\xB0\x80\r");
  ASSERT_TRUE(plat::WriteProfileString(u8, "A", "New", "값"));
  EXPECT_EQ(ReadFileBytes(u8), "\xEF\xBB\xBF[A]\r\nK=\xEA\xB0\x80\r\nNew=\xEA\xB0\x92\r\n");
  // A folder name with a surrogate without its pair, which UTF-8 cannot spell: the file
  // turns UTF-16 rather than hold a replacement character, and the path reads back.
  const std::string lone = "C:\\x\xFF" "DABDy\\a.ini";
  ASSERT_TRUE(plat::WriteProfileString(u8, "A", "Path", lone));
  EXPECT_EQ(plat::ProfileEncoding(u8), plat::TextEncoding::kUtf16Le);
  EXPECT_EQ(plat::ReadProfileString(u8, "A", "Path", ""), lone);
  EXPECT_EQ(plat::ReadProfileString(u8, "A", "K", ""), "가");
}

TEST_F(ConfigTest, UnreadableConfigIsNeverWrittenOver) {
  const std::string original =
      "[Config]\r\nStartUp=0\r\nNewExplore=1\r\n[DirectSite]\r\nCount=1\r\nSite0=a,http://a\r\n";
  const std::string f = WriteProgramFile("Config.ini", original);
  sim::DenyRead(f);
  EXPECT_FALSE(plat::WriteProfileString(f, "Etc", "LastWorkList_Path", "C:\\a.ini"));
  EXPECT_FALSE(plat::EraseProfileSection(f, "DirectSite"));
  EXPECT_FALSE(plat::EraseProfileSection(f, "Nowhere"));
  EXPECT_EQ(ReadFileBytes(f), original);

  // The program's writers show the standard error box and stop.
  SetLastWorkFile("C:\\a.ini");
  EXPECT_FALSE(WriteOptions(false, false, {}));
  const auto boxes = sim::Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "Unable to write to " + f);
    EXPECT_EQ(box.flags, plat::kMbOk | plat::kMbIconError);
  }
  EXPECT_EQ(ReadFileBytes(f), original);

  // A missing file is an empty one, and the first write makes it.
  const std::string fresh = plat::ProgramFolder() + "fresh.ini";
  EXPECT_TRUE(plat::EraseProfileSection(fresh, "A"));
  EXPECT_TRUE(plat::WriteProfileString(fresh, "A", "K", "1"));
  EXPECT_EQ(ReadFileBytes(fresh), "[A]\r\nK=1\r\n");
}

TEST_F(ConfigTest, ProfileNamesIgnoreCaseOnlyOfCharactersOfTheirOwn) {
  // "켂" is B1 41 and "켥" B1 61: the same bytes as "\xB1" "A" and "\xB1" "a".
  const std::string f = WriteProgramFile("k.ini", "[켂]\r\n켂=section one\r\n[Other]\r\n켂=key one\r\n");
  EXPECT_EQ(plat::ReadProfileString(f, "켂", "켂", "d"), "section one");
  EXPECT_EQ(plat::ReadProfileString(f, "켥", "켂", "d"), "d");
  EXPECT_EQ(plat::ReadProfileString(f, "OTHER", "켥", "d"), "d");
  EXPECT_EQ(plat::ReadProfileString(f, "other", "켂", "d"), "key one");
  ASSERT_TRUE(plat::WriteProfileString(f, "Other", "켥", "new"));
  EXPECT_EQ(plat::ReadProfileString(f, "Other", "켂", "d"), "key one");
  EXPECT_EQ(plat::ReadProfileString(f, "Other", "켥", "d"), "new");
  ASSERT_TRUE(plat::EraseProfileSection(f, "켥"));
  EXPECT_EQ(plat::ReadProfileString(f, "켂", "켂", "d"), "section one");
  // Letters beside Korean ones still fold.
  ASSERT_TRUE(plat::WriteProfileString(f, "켂Ab", "kEY", "1"));
  EXPECT_EQ(plat::ReadProfileString(f, "켂aB", "Key", "d"), "1");
}
