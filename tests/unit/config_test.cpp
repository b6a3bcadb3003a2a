// "Config.ini" through the profile rules, and the Run value.
#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
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
  ASSERT_EQ(sites.size(), 4u);
  EXPECT_EQ(sites[0].description, "네이버");
  EXPECT_EQ(sites[0].address, "http://search.naver.com/?q=");
  EXPECT_EQ(sites[1].description, "\"a,b\"");
  EXPECT_EQ(sites[2].description, "lonely");
  EXPECT_EQ(sites[2].address, "");
  EXPECT_EQ(sites[3].description, "addr");
  EXPECT_EQ(sites[3].address, "extra");
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
