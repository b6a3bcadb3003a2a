// The hotkey component: item states, registration, ids and the event's index.
#include "platform/hotkeys.h"

#include <set>
#include <stdexcept>

#include "hotkeys/AMHotKey.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

class HostForm : public plat::Form {
 public:
  HostForm() : plat::Form("host", plat::FormStyle::HiddenHost, 0, 0) {}
};

constexpr TModifiers kCtrlWin = ModBit(TModifier::modControl) | ModBit(TModifier::modWin);
constexpr TVirtKey kF5 = 80, kF1 = 76, kA = 34;

class HotKeyTest : public SimTest {
 protected:
  THotKeyItem& AddItem(TVirtKey key, TModifiers mods, bool enabled) {
    THotKeyItem& item = hk.HotKeys().Add();
    item.SetVirtKey(key);
    item.SetModifiers(mods);
    item.SetEnabled(enabled);
    return item;
  }
  std::vector<int> events;
  HostForm form;
  TAMHotKeys hk{form};
  void SetUp() override {
    SimTest::SetUp();
    hk.OnHotKeys = [this](TAMHotKeys&, std::uint16_t index) { events.push_back(index); };
  }
};

}  // namespace

TEST(KeyTable, NamesOrdinalsAndCodes) {
  ASSERT_EQ(VirtKeyName(0), "None");
  EXPECT_EQ(VirtKeyCode(0), 0);
  struct {
    int ordinal;
    const char* name;
    int code;
  } const rows[] = {{1, "Cancel", 0x03},    {8, "Escape", 0x1B},   {9, "Space", 0x20}, {17, "Down", 0x28},
                    {18, "Select", 0x29},   {19, "Execute", 0x2B}, {23, "Help", 0x2F}, {24, "0", 0x30},
                    {33, "9", 0x39},        {34, "A", 0x41},       {59, "Z", 0x5A},    {65, "Numpad5", 0x65},
                    {70, "Multiply", 0x6A}, {75, "Divide", 0x6F},  {76, "F1", 0x70},   {99, "F24", 0x87},
                    {100, "Numlock", 0x90}, {101, "Scroll", 0x91}, {102, "Apps", 0x5D}};
  for (const auto& r : rows) {
    EXPECT_EQ(VirtKeyName(r.ordinal), r.name) << r.ordinal;
    EXPECT_EQ(VirtKeyCode(r.ordinal), r.code) << r.name;
  }
  EXPECT_EQ(VirtKeyName(103), "");
  EXPECT_EQ(VirtKeyName(-1), "");
  // Every name is distinct and none holds a separator of the hotkey text or the work file.
  std::set<std::string> seen;
  for (int i = 0; i < kVirtKeyCount; ++i) {
    EXPECT_TRUE(seen.insert(VirtKeyName(i)).second) << VirtKeyName(i);
    EXPECT_EQ(VirtKeyName(i).find_first_of("+-"), std::string::npos);
  }
}

TEST(KeyTable, ModifierBitsMapToSystemFlags) {
  EXPECT_EQ(ModifierFlags(ModBit(TModifier::modShift)), plat::kModShift);
  EXPECT_EQ(ModifierFlags(ModBit(TModifier::modControl)), plat::kModControl);
  EXPECT_EQ(ModifierFlags(ModBit(TModifier::modAlt)), plat::kModAlt);
  EXPECT_EQ(ModifierFlags(ModBit(TModifier::modWin)), plat::kModWin);
  EXPECT_EQ(ModifierFlags(0x0F), 0x0Fu);
  EXPECT_EQ(ModBit(TModifier::modAlt), 4);
}

TEST_F(HotKeyTest, KeyMustComeBeforeModifiers) {
  THotKeyItem& early = hk.HotKeys().Add();
  early.SetModifiers(kCtrlWin);
  early.SetVirtKey(kF5);
  EXPECT_EQ(early.Modifiers(), 0);

  THotKeyItem& late = AddItem(kF5, kCtrlWin, true);
  EXPECT_EQ(late.Modifiers(), kCtrlWin);
  EXPECT_TRUE(late.Registered());
  ASSERT_EQ(sim::Registrations().size(), 1u);
  EXPECT_EQ(sim::Registrations()[0].modifiers, plat::kModControl | plat::kModWin);
  EXPECT_EQ(sim::Registrations()[0].vk, 0x74u);
  EXPECT_EQ(sim::Registrations()[0].id, late.ID());
  EXPECT_EQ(late.DisplayName(), "ControlWin_F5");
}

TEST_F(HotKeyTest, NoneKeyReleasesAndEmpties) {
  THotKeyItem& item = AddItem(kF5, kCtrlWin, true);
  ASSERT_TRUE(item.Registered());
  item.SetVirtKey(vkNone);
  EXPECT_FALSE(item.Registered());
  EXPECT_FALSE(item.Enabled());
  EXPECT_EQ(item.Modifiers(), 0);
  EXPECT_EQ(item.DisplayName(), "None");
  EXPECT_TRUE(sim::Registrations().empty());

  // Enabling an item without a key asks the system nothing.
  const int calls = sim::RegisterCalls();
  item.SetEnabled(true);
  EXPECT_TRUE(item.Enabled());
  EXPECT_FALSE(item.Registered());
  EXPECT_EQ(sim::RegisterCalls(), calls);
}

TEST_F(HotKeyTest, ChangedKeyTakesEffectOnlyAfterReenabling) {
  THotKeyItem& item = AddItem(kF5, kCtrlWin, true);
  item.SetVirtKey(kA);
  item.SetModifiers(ModBit(TModifier::modAlt));
  EXPECT_TRUE(sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74));
  EXPECT_FALSE(sim::PressHotKey(plat::kModAlt, 0x41));
  item.SetEnabled(false);
  item.SetEnabled(true);
  EXPECT_FALSE(sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74));
  EXPECT_TRUE(sim::PressHotKey(plat::kModAlt, 0x41));
  EXPECT_EQ(events, (std::vector<int>{0, 0}));
}

TEST_F(HotKeyTest, DuplicateCombinationOnlyFirstDelivers) {
  THotKeyItem& first = AddItem(kF5, kCtrlWin, true);
  THotKeyItem& second = AddItem(kF5, kCtrlWin, true);
  EXPECT_TRUE(first.Registered());
  EXPECT_TRUE(second.Enabled());
  EXPECT_FALSE(second.Registered());
  sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74);
  EXPECT_EQ(events, std::vector<int>{0});
}

TEST_F(HotKeyTest, EventCarriesCurrentIndexNotId) {
  AddItem(kA, ModBit(TModifier::modAlt), true);
  AddItem(kF1, ModBit(TModifier::modShift), true);
  THotKeyItem& third = AddItem(kF5, kCtrlWin, true);
  EXPECT_EQ(third.Index(), 2);
  FreeHotKeyItem(hk.HotKeys().Item(0));
  sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74);
  EXPECT_EQ(events, std::vector<int>{1});
  // A message for an id nobody holds raises nothing.
  sim::SendMessage(form.Handle(), plat::kWmHotKey, 0x7777, 0);
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(HotKeyTest, ItemHandlerRunsFirstAndMayFreeItself) {
  THotKeyItem& gone = AddItem(kA, ModBit(TModifier::modAlt), true);
  THotKeyItem& kept = AddItem(kF5, kCtrlWin, true);
  std::vector<std::string> order;
  kept.OnHotKey = [&](TAMHotKeys&) {
    order.push_back("item");
    FreeHotKeyItem(gone);
  };
  hk.OnHotKeys = [&](TAMHotKeys&, std::uint16_t index) { order.push_back("list " + std::to_string(index)); };
  sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74);
  EXPECT_EQ(order, (std::vector<std::string>{"item", "list 0"}));
}

TEST_F(HotKeyTest, RebuiltCollectionGetsFreshIdsInsideTheSystemRange) {
  int highest = -1;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 3; ++i) {
      THotKeyItem& item = AddItem(kF5 + i, kCtrlWin, true);
      EXPECT_GT(item.ID(), highest);
    }
    highest = hk.HotKeys().Item(2).ID();
    while (hk.HotKeys().Count()) FreeHotKeyItem(hk.HotKeys().Item(hk.HotKeys().Count() - 1));
  }
  events.clear();
  AddItem(kF5, kCtrlWin, true);
  sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74);
  EXPECT_EQ(events, std::vector<int>{0});
}

TEST_F(HotKeyTest, IdsWrapWithoutCollidingWithLiveItems) {
  THotKeyItem& resident = AddItem(kA, ModBit(TModifier::modAlt), true);  // id 0, kept throughout
  for (int i = 0; i < 0xC000 + 10; ++i) {
    THotKeyItem& item = AddItem(kF5, kCtrlWin, true);
    ASSERT_LE(item.ID(), kMaxHotKeyId);
    ASSERT_NE(item.ID(), resident.ID());
    ASSERT_TRUE(item.Registered()) << "add " << i;
    FreeHotKeyItem(item);
  }
  AddItem(kF5, kCtrlWin, true);
  events.clear();
  sim::PressHotKey(plat::kModAlt, 0x41);
  sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74);
  EXPECT_EQ(events, (std::vector<int>{0, 1}));
}

TEST_F(HotKeyTest, ItemsBeyondTheLastFreeIdAreAddedButNeverRegister) {
  for (int i = 0; i <= kMaxHotKeyId; ++i) hk.HotKeys().Add();
  THotKeyItem& extra = AddItem(kF5, kCtrlWin, true);  // every id is live: must not search forever
  EXPECT_EQ(extra.ID(), kNoHotKeyId);
  EXPECT_EQ(extra.Index(), kMaxHotKeyId + 1);
  EXPECT_FALSE(extra.Registered());
  EXPECT_FALSE(sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74));
  FreeHotKeyItem(extra);
  FreeHotKeyItem(hk.HotKeys().Item(7));  // one id free again: the next item takes it
  THotKeyItem& again = AddItem(kF5, kCtrlWin, true);
  EXPECT_EQ(again.ID(), 7);
  EXPECT_TRUE(again.Registered());
}

TEST_F(HotKeyTest, WindowDestructionReleasesEveryRegistration) {
  AddItem(kA, ModBit(TModifier::modAlt), true);
  THotKeyItem& off = AddItem(kF1, 0, false);
  THotKeyItem& on = AddItem(kF5, kCtrlWin, true);
  sim::SendMessage(form.Handle(), plat::kWmDestroy, 0, 0);
  EXPECT_TRUE(sim::Registrations().empty());
  EXPECT_FALSE(on.Enabled());
  EXPECT_FALSE(off.Enabled());
}

TEST_F(HotKeyTest, FailedUnregisterKeepsItemRegistered) {
  THotKeyItem& item = AddItem(kF5, kCtrlWin, true);
  // Someone else released it behind our back: the system no longer knows the id.
  plat::UnregisterHotKey(form.Handle(), item.ID());
  item.SetEnabled(false);
  EXPECT_TRUE(item.Registered());
}

TEST_F(HotKeyTest, OneComponentPerForm) {
  try {
    TAMHotKeys second(form);
    FAIL() << "a second component was accepted";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "No more than one TAMHotKeys-component on a form");
  }
  // The first one still works.
  AddItem(kF5, kCtrlWin, true);
  EXPECT_TRUE(sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74));
}

TEST_F(HotKeyTest, LoadedRegistersEnabledItems) {
  THotKeyItem& item = AddItem(kF5, kCtrlWin, true);
  plat::UnregisterHotKey(form.Handle(), item.ID());
  hk.Loaded();
  EXPECT_TRUE(sim::PressHotKey(plat::kModControl | plat::kModWin, 0x74));
}
