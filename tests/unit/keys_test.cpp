// Key-sequence playback: the keys and clipboard texts it sends, and when.
#include <algorithm>
#include <cstdio>

#include "actions/KeySequence.h"
#include "actions/UnitExcuteFunction.h"
#include "core/UnitFunction.h"
#include "core/frmMain.h"
#include "platform/clipboard.h"
#include "platform/hotkeys.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/sim/sim_clipboard.h"
#include "tests/unit/test_support.h"

using namespace kv;

namespace {

using Lines = std::vector<std::string>;
constexpr std::uint32_t kStart = 5000;

std::string Hex(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X", v);
  return buf;
}

// Every key event and clipboard change in the order they happened, with their times.
Lines Stream() {
  const auto keys = sim::KeyEvents();
  const auto clips = sim::ClipboardChanges();
  Lines out;
  std::size_t c = 0;
  for (std::size_t k = 0; k <= keys.size(); ++k) {
    for (; c < clips.size() && clips[c].keyEventsBefore == k; ++c)
      out.push_back("clip \"" + clips[c].text.value_or("<empty>") + "\" @" + std::to_string(clips[c].tick));
    if (k == keys.size()) break;
    const sim::KeyEvent& e = keys[k];
    out.push_back(Hex(e.vk) + " scan " + Hex(e.scan) + (e.flags == plat::kKeyEventKeyUp ? " up" : " down") + " @" +
                  std::to_string(e.tick));
  }
  return out;
}

Lines Released(std::uint32_t tick) {
  Lines out;
  for (unsigned vk : {0x11u, 0x12u, 0x10u, 0x5Bu, 0x5Cu})
    out.push_back(Hex(vk) + " scan " + Hex(plat::ScanCodeOf(static_cast<std::uint8_t>(vk))) + " up @" +
                  std::to_string(tick));
  return out;
}

Lines Tapped(unsigned vk, std::uint32_t tick) {
  const std::string scan = Hex(plat::ScanCodeOf(static_cast<std::uint8_t>(vk)));
  const std::string t = " @" + std::to_string(tick);
  return {Hex(vk) + " scan " + scan + " down" + t, Hex(vk) + " scan " + scan + " up" + t};
}

Lines Pasted(const std::string& text, std::uint32_t filled, std::uint32_t pressed) {
  const std::string t = " @" + std::to_string(pressed);
  return {"clip \"" + text + "\" @" + std::to_string(filled), "11 scan 11 down" + t, "56 scan 56 down" + t,
          "56 scan 56 up" + t, "11 scan 11 up" + t};
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// What a sequence did, in short: "paste <text>" and "tap <vk>", after the modifiers'
// release (checked to come first, and only once), and "give back <text>" when the last
// change of the clipboard came after the last key.
Lines Summary() {
  const Lines all = Stream();
  Lines out;
  if (all.empty()) return out;
  std::size_t i = 0;
  if (all.size() >= 5 && Lines(all.begin(), all.begin() + 5) == Released(kStart))
    i = 5;
  else
    out.push_back("no release first");
  while (i < all.size()) {
    const std::string& line = all[i];
    if (line.rfind("clip \"", 0) == 0 && i + 4 < all.size() && all[i + 1].rfind("11 scan 11 down", 0) == 0 &&
        all[i + 4].rfind("11 scan 11 up", 0) == 0) {
      out.push_back("paste " + line.substr(6, line.rfind('"') - 6));
      i += 5;
    } else if (line.rfind("clip \"", 0) == 0 && i + 1 == all.size()) {
      out.push_back("give back " + line.substr(6, line.rfind('"') - 6));
      ++i;
    } else if (i + 1 < all.size() && line.find(" down @") != std::string::npos &&
               all[i + 1].substr(0, 2) == line.substr(0, 2) && all[i + 1].find(" up @") != std::string::npos) {
      out.push_back("tap " + line.substr(0, 2));
      i += 2;
    } else {
      out.push_back("? " + line);
      ++i;
    }
  }
  return out;
}

class KeySequenceTest : public SimTest {
 protected:
  KeySequenceTest() { sim::SetNow(kStart); }
};

}  // namespace

TEST_F(KeySequenceTest, EveryKindOfItemMakesTheExactStreamWithItsWaits) {
  sim::PutOnClipboard("the user's own text");
  // The executor gives the "-" back; the blank in front of the first item goes, the one
  // at the end of the password stays; key names are read in any case, as the editor's
  // example writes them.
  ExecuteAction(kKindKeySequence, " 아이디;VK_TAB;비밀ㅡ번호 ;VK_RETURN;VK_ESCAPE;VK_BACK;VK_Tab");
  const Lines expected = Released(5000) + Pasted("아이디", 5000, 5200) + Tapped(0x09, 5400) +
                         Pasted("비밀-번호 ", 5600, 5800) + Tapped(0x0D, 6000) + Tapped(0x1B, 6200) +
                         Tapped(0x08, 6400) + Tapped(0x09, 6600) + Lines{"clip \"the user's own text\" @6800"};
  EXPECT_EQ(Stream(), expected);
  // 200 ms after the last item the user's text is back on the clipboard.
  EXPECT_EQ(sim::Now(), 6800u);
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("the user's own text"));
}

TEST_F(KeySequenceTest, ATextItemHandlesMessagesOnceAfterCtrlV) {
  // Two passes for each wait with nothing due (at its start and at its deadline), and
  // the one pass right after Ctrl+V.
  PlayKeySequence("VK_ESCAPE");
  EXPECT_EQ(sim::PumpCount(), 2);
  PlayKeySequence("글");
  EXPECT_EQ(sim::PumpCount(), 2 + 5);
  PasteText("둘");
  EXPECT_EQ(sim::PumpCount(), 2 + 5 + 3);
  EXPECT_EQ(sim::Now(), kStart + 200 + 400 + 200);
}

TEST_F(KeySequenceTest, AHotkeyPressedDuringAWaitRunsInsideIt) {
  WriteProgramFile("MyJob.ini",
                   "d-P0-Ctrl+Win+F5-키값자동 입력-이름;VK_TAB-True-\r\n"
                   "d-P1-Ctrl+Win+F6-웹사이트 이동-http://a-True-\r\n"
                   "d-P2-Ctrl+Win+F7-키값자동 입력-VK_ESCAPE-True-\r\n");
  Tfrm_main editor;
  constexpr unsigned kCtrlWin = plat::kModControl | plat::kModWin;
  std::size_t keysWhenOpened = 0;
  sim::At(kStart + 250, [&] {
    sim::PressHotKey(kCtrlWin, 0x75);
    keysWhenOpened = sim::KeyEvents().size();
  });
  sim::At(kStart + 450, [&] { sim::PressHotKey(kCtrlWin, 0x76); });
  ASSERT_TRUE(sim::PressHotKey(kCtrlWin, 0x74));
  // The site opened at once, after the paste and before the tab.
  ASSERT_EQ(sim::ShellCalls().size(), 1u);
  EXPECT_EQ(keysWhenOpened, 5u + 4u);
  // The second sequence ran inside the first one's last wait, releasing and pressing
  // its keys at the moment of its press; the first one ends once the inner wait has.
  // The clipboard, empty before, goes back once, when the outer one has ended.
  const Lines expected = Released(kStart) + Pasted("이름", kStart, kStart + 200) + Tapped(0x09, kStart + 400) +
                         Released(kStart + 450) + Tapped(0x1B, kStart + 450) +
                         Lines{"clip \"<empty>\" @" + std::to_string(kStart + 650)};
  EXPECT_EQ(Stream(), expected);
  EXPECT_EQ(sim::Now(), kStart + 650);
}

TEST_F(KeySequenceTest, OddInput) {
  const struct {
    const char* info;
    Lines did;
    std::uint32_t ms;
  } cases[] = {
      {"", {}, 0},
      {" ;; ; \r\n;", {}, 0},
      {"VK_TAB;;", {"tap 09"}, 200},
      // An apostrophe left open swallows the rest, separators included.
      {"it's;VK_TAB;x", {"paste it's;VK_TAB;x", "give back <empty>"}, 400},
      {"'a;b' c;VK_BACK", {"paste 'a;b' c", "tap 08", "give back <empty>"}, 600},
      // Line breaks separate like ";"; a trailing blank makes a key name a text.
      {"x\r\ny\nVK_RETURN\rVK_TAB ", {"paste x", "paste y", "tap 0D", "paste VK_TAB ", "give back <empty>"}, 1400},
      {"vk_tab;\"VK_TAB\";Vk_Escape", {"tap 09", "paste \"VK_TAB\"", "tap 1B", "give back <empty>"}, 800},
      // A lone quote mark is stored full-width; it is typed as the user wrote it.
      {"Bob＇s!;vK_rEtUrN;say ＂hi;VK_TABs", {"paste Bob's!", "tap 0D", "paste say \"hi", "paste VK_TABs", "give back <empty>"}, 1400},
  };
  for (const auto& c : cases) {
    sim::Reset();
    sim::SetNow(kStart);
    PlayKeySequence(c.info);
    EXPECT_EQ(Summary(), c.did) << c.info;
    EXPECT_EQ(sim::Now() - kStart, c.ms) << c.info;
  }
}

TEST_F(KeySequenceTest, AClipboardHeldByAnotherProgramStopsTheSequenceThere) {
  // Held from the start: nothing is pasted, Enter never goes out, their text stays.
  sim::PutOnClipboard("theirs");
  sim::HoldClipboard(true);
  PlayKeySequence("mine;VK_RETURN");
  sim::HoldClipboard(false);
  EXPECT_TRUE(sim::ClipboardChanges().empty());
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("theirs"));
  EXPECT_EQ(Stream(), Released(kStart));
  EXPECT_EQ(sim::Now(), kStart);

  // Taken between the user name and the password: Ctrl+V would paste the user name into
  // the password box and Enter would send it.
  sim::Reset();
  sim::SetNow(kStart);
  sim::At(kStart + 300, [] { sim::HoldClipboard(true); });
  PlayKeySequence("user;VK_TAB;pass;VK_RETURN");
  EXPECT_EQ(Summary(), (Lines{"paste user", "tap 09"}));
  EXPECT_EQ(sim::Now(), kStart + 600);
  // Released, the clipboard goes back at the next try of giving back.
  sim::HoldClipboard(false);
  PumpingWait(200);
  EXPECT_EQ(Summary(), (Lines{"paste user", "tap 09", "give back <empty>"}));
}

TEST_F(KeySequenceTest, HeldBareKeyNestsBoundedAndEnds) {
  // A hotkey without modifiers repeats while held; every repeat lands inside the waits of
  // the sequences before it.
  WriteProgramFile("MyJob.ini", "d-P0-F5-키값자동 입력-x;y-True-\r\n");
  Tfrm_main editor;
  // Ctrl+V presses while the clipboard held this text.
  const auto count = [](const std::string& text) {
    const auto keys = sim::KeyEvents();
    const auto changes = sim::ClipboardChanges();
    int n = 0;
    std::size_t c = 0;
    std::optional<std::string> on;
    for (std::size_t k = 0; k < keys.size(); ++k) {
      for (; c < changes.size() && changes[c].keyEventsBefore <= k; ++c) on = changes[c].text;
      n += keys[k].vk == 0x56 && !(keys[k].flags & plat::kKeyEventKeyUp) && on == text;
    }
    return n;
  };
  int presses = 0, mostAtOnce = 0;
  for (std::uint32_t t = kStart; t < kStart + 10000; t += 33)
    sim::At(t, [&] {
      ++presses;
      mostAtOnce = std::max(mostAtOnce, RunningKeySequences());
      sim::PressHotKey(0, 0x74);
    });
  plat::RunMessageLoop();
  EXPECT_EQ(presses, 304);
  EXPECT_EQ(mostAtOnce, kMaxRunningKeySequences);
  EXPECT_EQ(RunningKeySequences(), 0);
  // Every sequence that started also finished, soon after the key was let go.
  EXPECT_EQ(count("x"), count("y"));
  EXPECT_LE(count("x"), 60);
  EXPECT_LE(sim::Now(), kStart + 10000 + kMaxRunningKeySequences * 800u);

  // Released: the next press plays the sequence as usual.
  sim::SetNow(sim::Now() + 1000);
  const std::size_t before = sim::ClipboardChanges().size();
  sim::PressHotKey(0, 0x74);
  EXPECT_EQ(sim::ClipboardChanges().size(), before + 3);  // x, y and the give-back
}
