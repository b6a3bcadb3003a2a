// A key sequence gives the clipboard back: what it held before the first paste returns
// after the last wait, unless another program has changed it meanwhile.
#include <string>
#include <vector>

#include "actions/ClipboardLoan.h"
#include "actions/KeySequence.h"
#include "core/UnitFunction.h"
#include "platform/clipboard.h"
#include "platform/input.h"
#include "platform/msgloop.h"
#include "platform/sim/sim_clipboard.h"
#include "tests/unit/test_support.h"

using namespace kv;
using plat::ClipboardData;

namespace {

using Formats = std::vector<ClipboardData>;
constexpr std::uint32_t kStart = 5000;
constexpr unsigned kHtml = 0xC0F3;  // a registered format ("HTML Format")

// A device-independent bitmap: header and 32-bit pixels, w x h.
std::string Dib(int w, int h) {
  std::string dib(40 + 4 * w * h, '\0');
  dib[0] = 40;
  dib[4] = static_cast<char>(w & 0xFF), dib[5] = static_cast<char>(w >> 8);
  dib[8] = static_cast<char>(h & 0xFF), dib[9] = static_cast<char>(h >> 8);
  dib[12] = 1, dib[14] = 32;
  for (std::size_t i = 40; i < dib.size(); ++i) dib[i] = static_cast<char>(i * 7 + i / 4096);
  return dib;
}

// What a copy of text and a picture from a program looks like: what it put there first, then
// what the system made from it (the other text forms, the locale, the bitmap handle and the
// V5 bitmap), a file list and a registered format.
const ClipboardData kUnicode{plat::kCfUnicodeText, std::string("\x35\xBD\xAC\xC0\x00\x00", 6)};
const ClipboardData kLocale{plat::kCfLocale, std::string("\x12\x04\x00\x00", 4)};
const ClipboardData kDib{plat::kCfDib, Dib(512, 512)};  // 1 MB of pixels
const ClipboardData kFiles{plat::kCfHDrop, std::string("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0C:\\a.txt\0\0", 30)};
const ClipboardData kHtmlData{kHtml, "Version:0.9\r\n<b>x</b>"};

Formats UsersCopy() {
  return {kUnicode,
          kLocale,
          {plat::kCfText, std::string("\xB5\xBF\x00", 3)},
          {plat::kCfOemText, std::string("\xB5\xBF\x00", 3)},
          kDib,
          {plat::kCfBitmap, "hbitmap"},
          {plat::kCfDibV5, Dib(512, 512) + "v5"},
          kFiles,
          kHtmlData};
}
// What of it can be kept, in its order.
const Formats kKept = {kUnicode, kLocale, kDib, kFiles, kHtmlData};

std::vector<std::string> ChangeTexts() {
  std::vector<std::string> texts;
  for (const sim::ClipboardChange& c : sim::ClipboardChanges()) texts.push_back(c.text.value_or("<no text>"));
  return texts;
}

class ClipboardKeepTest : public SimTest {
 protected:
  ClipboardKeepTest() { sim::SetNow(kStart); }
  // Nothing stays kept once a test is over.
  ~ClipboardKeepTest() override { EXPECT_EQ(ClipboardBytesKept(), 0u); }
};

}  // namespace

TEST(ClipboardFormatsToKeep, MemoryFormatsAndOnlyTheOriginalOfEachFamily) {
  using namespace plat;
  const struct {
    std::vector<unsigned> listed;
    std::vector<unsigned> kept;
  } cases[] = {
      {{}, {}},
      // Unicode text put there: the ANSI and OEM forms are the system's, the locale is kept.
      {{kCfUnicodeText, kCfLocale, kCfText, kCfOemText}, {kCfUnicodeText, kCfLocale}},
      // ANSI text put there: Unicode is made from it.
      {{kCfText, kCfLocale, kCfOemText, kCfUnicodeText}, {kCfText, kCfLocale}},
      // A DIB put there: the bitmap handle and the V5 form are the system's.
      {{kCfDib, kCfBitmap, kCfDibV5}, {kCfDib}},
      {{kCfDibV5, kCfBitmap, kCfDib}, {kCfDibV5}},
      // A bitmap handle put there cannot be kept; the DIB the system made of it can.
      {{kCfBitmap, kCfDib, kCfDibV5}, {kCfDib}},
      // Handles to system objects, owner-display, private and GDI-object formats stay out.
      {{kCfMetafilePict, kCfEnhMetafile, kCfPalette, kCfOwnerDisplay, kCfDspBitmap, kCfDspMetafilePict,
        kCfDspEnhMetafile, 0x200, 0x2FF, 0x300, 0x3FF},
       {}},
      // File lists, display text, other standard and registered formats are memory.
      {{kCfHDrop, kCfDspText, 4, 0x400, 0xC000, 0xC123, 0xFFFF},
       {kCfHDrop, kCfDspText, 4, 0x400, 0xC000, 0xC123, 0xFFFF}},
      // Listed twice is kept once.
      {{0xC123, kCfHDrop, 0xC123}, {0xC123, kCfHDrop}},
  };
  for (const auto& c : cases) EXPECT_EQ(ClipboardFormatsToKeep(c.listed), c.kept) << ::testing::PrintToString(c.listed);
}

TEST_F(ClipboardKeepTest, TextImageAndFilesComeBackByteForByteAfterTheLastWait) {
  sim::PutFormatsOnClipboard(UsersCopy());
  std::size_t keptDuring = 0;
  sim::At(kStart + 300, [&] { keptDuring = ClipboardBytesKept(); });
  PlayKeySequence("하나;VK_TAB;둘;셋");
  // The pastes, then the give-back at the end of the last wait, after every key.
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나", "둘", "셋", "<no text>"}));
  const sim::ClipboardChange back = sim::ClipboardChanges().back();
  EXPECT_EQ(sim::Now(), kStart + 1400);
  EXPECT_EQ(back.tick, kStart + 1400);
  EXPECT_EQ(back.keyEventsBefore, sim::KeyEvents().size());
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);
  // Each text went on marked to stay out of clipboard history; what went back is unmarked.
  const std::vector<sim::ClipboardChange> changes = sim::ClipboardChanges();
  for (std::size_t i = 0; i + 1 < changes.size(); ++i) EXPECT_TRUE(sim::MarkedPrivate(changes[i].formats)) << i;
  EXPECT_FALSE(sim::MarkedPrivate(back.formats));
  // The bytes held meanwhile: the kept blocks, the megabyte of pixels among them, and
  // nothing of what the system makes again.
  EXPECT_EQ(keptDuring, 6u + 4u + (40u + 1048576u) + 30u + kHtmlData.bytes.size());
  const auto snapshot = plat::SaveClipboard(kKeepWithinMs);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->Bytes(), keptDuring);
}

TEST_F(ClipboardKeepTest, EmptyBeforeIsEmptyAfterAndKeysAloneTouchNothing) {
  PlayKeySequence("VK_TAB;VK_RETURN");
  EXPECT_TRUE(sim::ClipboardChanges().empty());

  PlayKeySequence("비밀번호;VK_RETURN");
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"비밀번호", "<no text>"}));
  EXPECT_TRUE(sim::ClipboardFormats().empty());
  EXPECT_FALSE(plat::ClipboardText());
}

TEST_F(ClipboardKeepTest, AnotherProgramsCopyDuringTheSequenceIsWhatStays) {
  const Formats theirs = {{plat::kCfUnicodeText, std::string("t\0h\0\0\0", 6)}, {kHtml, "<i>theirs</i>"}};
  const struct {
    const char* when;
    std::uint32_t at;
    std::vector<std::string> changes;
  } cases[] = {
      // During the last wait, after the last paste: the clipboard is left alone.
      {"after the last paste", kStart + 1300, {"하나", "둘", "셋"}},
      // Between two pastes: the later pastes need the clipboard, and afterwards it is
      // theirs that goes back, not what was there before it.
      {"between two pastes", kStart + 500, {"하나", "둘", "셋", "<no text>"}},
      // In the wait before a Ctrl+V: the text goes on once more, so the paste is ours, and
      // afterwards theirs goes back.
      {"before a Ctrl+V", kStart + 1100, {"하나", "둘", "셋", "셋", "<no text>"}},
  };
  for (const auto& c : cases) {
    sim::Reset();
    sim::SetNow(kStart);
    sim::PutFormatsOnClipboard(UsersCopy());
    sim::At(c.at, [&] { sim::PutFormatsOnClipboard(theirs); });
    PlayKeySequence("하나;VK_TAB;둘;셋");
    EXPECT_EQ(ChangeTexts(), c.changes) << c.when;
    EXPECT_TRUE(sim::ClipboardFormats() == theirs) << c.when;
    EXPECT_EQ(ClipboardBytesKept(), 0u) << c.when;
  }
}

TEST_F(ClipboardKeepTest, EachPasteIsOfItsOwnTextWhateverHappensInItsWait) {
  // A sequence started inside the wait before the user name's Ctrl+V: the user name is
  // put back, so the password never reaches the user-name box.
  // The text on the clipboard at each Ctrl+V.
  const auto pasted = [] {
    std::vector<std::string> texts;
    const auto keys = sim::KeyEvents();
    const auto changes = sim::ClipboardChanges();
    for (std::size_t k = 0; k < keys.size(); ++k) {
      if (keys[k].vk != 0x11 || (keys[k].flags & plat::kKeyEventKeyUp)) continue;
      std::string text = "<none>";
      for (const sim::ClipboardChange& c : changes)
        if (c.keyEventsBefore <= k) text = c.text.value_or("<no text>");
      texts.push_back(text);
    }
    return texts;
  };
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 100, [] { PlayKeySequence("비밀번호"); });
  PlayKeySequence("사용자;VK_RETURN");
  EXPECT_EQ(pasted(), (std::vector<std::string>{"비밀번호", "사용자"}));
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);

  // Another program copies and holds the clipboard in that wait: nothing is pasted and
  // Enter never goes out; what it copied stays.
  sim::Reset();
  sim::SetNow(kStart);
  sim::At(kStart + 100, [] {
    sim::PutOnClipboard("theirs");
    sim::HoldClipboard(true);
  });
  PlayKeySequence("사용자;VK_RETURN");
  sim::HoldClipboard(false);
  PumpingWait(10000);
  EXPECT_TRUE(pasted().empty());
  EXPECT_EQ(sim::KeyEvents().size(), 5u);  // the modifiers' release alone
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("theirs"));

  // The system empties the clipboard and then refuses the text: the sequence stops, and
  // the user's copy still goes back.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::RefuseClipboardData(true);
  PlayKeySequence("사용자;VK_RETURN");
  sim::RefuseClipboardData(false);
  EXPECT_TRUE(pasted().empty());
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);
}

TEST_F(ClipboardKeepTest, AnOwnerThatRendersSlowlyOrNeverHoldsTheSequenceABoundedTime) {
  // 1 s for each format it renders when asked: keeping stops asking after the first, which
  // alone goes back; the three texts still arrive.
  sim::PutRenderedOnClipboard(UsersCopy(), 1000);
  PlayKeySequence("하나;둘;셋");
  EXPECT_EQ(sim::Now(), kStart + 1000 + 1200);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나", "둘", "셋", "<no text>"}));
  EXPECT_TRUE(sim::ClipboardFormats() == Formats{kUnicode});

  // Never answering: given up after the longest wait for one format; the clipboard stays
  // open in the reading, so nothing is pasted, and the program goes on.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutRenderedOnClipboard(UsersCopy(), sim::kNeverRenders);
  PlayKeySequence("하나;둘;셋");
  EXPECT_EQ(sim::Now(), kStart + plat::kMostRenderWaitMs);
  EXPECT_TRUE(sim::ClipboardChanges().empty());
  sim::HoldClipboard(false);

  // A give-back still waiting for the clipboard when the machine is reset leaves nothing
  // behind: the next machine's timer of the same number still runs.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 300, [] { sim::HoldClipboard(true); });
  PlayKeySequence("하나;둘");
  sim::Reset();
  bool ran = false;
  plat::StartOneShotTimer(10, [&] { ran = true; });
  { const ClipboardLoan loan; }
  PumpingWait(20);
  EXPECT_TRUE(ran);
}

TEST_F(ClipboardKeepTest, ASequenceStoppedEarlyStillGivesBack) {
  // The program ending in the wait before a Ctrl+V: nothing more is pasted, and the
  // clipboard goes back at once.
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 700, [] { plat::QuitMessageLoop(0); });
  PlayKeySequence("하나;VK_TAB;둘;셋");
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나", "둘", "<no text>"}));
  EXPECT_EQ(sim::ClipboardChanges().back().tick, kStart + 700);
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);
  EXPECT_EQ(plat::RunMessageLoop(), 0);

  // Another program takes the clipboard after the first paste and holds it 1.2 s: the
  // second text cannot go on it, so the sequence stops (at 5400). Giving back is tried
  // then, 200 ms later and 1 s after that, when the clipboard is free again.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 300, [] { sim::HoldClipboard(true); });
  sim::At(kStart + 1500, [] { sim::HoldClipboard(false); });
  PlayKeySequence("하나;둘;셋");
  EXPECT_EQ(sim::Now(), kStart + 400);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나"}));
  PumpingWait(10000);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나", "<no text>"}));
  EXPECT_EQ(sim::ClipboardChanges().back().tick, kStart + 400 + 200 + 1000);
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);

  // The holder copied something of its own: that stays.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 300, [] { sim::HoldClipboard(true); });
  sim::At(kStart + 700, [] {
    sim::HoldClipboard(false);
    sim::PutOnClipboard("holder's");
    sim::HoldClipboard(true);
  });
  sim::At(kStart + 900, [] { sim::HoldClipboard(false); });
  PlayKeySequence("하나;둘;셋");
  PumpingWait(10000);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나"}));
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("holder's"));

  // Held past every try: the clipboard keeps the last text, as before there was keeping.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 300, [] { sim::HoldClipboard(true); });
  PlayKeySequence("하나;둘;셋");
  PumpingWait(10000);
  sim::HoldClipboard(false);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나"}));
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("하나"));
}

TEST_F(ClipboardKeepTest, SequencesInsideOneAnotherGiveBackOnceAtTheEnd) {
  // A sequence started in the outer one's wait after Tab pastes too; the user's copy goes
  // back once, when the outer one ends, and not the outer one's text.
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 450, [] { PlayKeySequence("안"); });
  PlayKeySequence("하나;VK_TAB;둘");
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나", "안", "둘", "<no text>"}));
  EXPECT_EQ(sim::ClipboardChanges().back().tick, sim::Now());
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);

  // A sequence that starts while a stopped one still waits to give back takes the keeping
  // over: at its end the user's copy goes back, not the stopped one's text.
  sim::Reset();
  sim::SetNow(kStart);
  sim::PutFormatsOnClipboard(UsersCopy());
  sim::At(kStart + 300, [] { sim::HoldClipboard(true); });
  sim::At(kStart + 500, [] { sim::HoldClipboard(false); });
  sim::At(kStart + 550, [] { PlayKeySequence("넷"); });
  PlayKeySequence("하나;둘");
  PumpingWait(10000);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나", "넷", "<no text>"}));
  EXPECT_EQ(sim::ClipboardChanges().back().tick, kStart + 550 + 400);
  EXPECT_TRUE(sim::ClipboardFormats() == kKept);
}

TEST_F(ClipboardKeepTest, PasteTextAloneKeepsNothing) {
  // Outside a sequence there is no end to give back at.
  sim::PutFormatsOnClipboard(UsersCopy());
  EXPECT_TRUE(PasteText("하나"));
  PumpingWait(10000);
  EXPECT_EQ(ChangeTexts(), (std::vector<std::string>{"하나"}));
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("하나"));
}
