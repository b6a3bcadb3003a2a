// The options window and its add-site dialog: what reaches "Config.ini" and the Run value.
#include <string>

#include "actions/frmSiteadd.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "editor/frmOption.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/unit/test_support.h"

using namespace kv;
using plat::RegRoot;

namespace {

const char* const kConfig =
    "[Config]\r\nStartUp=1\r\nNewExplore=0\r\n[DirectSite]\r\nCount=3\r\n"
    "Site0= 네이버 ,\thttp://search.naver.com/?q= \r\nSite1=lonely\r\nSite2=구글,http://google.com/?q=\r\n";

class OptionsTest : public SimTest {
 protected:
  std::string Config() { return ReadFileBytes(ConfigPath()); }
  std::string Site(int i) {
    return plat::ReadProfileString(ConfigPath(), "DirectSite", "Site" + std::to_string(i), "-");
  }
};

TEST_F(OptionsTest, LoadsTrimmedSitesAndSkipsOnesWithoutTwoParts) {
  WriteProgramFile("Config.ini", kConfig);
  Tfrm_Option options;
  options.LoadOptions();
  EXPECT_TRUE(options.Check_WinRun.Checked());
  EXPECT_FALSE(options.Check_NewWindow.Checked());
  ASSERT_EQ(options.Listall.RowCount(), 2);
  EXPECT_EQ(options.Listall.Row(0), (std::vector<std::string>{"네이버", "http://search.naver.com/?q="}));
  EXPECT_EQ(options.Listall.Cell(1, 0), "구글");
  // The site picker follows the same rule.
  EXPECT_EQ(ReadSearchSites().size(), 2u);
}

TEST_F(OptionsTest, OkWithoutChangesWritesTheSameValuesBack) {
  WriteProgramFile("Config.ini",
                   "[Config]\r\nStartUp=1\r\nNewExplore=1\r\n[DirectSite]\r\nCount=1\r\nSite0=a , http://a\r\n");
  Tfrm_Option options;
  options.LoadOptions();
  ASSERT_TRUE(options.SaveOptions());
  EXPECT_EQ(ReadStartUp(), 1);
  EXPECT_EQ(ReadNewExplore(), 1);
  EXPECT_EQ(Site(0), "a,http://a");  // the blanks do not come back
  EXPECT_TRUE(plat::GetRunValue(RegRoot::LocalMachine, "Keyvane"));

  // The Run value follows StartUp also when the box was left alone.
  WriteProgramFile("Config.ini", "[Config]\r\nStartUp=0\r\n");
  options.LoadOptions();
  ASSERT_TRUE(options.SaveOptions());
  EXPECT_FALSE(plat::GetRunValue(RegRoot::LocalMachine, "Keyvane"));
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "DirectSite", "Count", ""), "0");
  EXPECT_EQ(Site(0), "-");
}

TEST_F(OptionsTest, DeleteRemovesTheFirstSelectedRowOnly) {
  Tfrm_Option options;
  options.PageControl1.UserSelectPage(1);
  options.bnt_del.UserClick();  // nothing selected: nothing happens
  for (const char* name : {"a", "b", "c"}) options.AddSiteRow(name, std::string("http://") + name);
  options.Listall.SetRowSelected(1, true);
  options.Listall.SetRowSelected(2, true);
  options.bnt_del.UserClick();
  ASSERT_EQ(options.Listall.RowCount(), 2);
  EXPECT_EQ(options.Listall.Cell(1, 0), "c");
  EXPECT_TRUE(options.Listall.IsSelected(1));
}

TEST_F(OptionsTest, OkFromTheMenuWritesTheListAndCancelLeavesTheFileAlone) {
  WriteProgramFile("Config.ini", kConfig);
  Tfrm_main editor;
  const std::string before = Config();
  sim::OnNextModal([](plat::Form& form) {
    auto& options = dynamic_cast<Tfrm_Option&>(form);
    options.Check_WinRun.SetChecked(false);
    options.AddSiteRow("x", "http://x");
    options.Listall.Select(0);
    options.bnt_del.UserClick();
    options.bntCancel.UserClick();
  });
  editor.MainMenu().Find("옵션(&P)..")->Click();
  EXPECT_EQ(Config(), before);

  sim::OnNextModal([](plat::Form& form) {
    auto& options = dynamic_cast<Tfrm_Option&>(form);
    options.PageControl1.UserSelectPage(1);
    options.Check_WinRun.SetChecked(false);
    options.Listall.Select(0);
    options.bnt_del.UserClick();
    options.bntok.UserClick();
  });
  editor.MainMenu().Find("옵션(&P)..")->Click();
  ASSERT_EQ(sim::ModalForms().size(), 2u);
  EXPECT_EQ(sim::ModalForms()[1].caption, "옵션");
  EXPECT_EQ(ReadStartUp(), 0);
  EXPECT_EQ(plat::ReadProfileString(ConfigPath(), "DirectSite", "Count", ""), "1");
  EXPECT_EQ(Site(0), "구글,http://google.com/?q=");
  EXPECT_EQ(Site(1), "-");

  // Each showing starts on the first page.
  sim::OnNextModal([](plat::Form& form) { EXPECT_EQ(dynamic_cast<Tfrm_Option&>(form).PageControl1.ActivePage(), 0); });
  editor.MainMenu().Find("옵션(&P)..")->Click();
}

TEST_F(OptionsTest, UnwritableRunValueStopsTheRestAndKeepsTheWindowOpen) {
  WriteProgramFile("Config.ini", "[Config]\r\nStartUp=0\r\n");
  const std::string before = Config();
  sim::SetRootWritable(RegRoot::LocalMachine, false);
  sim::SetRootWritable(RegRoot::CurrentUser, false);
  Tfrm_Option options;
  options.LoadOptions();
  int result = -1;
  sim::OnNextModal([&](plat::Form&) {
    options.Check_WinRun.SetChecked(true);
    options.AddSiteRow("x", "http://x");
    options.bntok.UserClick();
    result = options.ModalResult();
  });
  options.ShowModal(nullptr);
  EXPECT_EQ(result, plat::kMrNone);  // still open after the failed OK
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbIconError);
  EXPECT_EQ(Config(), before);
}

TEST_F(OptionsTest, AddSiteRefusesEmptyTextsCommasAndSemicolonsAndKeepsWhatWasTyped) {
  Tfrm_Option options;
  Tfrm_Siteadd add(options);
  const auto tryAdd = [&](const std::string& info, const std::string& site) {
    add.txt_info.SetText(info);
    add.txt_site.SetText(site);
    add.bntok.UserClick();
  };
  tryAdd("", "http://a");
  tryAdd("a", "   ");
  tryAdd("a,b", "http://a");
  tryAdd("a", "http://a/?x=1,2&q=");
  tryAdd("사전;영어", "http://a/?q=");     // the entry would read "영어" as the address
  tryAdd("a", "http://a/?x=1;y=2&q=");  // and cut the address at the ";"
  ASSERT_EQ(sim::Boxes().size(), 6u);
  EXPECT_EQ(sim::Boxes()[0].text, "[검색 설명] [사이트 주소] 는 필수 항목입니다");
  EXPECT_EQ(sim::Boxes()[0].caption, "알림말");
  EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbIconInformation);
  EXPECT_EQ(sim::Boxes()[1].text, sim::Boxes()[0].text);
  EXPECT_NE(sim::Boxes()[3].text.find("(,)"), std::string::npos);
  EXPECT_EQ(sim::Boxes()[5].text, sim::Boxes()[3].text);
  EXPECT_EQ(add.txt_site.Text(), "http://a/?x=1;y=2&q=");
  EXPECT_EQ(options.Listall.RowCount(), 0);

  // Blanks at the ends would not come back from "Config.ini": the row is what will.
  tryAdd(" 다음", "http://search.daum.net/?q= ");
  ASSERT_EQ(options.Listall.RowCount(), 1);
  EXPECT_EQ(options.Listall.Row(0), (std::vector<std::string>{"다음", "http://search.daum.net/?q="}));
  EXPECT_EQ(add.txt_info.Text(), "");
}

TEST_F(OptionsTest, SiteAddedThroughTheDialogReadsBackWhole) {
  Tfrm_Option options;
  sim::OnNextModal([](plat::Form& form) {
    auto& add = dynamic_cast<Tfrm_Siteadd&>(form);
    add.txt_info.SetText("사전");
    add.txt_site.SetText("http://dic.example/?a=b&q=");
    add.bntok.UserClick();
    EXPECT_EQ(add.ModalResult(), plat::kMrOk);
  });
  options.PageControl1.UserSelectPage(1);
  options.bnt_add.UserClick();
  ASSERT_TRUE(options.SaveOptions());
  const auto sites = ReadSearchSites();
  ASSERT_EQ(sites.size(), 1u);
  EXPECT_EQ(sites[0].description, "사전");
  EXPECT_EQ(sites[0].address, "http://dic.example/?a=b&q=");
}

TEST_F(OptionsTest, ACp949ConfigNeverTakesACharacterItCannotSpell) {
  const std::string cafe = plat::TextFromUtf16(u"café"), cup = plat::TextFromUtf16(u"http://x/☕?q=");
  for (int answer : {plat::kIdCancel, plat::kIdNo, plat::kIdYes}) {
    sim::Reset();
    WriteProgramFile("Config.ini", kConfig);
    Tfrm_Option options;
    options.LoadOptions();
    options.AddSiteRow(cafe, cup);
    sim::AnswerNextBox(answer);
    EXPECT_EQ(options.SaveOptions(), answer != plat::kIdCancel);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    const std::u16string named = u"é (U+00E9)\r\n    ☕ (U+2615)\r\n";
    EXPECT_NE(plat::TextToUtf16(sim::Boxes()[0].text).find(named), std::u16string::npos);
    const auto sites = ReadSearchSites();
    if (answer == plat::kIdCancel) {
      EXPECT_EQ(Config(), kConfig);
    } else if (answer == plat::kIdNo) {
      EXPECT_EQ(Config().find('\xFF'), std::string::npos) << "CP949, without the characters";
      ASSERT_EQ(sites.size(), 3u);
      EXPECT_EQ(sites[2].description + "," + sites[2].address, "caf,http://x/?q=");
    } else {
      EXPECT_EQ(Config().substr(0, 2), "\xFF\xFE") << "UTF-16 with its mark";
      ASSERT_EQ(sites.size(), 3u);
      EXPECT_EQ(sites[2].description + "," + sites[2].address, cafe + "," + cup);
    }
  }
  // A work file in a folder CP949 cannot spell is recorded exactly, without asking.
  sim::Reset();
  WriteProgramFile("Config.ini", kConfig);
  const std::string folder = plat::TextFromUtf16(u"C:\\Café\\작업.ini");
  ASSERT_TRUE(SetLastWorkFile(folder));
  EXPECT_EQ(Config().substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(GetLastWorkFile(), folder);
  EXPECT_EQ(Site(2), "구글,http://google.com/?q=");
}

TEST_F(OptionsTest, EveryOddTextTheDialogTakesReadsBackAsItsRow) {
  const struct {
    std::string info, site;
    bool taken;
  } cases[] = {
      {"Bob's 사전", "http://dic.example/?q=", false},
      {"McDonald's", "http://a/?q=", false},
      {"19\" 모니터", "http://a/?q=", false},
      {"\"인용\"", "http://a/?q=", false},
      {"'인용'", "http://a/?q=", false},
      {"사전", "http://a/?name='x'&q=", false},
      {"사전", "http://a/?name=\"x\"&q=", false},
      {"줄\r\n바꿈", "http://a/?q=", false},
      {"사전", "http://a/?q=\nhttp://b/", false},
      {"a=b [섹션] 50% & ㅡ-", "http://a/?x=1&y=%22&q=", true},
      {"\t 탭\t안 ", " http://a/?q= ", true},
      {"null", "http://a/?q=", true},
  };
  std::vector<std::vector<std::string>> rows;
  Tfrm_Option options;
  options.PageControl1.UserSelectPage(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.info + " | " + c.site);
    const std::size_t boxes = sim::Boxes().size();
    const int before = options.Listall.RowCount();
    sim::OnNextModal([&](plat::Form& form) {
      auto& add = dynamic_cast<Tfrm_Siteadd&>(form);
      add.txt_info.SetText(c.info);
      add.txt_site.SetText(c.site);
      add.bntok.UserClick();
      if (add.ModalResult() == plat::kMrNone) add.bntCancel.UserClick();
    });
    options.bnt_add.UserClick();
    EXPECT_EQ(options.Listall.RowCount(), before + (c.taken ? 1 : 0));
    EXPECT_EQ(sim::Boxes().size(), boxes + (c.taken ? 0 : 1));
    if (c.taken) rows.push_back(options.Listall.Row(before));
  }
  // The box names the marks it refuses.
  ASSERT_FALSE(sim::Boxes().empty());
  EXPECT_NE(sim::Boxes()[0].text.find("따옴표(' \")"), std::string::npos);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"탭\t안", "http://a/?q="}));
  ASSERT_TRUE(options.SaveOptions());

  // The options window, the picker and the list again after the next OK all agree.
  Tfrm_Option again;
  again.LoadOptions();
  ASSERT_EQ(again.Listall.RowCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(again.Listall.Row(i), rows[i]);
  const auto sites = ReadSearchSites();
  ASSERT_EQ(sites.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ((std::vector<std::string>{sites[i].description, sites[i].address}), rows[i]);
  ASSERT_TRUE(again.SaveOptions());
  EXPECT_EQ(ReadSearchSites().size(), 3u);
}

TEST_F(OptionsTest, ALargeCountReadsOnlyTheSitesThereInOnePass) {
  // Hand-edited: the count claims far more sites than the section holds, keys out of
  // order, in other cases, with gaps, one past the count and one repeated.
  const std::string body =
      "[Config]\r\nStartUp=1\r\n[DirectSite]\r\nsite7=일곱,http://7/\r\nSITE0=영,http://0/\r\n"
      "Site2=이,http://2/\r\nSite02=영이,http://02/\r\nSite2=둘,http://two/\r\nSite x=x,http://x/\r\n"
      "Site1000=천,http://1000/\r\nCount=";
  const auto names = [] {
    std::vector<std::string> out;
    for (const SearchSite& site : ReadSearchSites()) out.push_back(site.description);
    return out;
  };
  WriteProgramFile("Config.ini", body + "1000\r\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"영", "이", "일곱"}));
  ASSERT_EQ(sim::FileReads(ConfigPath()), 1);

  WriteProgramFile("Config.ini", body + "2147483647\r\n");
  Tfrm_Option options;
  options.LoadOptions();
  ASSERT_EQ(options.Listall.RowCount(), 4);
  EXPECT_EQ(options.Listall.Cell(3, 0), "천");
  WriteProgramFile("Config.ini", body + "3\r\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"영", "이"}));
  WriteProgramFile("Config.ini", body + "-5\r\n");
  EXPECT_TRUE(names().empty());
}

}  // namespace
