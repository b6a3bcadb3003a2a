// The direct-search prompt: what it shows, what it launches, how it closes.
#include "actions/UnitExcuteFunction.h"
#include "actions/frmDirectMove.h"
#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/mouse.h"
#include "platform/msgloop.h"
#include "platform/sim/sim_mouse.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

// Splits a command line the way a Windows program's C runtime builds argv.
std::vector<std::string> CommandLineArgs(const std::string& line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) return args;
    std::string arg;
    bool inQuotes = false;
    while (i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t'))) {
      std::size_t slashes = 0;
      while (i < line.size() && line[i] == '\\') ++slashes, ++i;
      if (i < line.size() && line[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2) {
          arg += '"';
        } else {
          inQuotes = !inQuotes;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
      }
    }
    args.push_back(arg);
  }
}

class DirectSearchTest : public SimTest {
 protected:
  ~DirectSearchTest() override {
    for (Tfrm_DirectMove* p : std::vector<Tfrm_DirectMove*>(OpenPrompts())) p->Close();
    plat::ProcessPendingMessages();
  }
  Tfrm_DirectMove& Only() {
    EXPECT_EQ(OpenPrompts().size(), 1u);
    return *OpenPrompts().back();
  }
};

TEST_F(DirectSearchTest, PromptShowsSiteOnTopWithFocusAndPointerBack) {
  sim::SetScreenSize(1281, 1025);
  sim::SetCursorPos(-300, 17);
  ExecuteAction(kKindDirectSearch, "네이버 검색; http://search.example.com/search?q=");
  Tfrm_DirectMove& p = Only();
  EXPECT_EQ(p.lbl_info.Caption(), "네이버 검색");
  EXPECT_EQ(p.lbl_site.Caption(), "http://search.example.com/search?q=");
  EXPECT_TRUE(p.Visible());
  EXPECT_TRUE(p.StayOnTop());
  EXPECT_TRUE(sim::StayOnTop(p.Handle()));
  EXPECT_TRUE(p.txt_edit.Focused());
  EXPECT_TRUE(p.txt_edit.WantHangul());
  // One click at the centre of the screen, halves without remainder, then the pointer back.
  const std::vector<sim::MouseEvent> events = sim::MouseEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].flags, plat::kMouseEventLeftDown);
  EXPECT_EQ(events[1].flags, plat::kMouseEventLeftUp);
  for (const sim::MouseEvent& e : events) {
    EXPECT_EQ(e.x, 640);
    EXPECT_EQ(e.y, 512);
  }
  EXPECT_EQ(sim::CursorX(), -300);
  EXPECT_EQ(sim::CursorY(), 17);
  EXPECT_TRUE(sim::ShellCalls().empty());
}

TEST_F(DirectSearchTest, DashOfTheAddressComesBackFromTheStoredEntry) {
  ExecuteAction(kKindDirectSearch, "사전;http://dic.example.com/search-word?q=");
  ExecuteAction(kKindDirectSearch, EncodeInfoText("사전;http://dic.example.com/search-word?q="));
  ASSERT_EQ(OpenPrompts().size(), 2u);
  for (Tfrm_DirectMove* p : OpenPrompts()) EXPECT_EQ(p->lbl_site.Caption(), "http://dic.example.com/search-word?q=");
}

TEST_F(DirectSearchTest, AnAmpersandInTheSiteShowsAsItself) {
  // As a mnemonic, "...w=tot&q=" would read "...w=totq=" with the q underlined.
  ExecuteAction(kKindDirectSearch, "Q&A 검색;http://dic.example.com/?w=tot&q=");
  Tfrm_DirectMove& p = Only();
  EXPECT_EQ(p.lbl_info.Caption(), "Q&A 검색");
  EXPECT_FALSE(p.lbl_info.ShowAccelChar());
  EXPECT_EQ(p.lbl_site.Caption(), "http://dic.example.com/?w=tot&q=");
  EXPECT_FALSE(p.lbl_site.ShowAccelChar());
  // A text longer than its line ends in "..." and shows whole as its tip.
  EXPECT_TRUE(p.lbl_info.Ellipsis() && p.lbl_site.Ellipsis());
  EXPECT_EQ(p.lbl_site.Hint(), p.lbl_site.Caption());
  EXPECT_EQ(p.lbl_info.Hint(), "Q&A 검색");
}

TEST_F(DirectSearchTest, EnterLaunchesOneArgumentWithTheTextAsTyped) {
  // Blanks, Korean letters and quotes: the browser must get the whole URL as argv[1],
  // bytes unchanged, never percent-encoded.
  for (const std::string text : {"한글 검색", "a  b ", "say \"hi\"", "C:\\dir\\", "\\\"x", "%20+&"}) {
    sim::Reset();
    ShowDirectSearch("검색;http://s.example.com/?q=");
    Tfrm_DirectMove& p = Only();
    p.txt_edit.UserEdit(text);
    EXPECT_EQ(p.txt_edit.UserKeyPress(plat::kVkReturn), 0) << "Enter swallowed";
    const std::vector<sim::ShellCall> calls = sim::ShellCalls();
    ASSERT_EQ(calls.size(), 1u) << text;
    EXPECT_EQ(calls[0].file, "iexplore.exe");
    EXPECT_TRUE(calls[0].hasParameters);
    EXPECT_EQ(CommandLineArgs(calls[0].parameters), std::vector<std::string>{"http://s.example.com/?q=" + text})
        << calls[0].parameters;
    EXPECT_FALSE(p.Visible());
    plat::ProcessPendingMessages();
    EXPECT_TRUE(OpenPrompts().empty()) << "the closed prompt frees itself";
  }
}

TEST_F(DirectSearchTest, EmptyTextEscAndCancelCloseWithoutLaunching) {
  ShowDirectSearch("검색;http://s.example.com/?q=");
  Only().bntok.UserClick();
  plat::ProcessPendingMessages();
  ShowDirectSearch("검색;http://s.example.com/?q=");
  Tfrm_DirectMove& esc = Only();
  esc.txt_edit.UserEdit("남는 글");
  EXPECT_EQ(esc.txt_edit.UserKeyPress(plat::kVkEscape), 0);
  plat::ProcessPendingMessages();
  ShowDirectSearch("검색;http://s.example.com/?q=");
  Only().txt_edit.UserEdit("x");
  Only().bntcancle.UserClick();
  // The close box after Cancel, in the same message: the prompt is freed once.
  Only().HandleMessage(plat::kWmClose, 0, 0);
  plat::ProcessPendingMessages();
  EXPECT_TRUE(OpenPrompts().empty());
  EXPECT_TRUE(sim::ShellCalls().empty());
}

TEST_F(DirectSearchTest, TwoPromptsAreIndependent) {
  ShowDirectSearch("하나;http://one.example.com/?q=");
  ShowDirectSearch("둘;http://two.example.com/?q=");
  ASSERT_EQ(OpenPrompts().size(), 2u);
  Tfrm_DirectMove& first = *OpenPrompts()[0];
  Tfrm_DirectMove& second = *OpenPrompts()[1];
  EXPECT_NE(first.Handle(), second.Handle());
  second.txt_edit.UserEdit("말");
  second.bntok.UserClick();
  plat::ProcessPendingMessages();
  ASSERT_EQ(OpenPrompts().size(), 1u);
  EXPECT_EQ(OpenPrompts()[0], &first);
  EXPECT_TRUE(first.Visible());
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(CommandLineArgs(sim::ShellCalls()[0].parameters)[0], "http://two.example.com/?q=말");
}

TEST_F(DirectSearchTest, MalformedStringShowsAWarningAndNoPrompt) {
  for (const std::string info : {"", "설명만", "설명;", ";http://s.example.com/?q=", "  ;  "}) {
    sim::Reset();
    ShowDirectSearch(info);
    EXPECT_TRUE(OpenPrompts().empty()) << info;
    ASSERT_EQ(sim::Boxes().size(), 1u) << info;
    EXPECT_EQ(sim::Boxes()[0].caption, "알림말");
    EXPECT_EQ(sim::Boxes()[0].flags, plat::kMbOk | plat::kMbIconWarning);
    EXPECT_TRUE(sim::MouseEvents().empty());
  }
  // Items after the second are ignored; a quoted ";" stays in its item.
  sim::Reset();
  ShowDirectSearch("설명;http://s.example.com/?a=\"1;2\"&q=;나머지");
  EXPECT_EQ(Only().lbl_site.Caption(), "http://s.example.com/?a=\"1;2\"&q=");
  EXPECT_TRUE(sim::Boxes().empty());
}

}  // namespace
