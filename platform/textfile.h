#pragma once
// A text file's bytes and the program's text (CP949 with escapes, platform/text.h), in the
// forms text editors save: CP949, UTF-8 with or without a byte-order mark, UTF-16 LE or BE
// after a mark. The one place where a form is told, decoded and encoded, so that a file is
// written back in the form it came in; "Config.ini" and the work file both use it.
#include <string>

namespace plat {

enum class TextEncoding { kCp949, kUtf8, kUtf8Mark, kUtf16Le, kUtf16Be };
enum class LineEnd { kCrLf, kLf, kCr };

// How a file was found, for writing it back so.
struct TextForm {
  TextEncoding encoding = TextEncoding::kCp949;
  LineEnd lineEnd = LineEnd::kCrLf;
};

struct DecodedText {
  std::string text;  // the program's text
  TextEncoding encoding = TextEncoding::kCp949;
  // Encoding text again gives the bytes back. False for a damaged file (a malformed UTF-8
  // sequence, an odd byte at the end of UTF-16): its text holds U+FFFD or lacks that byte.
  bool exact = true;
};

// Tells the form by the file's first bytes and decodes it. A mark decides (EF BB BF,
// FF FE, FE FF). Without one the bytes are CP949, unless unmarkedUtf8 is set and they are
// IsUnmarkedUtf8. Characters CP949 cannot spell come through as the text's escapes, so
// every UTF form reads and writes back without loss.
DecodedText DecodeText(const std::string& bytes, bool unmarkedUtf8);

// The program's text in that form, the mark first; the escapes become their characters.
// A CP949 file must not be given a text with escapes: its writers take them out or choose a
// UTF form first (FindCharactersOutsideCp949).
std::string EncodeText(const std::string& text, TextEncoding encoding);

// Whether EncodeText carries the text into that form without loss: always for CP949 (bytes
// as they are); for a UTF form unless the text holds bytes that spell no CP949 character
// (from a damaged CP949 file), which become a replacement character; for UTF-8 also unless
// it holds a surrogate without its pair (a file name Windows allows, which only UTF-16 can
// spell).
bool EncodesExactly(const std::string& text, TextEncoding encoding);
bool IsUtf8(TextEncoding encoding);

// Whether unmarked bytes are taken for UTF-8 rather than CP949: valid UTF-8 throughout
// (nothing overlong, no surrogate, nothing beyond U+10FFFF), with at least one character
// beyond ASCII, and none of the control characters U+0080 to U+009F, which no editor saves.
// Pure ASCII is CP949 (the same bytes either way). CP949 Korean is almost never valid
// UTF-8: the lead bytes 81-C1 cannot start a UTF-8 sequence and the trail bytes C0-FE
// cannot continue one. Of the 2350 common syllables 217 (lead C2-C8, trail A1-BF, such as
// "짜", C2 A5) spell a two-byte sequence on their own, but none of the action kind names
// is valid UTF-8, so a work file with one entry of a known kind is never taken for UTF-8.
bool IsUnmarkedUtf8(const std::string& bytes);

// The end of the text's first line; CR LF when it has none.
LineEnd FirstLineEnd(const std::string& text);
const char* LineEndText(LineEnd end);

}  // namespace plat
