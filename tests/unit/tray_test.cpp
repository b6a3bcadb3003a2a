// The tray icon component and its icon list against the simulated shell.
#include <cstring>
#include <stdexcept>

#include "platform/msgloop.h"
#include "platform/sim/sim_mouse.h"
#include "platform/sim/sim_tray.h"
#include "test_support.h"
#include "tray/IcoList.h"
#include "tray/TrayIcons.h"
#include "tray/TrayShell.h"

using kv::TIcon;
using kv::TIconList;
using kv::TMouseButton;
using kv::TTrayIcon;
using plat::NotifyAction;

namespace {

constexpr std::intptr_t kMove = 0x200, kLDown = 0x201, kLUp = 0x202, kLDbl = 0x203, kRDown = 0x204, kRUp = 0x205,
                        kMDown = 0x207;

std::string Tip(const plat::NotifyIconData& d) { return std::string(d.szTip); }

bool SameRecord(const plat::NotifyIconData& a, const plat::NotifyIconData& b) {
  return a.cbSize == b.cbSize && a.window == b.window && a.uID == b.uID && a.uFlags == b.uFlags &&
         a.uCallbackMessage == b.uCallbackMessage && a.icon == b.icon && std::memcmp(a.szTip, b.szTip, 64) == 0;
}

class TrayTest : public SimTest {
 protected:
  TrayTest() {
    picture.LoadFromIco(kv::TrayIconImage());
    frame0.LoadFromIco(kv::TrayFrameImage(0));
    frame1.LoadFromIco(kv::TrayFrameImage(1));
  }

  void Send(std::intptr_t mouseMessage) { sim::SendMessage(tray.Handle(), TTrayIcon::kTrayCallback, 0, mouseMessage); }

  // The component as the program sets it up: a hint, an icon, a menu with a default item.
  void SetUpAsProgram() {
    tray.SetHint("키베인");
    tray.SetIcon(&picture);
    edit = &menu.Items.Add("단축 편집", [this] { log += "edit;"; });
    edit->SetDefault(true);
    menu.Items.AddSeparator();
    menu.Items.Add("끝내기", [this] { log += "close;"; });
    tray.SetPopupMenu(&menu);
    tray.OnClick = [this](TTrayIcon&, TMouseButton b, kv::TShiftState s, int x, int y) {
      log += "click " + std::to_string(static_cast<int>(b)) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
             std::to_string(y) + ";";
    };
    tray.OnDblClick = [this](TTrayIcon&) { log += "dblclick;"; };
    tray.OnMouseUp = [this](TTrayIcon&, TMouseButton b, kv::TShiftState, int, int) {
      log += "up " + std::to_string(static_cast<int>(b)) + ";";
    };
    tray.OnMouseDown = [this](TTrayIcon&, TMouseButton b, kv::TShiftState s, int, int) {
      log += "down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(s) + ";";
    };
    tray.Loaded();
  }

  TIcon picture, frame0, frame1;
  kv::TPopupMenu menu;
  plat::MenuItem* edit = nullptr;
  std::string log;
  TTrayIcon tray;
};

}  // namespace

// ---------------------------------------------------------------- the record and the tip

TEST_F(TrayTest, TheRecordIsTheFirst88ByteFormWithTheCallbackMessageAndIcon) {
  SetUpAsProgram();
  ASSERT_TRUE(tray.InTray());
  const auto icons = sim::TrayIcons();
  ASSERT_EQ(icons.size(), 1u);
  const plat::NotifyIconData& d = icons[0];
  EXPECT_EQ(d.cbSize, 88u);
  EXPECT_EQ(d.window, tray.Handle());
  EXPECT_EQ(d.uID, 0u);
  EXPECT_EQ(d.uFlags, 7u);
  EXPECT_EQ(d.uCallbackMessage, 0xB054u);
  EXPECT_EQ(sim::IconImage(d.icon), kv::TrayIconImage());
  EXPECT_EQ(Tip(d), "키베인");
}

TEST_F(TrayTest, TheTipIsTheHintBeforeItsBarCutTo63BytesBetweenCharacters) {
  EXPECT_EQ(TTrayIcon::TipOf("짧은 힌트|긴 설명은 풍선에"), "짧은 힌트");
  EXPECT_EQ(TTrayIcon::TipOf("|only the long part"), "");
  const std::string ascii63(63, 'a');
  EXPECT_EQ(TTrayIcon::TipOf(ascii63 + "bc"), ascii63);
  // 62 plain bytes and a Korean character: its two bytes would end at 64, past the record.
  EXPECT_EQ(TTrayIcon::TipOf(std::string(62, 'a') + "가나"), std::string(62, 'a'));
  // 31 Korean characters fill 62 bytes; the 32nd does not fit, a plain byte does.
  std::string korean;
  for (int i = 0; i < 31; ++i) korean += "한";
  EXPECT_EQ(TTrayIcon::TipOf(korean + "한"), korean);
  EXPECT_EQ(TTrayIcon::TipOf(korean + "x한"), korean + "x");

  SetUpAsProgram();
  tray.SetHint(std::string(62, 'a') + "가");
  const auto d = sim::TrayIcons().at(0);
  EXPECT_EQ(Tip(d), std::string(62, 'a'));
  EXPECT_EQ(d.szTip[63], 0);
}

// ---------------------------------------------------------------- into and out of the tray

TEST_F(TrayTest, AnEmptyIconAddsNothingUntilAnIconArrives) {
  tray.SetHint("키베인");
  tray.Loaded();
  EXPECT_FALSE(tray.InTray());
  for (const auto& call : sim::NotifyCalls()) EXPECT_NE(call.action, NotifyAction::Add);
  EXPECT_TRUE(sim::TrayIcons().empty());

  tray.SetIcon(&picture);
  EXPECT_TRUE(tray.InTray());
  ASSERT_EQ(sim::TrayIcons().size(), 1u);

  // Making the icon empty while it shows takes it out again.
  tray.Icon().Clear();
  EXPECT_FALSE(tray.InTray());
  EXPECT_TRUE(sim::TrayIcons().empty());
}

TEST_F(TrayTest, AnIconWhoseImageIsNoIconStaysOut) {
  TIcon broken;
  broken.LoadFromIco("not an icon at all");
  tray.SetIcon(&broken);
  tray.Loaded();
  EXPECT_FALSE(tray.InTray());
  EXPECT_TRUE(sim::TrayIcons().empty());
}

TEST_F(TrayTest, AnEmptyHintIsFollowedByOneModifyWithTheSameRecord) {
  tray.SetIcon(&picture);
  tray.Loaded();
  const auto calls = sim::NotifyCalls();
  ASSERT_GE(calls.size(), 2u);
  const auto& add = calls[calls.size() - 2];
  const auto& modify = calls.back();
  EXPECT_EQ(add.action, NotifyAction::Add);
  EXPECT_EQ(modify.action, NotifyAction::Modify);
  EXPECT_TRUE(SameRecord(add.data, modify.data));

  // With a hint there is no such modify.
  sim::Reset();
  TTrayIcon hinted;
  TIcon icon;
  icon.LoadFromIco(kv::TrayIconImage());
  hinted.SetHint("키베인");
  hinted.SetIcon(&icon);
  EXPECT_EQ(sim::NotifyCalls().back().action, NotifyAction::Add);
}

TEST_F(TrayTest, ActiveFalseRemovesTheIconAndTrueAddsItAgain) {
  SetUpAsProgram();
  tray.SetActive(false);
  EXPECT_FALSE(tray.InTray());
  EXPECT_TRUE(sim::TrayIcons().empty());
  // Changes while inactive do not bring it back.
  tray.SetHint("다른 힌트");
  EXPECT_TRUE(sim::TrayIcons().empty());
  tray.SetActive(true);
  EXPECT_TRUE(tray.InTray());
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_EQ(Tip(sim::TrayIcons()[0]), "다른 힌트");
}

TEST_F(TrayTest, ARefusedAddIsRetriedByTheNextRefresh) {
  tray.SetHint("키베인");
  sim::RefuseAdds(1);
  tray.SetIcon(&picture);
  EXPECT_EQ(sim::NotifyCalls().back().action, NotifyAction::Add);
  EXPECT_FALSE(sim::NotifyCalls().back().accepted);
  EXPECT_FALSE(tray.InTray());
  EXPECT_TRUE(sim::TrayIcons().empty());
  tray.RefreshTray();
  EXPECT_TRUE(tray.InTray());
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
}

TEST_F(TrayTest, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
  SetUpAsProgram();
  sim::RestartTaskbar();
  EXPECT_TRUE(tray.InTray());
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_EQ(Tip(sim::TrayIcons()[0]), "키베인");

  // An inactive component stays out.
  tray.SetActive(false);
  sim::RestartTaskbar();
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_FALSE(tray.InTray());
}

TEST_F(TrayTest, DestroyingTakesTheIconOutAndFreesEveryHandle) {
  {
    TTrayIcon other;
    other.SetIcon(&picture);
    other.Icons().Add(&frame0);
    other.Icons().Add(&frame1);
    other.SetAnimated(true);
    other.Loaded();
    ASSERT_TRUE(other.InTray());
  }
  EXPECT_TRUE(sim::TrayIcons().empty());
  picture.Clear();
  frame0.Clear();
  frame1.Clear();
  EXPECT_EQ(sim::LiveIcons(), 0u);
}

// ---------------------------------------------------------------- mouse messages

TEST_F(TrayTest, ALeftClickRaisesDownClickAndUpWithTheCursorAndKeys) {
  SetUpAsProgram();
  sim::SetCursorPos(1000, 750);
  sim::SetKeyDown(0x10, true);  // Shift
  sim::SetKeyDown(0x11, true);  // Ctrl
  Send(kLDown);
  Send(kLUp);
  const std::string ss = std::to_string(kv::kSsShift | kv::kSsCtrl | kv::kSsLeft);
  EXPECT_EQ(log, "down 0 " + ss + ";click 0 " + ss + " 1000,750;up 0;");
  EXPECT_TRUE(sim::Popups().empty());
}

TEST_F(TrayTest, AButtonThatWentDownElsewhereGivesNoClickAndNoMenu) {
  SetUpAsProgram();
  Send(kRUp);
  Send(kLUp);
  EXPECT_EQ(log, "up 1;up 0;");
  EXPECT_TRUE(sim::Popups().empty());

  // Nor does one that went down before the icon was added again.
  Send(kLDown);
  log.clear();
  sim::RestartTaskbar();
  Send(kLUp);
  EXPECT_EQ(log, "up 0;");
}

TEST_F(TrayTest, ARightClickOpensTheMenuAtTheCursorAndRunsTheChoice) {
  SetUpAsProgram();
  sim::SetCursorPos(900, 740);
  sim::ChooseInNextPopup("끝내기");
  Send(kRDown);
  Send(kRUp);
  ASSERT_EQ(sim::Popups().size(), 1u);
  const sim::PopupCall popup = sim::Popups()[0];
  EXPECT_EQ(popup.window, tray.Handle());
  EXPECT_EQ(popup.at.x, 900);
  EXPECT_EQ(popup.at.y, 740);
  EXPECT_EQ(popup.items, (std::vector<std::string>{"단축 편집 (default)", "-", "끝내기"}));
  EXPECT_TRUE(popup.foregroundBefore);
  EXPECT_TRUE(popup.foregroundAfter);
  EXPECT_GE(popup.pumpsBefore, 1);
  EXPECT_EQ(log, "down 1 " + std::to_string(kv::kSsRight) + ";close;up 1;");
  EXPECT_EQ(menu.PopupComponent, &tray);

  // Dismissed: nothing runs, and still no OnClick.
  log.clear();
  Send(kRDown);
  Send(kRUp);
  EXPECT_EQ(sim::Popups().size(), 2u);
  EXPECT_EQ(log, "down 1 " + std::to_string(kv::kSsRight) + ";up 1;");

  // A disabled item cannot be chosen.
  log.clear();
  menu.Items.Find("끝내기")->SetEnabled(false);
  sim::ChooseInNextPopup("끝내기");
  Send(kRDown);
  Send(kRUp);
  EXPECT_EQ(sim::Popups().back().items.back(), "끝내기 (disabled)");
  EXPECT_EQ(log.find("close"), std::string::npos);
}

TEST_F(TrayTest, WithoutAutomaticPopupARightClickIsAClick) {
  SetUpAsProgram();
  menu.AutoPopup = false;
  sim::SetCursorPos(5, 6);
  Send(kRDown);
  Send(kRUp);
  EXPECT_TRUE(sim::Popups().empty());
  EXPECT_NE(log.find("click 1 " + std::to_string(kv::kSsRight) + " 5,6;"), std::string::npos) << log;

  // Nor without a menu, or while inactive.
  log.clear();
  menu.AutoPopup = true;
  tray.SetActive(false);
  EXPECT_FALSE(tray.PopupAtCursor(0, 0));
  EXPECT_TRUE(sim::Popups().empty());
}

TEST_F(TrayTest, ADoubleClickRunsTheEnabledDefaultItemOrRaisesOnDblClick) {
  SetUpAsProgram();
  Send(kLDbl);
  EXPECT_EQ(log, "edit;down 0 " + std::to_string(kv::kSsDouble) + ";");

  log.clear();
  edit->SetEnabled(false);
  Send(kLDbl);
  EXPECT_EQ(log, "dblclick;down 0 " + std::to_string(kv::kSsDouble) + ";");

  // A later enabled default item runs in place of the disabled one.
  log.clear();
  menu.Items.Find("끝내기")->SetDefault(true);
  Send(kLDbl);
  EXPECT_EQ(log.substr(0, 6), "close;");

  // A submenu's default does not count: only the top level is searched.
  log.clear();
  kv::TPopupMenu nested;
  nested.Items.Add("하위").Add("안쪽", [this] { log += "inner;"; }).SetDefault(true);
  tray.SetPopupMenu(&nested);
  EXPECT_FALSE(tray.ClickDefaultItem());
  tray.SetPopupMenu(nullptr);
  EXPECT_FALSE(tray.ClickDefaultItem());
}

TEST_F(TrayTest, WhileDisabledMouseMessagesRaiseNothing) {
  SetUpAsProgram();
  tray.OnMouseMove = [this](TTrayIcon&, kv::TShiftState, int, int) { log += "move;"; };
  tray.Enabled = false;
  for (std::intptr_t m : {kMove, kLDown, kLUp, kLDbl, kRDown, kRUp, kMDown}) Send(m);
  EXPECT_EQ(log, "");
  EXPECT_TRUE(sim::Popups().empty());
  EXPECT_EQ(tray.ButtonsDown(), 0u);
  tray.Enabled = true;
  Send(kMove);
  Send(kMDown);
  EXPECT_EQ(log, "move;down 2 " + std::to_string(kv::kSsMiddle) + ";");
}

TEST_F(TrayTest, AHandlersErrorIsShownAndTheNextMessageIsStillHandled) {
  SetUpAsProgram();
  tray.OnClick = [](TTrayIcon&, TMouseButton, kv::TShiftState, int, int) { throw std::runtime_error("처리 실패"); };
  Send(kLDown);
  Send(kLUp);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].text, "처리 실패");
  // The click's mouse-up was cut short, but the component goes on.
  log.clear();
  Send(kLDbl);
  EXPECT_EQ(log.substr(0, 5), "edit;");

  // An error of a chosen menu item likewise.
  menu.Items.Find("끝내기")->OnClick = [] { throw std::runtime_error("메뉴 실패"); };
  sim::ChooseInNextPopup("끝내기");
  Send(kRDown);
  Send(kRUp);
  ASSERT_EQ(sim::Boxes().size(), 2u);
  EXPECT_EQ(sim::Boxes()[1].text, "메뉴 실패");
}

TEST_F(TrayTest, ADestroyedMenuIsLetGo) {
  SetUpAsProgram();
  {
    kv::TPopupMenu temporary;
    temporary.Items.Add("잠깐");
    tray.SetPopupMenu(&temporary);
  }
  EXPECT_EQ(tray.PopupMenu(), nullptr);
  Send(kRDown);
  Send(kRUp);
  EXPECT_TRUE(sim::Popups().empty());
  EXPECT_NE(log.find("click 1"), std::string::npos);
}

// ---------------------------------------------------------------- animation

TEST_F(TrayTest, AnimationNeedsFramesAndStepsOnTheMessageLoop) {
  SetUpAsProgram();
  EXPECT_EQ(tray.FrameIndex(), -1);
  tray.SetAnimated(true);
  EXPECT_FALSE(tray.Animated());

  tray.Icons().Add(&frame0);
  tray.Icons().Add(&frame1);
  tray.SetInterval(700);
  tray.SetAnimated(true);
  ASSERT_TRUE(tray.Animated());
  EXPECT_EQ(tray.FrameIndex(), 0);
  EXPECT_EQ(sim::IconImage(sim::TrayIcons().at(0).icon), kv::TrayFrameImage(0));

  plat::WaitForMessage(699);
  plat::ProcessPendingMessages();
  EXPECT_EQ(tray.FrameIndex(), 0);
  plat::WaitForMessage(1);
  plat::ProcessPendingMessages();
  EXPECT_EQ(tray.FrameIndex(), 1);
  EXPECT_EQ(sim::IconImage(sim::TrayIcons().at(0).icon), kv::TrayFrameImage(1));

  // A new interval counts from the next step; the frames wrap.
  tray.SetInterval(100);
  plat::WaitForMessage(700);
  plat::ProcessPendingMessages();
  EXPECT_EQ(tray.FrameIndex(), 0);
  plat::WaitForMessage(100);
  plat::ProcessPendingMessages();
  EXPECT_EQ(tray.FrameIndex(), 1);

  // Out of the tray the animation stops; back in, it goes on.
  tray.SetActive(false);
  EXPECT_FALSE(tray.AnimationRunning());
  plat::WaitForMessage(1000);
  plat::ProcessPendingMessages();
  EXPECT_EQ(tray.FrameIndex(), 1);
  tray.SetActive(true);
  EXPECT_TRUE(tray.AnimationRunning());
  plat::WaitForMessage(100);
  plat::ProcessPendingMessages();
  EXPECT_EQ(tray.FrameIndex(), 0);

  // Emptying the frames ends the animation and the static icon shows again.
  tray.Icons().Clear();
  EXPECT_FALSE(tray.Animated());
  EXPECT_FALSE(tray.AnimationRunning());
  EXPECT_EQ(sim::IconImage(sim::TrayIcons().at(0).icon), kv::TrayIconImage());
}

// ---------------------------------------------------------------- the icon list

class IconListTest : public SimTest {
 protected:
  IconListTest() {
    a.LoadFromIco(kv::TrayFrameImage(0));
    b.LoadFromIco(kv::TrayFrameImage(1));
    list.OnChange = [this] { ++changes; };
  }
  TIcon a, b;
  TIconList list;
  int changes = 0;
};

TEST_F(IconListTest, EveryChangeReportsOnceAndBracketsNest) {
  list.Add(&a);
  list.Add(&b);
  EXPECT_EQ(changes, 2);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Exchange(0, 1);
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
  // A bracket with no change in it reports nothing.
  list.BeginUpdate();
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
  // A change inside an owned icon reports through the list.
  list.Items(0)->LoadFromIco(kv::TrayIconImage());
  EXPECT_EQ(changes, 4);
  // Put into a new slot: one report.
  list.Put(list.Count(), &b);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(IconListTest, OperationsKeepCopiesInOrder) {
  list.Add(&a);
  list.Insert(0, &b);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0)->Image(), b.Image());
  EXPECT_NE(list.Items(0), &b);  // a copy
  b.Clear();
  EXPECT_FALSE(list.Items(0)->Empty());

  TIcon* first = list.Items(0);
  list.Move(0, 1);
  EXPECT_EQ(list.IndexOf(first), 1);
  EXPECT_EQ(list.IndexOf(&a), -1);
  list.Put(1, &a);
  EXPECT_EQ(list.Items(1), first);  // copied into the icon that is there
  EXPECT_EQ(first->Image(), a.Image());

  TIconList other;
  other.Assign(&list);
  ASSERT_EQ(other.Count(), 2);
  EXPECT_NE(other.Items(0), list.Items(0));
  EXPECT_FALSE(other.ShouldStore(&list));
  other.Items(1)->LoadFromIco(kv::TrayFrameImage(1));
  EXPECT_TRUE(other.ShouldStore(&list));
  other.AssignIcon(&a);
  EXPECT_EQ(other.Count(), 1);
  other.AssignIcon(nullptr);
  EXPECT_EQ(other.Count(), 0);
  EXPECT_FALSE(other.ShouldStore(nullptr));

  EXPECT_THROW(list.Items(2), std::out_of_range);
  EXPECT_THROW(list.Delete(-1), std::out_of_range);
  EXPECT_THROW(list.Insert(3, &a), std::out_of_range);
}

TEST_F(IconListTest, AResourceIconIsKeptWithItsImage) {
  sim::AddIconResource("#1", kv::TrayIconImage());
  EXPECT_EQ(list.AddFromResource("#2"), -1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.AddFromResource("#1"), 0);
  EXPECT_EQ(list.Items(0)->Image(), kv::TrayIconImage());
  EXPECT_NE(list.Items(0)->Handle(), 0u);
  TIconList stored;
  std::string error;
  ASSERT_TRUE(stored.Read(list.Write(), error)) << error;
  EXPECT_EQ(stored.Items(0)->Image(), kv::TrayIconImage());
}

TEST_F(IconListTest, TheStoredFormOfTheTraysTwoFramesIs648Bytes) {
  list.Add(&a);
  list.Add(&b);
  const std::string stored = list.Write();
  ASSERT_EQ(stored.size(), 648u);
  EXPECT_EQ(stored.substr(0, 8), std::string("\x02\0\0\0\x3E\x01\0\0", 8));
  EXPECT_EQ(kv::TrayIconImage().size(), 318u);

  TIconList back;
  int backChanges = 0;
  back.OnChange = [&] { ++backChanges; };
  std::string error;
  ASSERT_TRUE(back.Read(stored, error)) << error;
  EXPECT_EQ(backChanges, 1);
  EXPECT_EQ(back.Write(), stored);
  EXPECT_FALSE(back.ShouldStore(&list));
  EXPECT_TRUE(back.ShouldStore(nullptr));
}

TEST_F(IconListTest, EmptySlotsAndEmptyIconsAreStoredAsSizeZero) {
  TIcon empty;
  list.Add(&a);
  list.Add(&empty);
  const std::string stored = list.Write();
  EXPECT_EQ(stored.size(), 4u + 4 + 318 + 4);
  TIconList back;
  std::string error;
  // A negative size reads as an empty slot too.
  std::string withNegative = stored;
  withNegative[0] = 3;
  withNegative += std::string("\xFF\xFF\xFF\xFF", 4);
  ASSERT_TRUE(back.Read(withNegative, error)) << error;
  ASSERT_EQ(back.Count(), 3);
  EXPECT_NE(back.Items(0), nullptr);
  EXPECT_EQ(back.Items(1), nullptr);
  EXPECT_EQ(back.Items(2), nullptr);
  // Putting into an empty slot gives it an icon.
  back.Put(1, &b);
  ASSERT_NE(back.Items(1), nullptr);
  EXPECT_EQ(back.Items(1)->Image(), b.Image());
}

TEST_F(IconListTest, DamagedStoredFormsAreRefusedAndTheListKept) {
  list.Add(&a);
  const std::string good = [&] {
    TIconList two;
    two.Add(&a);
    two.Add(&b);
    return two.Write();
  }();
  changes = 0;
  const std::vector<std::string> damaged = {
      std::string(),                                 // no count
      std::string("\x01\0", 2),                      // count cut short
      std::string("\xFF\xFF\xFF\xFF", 4),            // negative count
      std::string("\xFF\xFF\xFF\x7F", 4),            // two thousand million icons in 4 bytes
      std::string("\x01\0\0\0\xFF\xFF\xFF\x7F", 8),  // one icon claiming 2 GB
      std::string("\x01\0\0\0\x10\0\0\0abc", 11),    // one icon cut short
      good.substr(0, good.size() - 1),               // the last image cut short
      good + "x",                                    // a byte after the last icon
  };
  for (const std::string& data : damaged) {
    std::string error;
    EXPECT_FALSE(list.Read(data, error)) << data.size();
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->Image(), a.Image());
  }
  EXPECT_EQ(changes, 0);
}
