#include "platform/textfile.h"

#include "platform/text.h"

namespace plat {
namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LeMark[] = "\xFF\xFE";
const char kUtf16BeMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* mark) {
  return bytes.compare(0, std::string(mark).size(), mark) == 0;
}

// An odd last byte has no unit to go to and is left out.
std::u16string Utf16Units(const std::string& bytes, std::size_t from, bool bigEndian) {
  std::u16string units;
  units.reserve((bytes.size() - from) / 2);
  for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
    const unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    units += static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  }
  return units;
}

std::string Utf16Bytes(const std::u16string& units, bool bigEndian) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

bool IsUnmarkedUtf8(const std::string& bytes) {
  bool beyondAscii = false;
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t extra;
    // The second byte's range rules out overlong forms, surrogates and code points beyond
    // U+10FFFF; C2 80-9F are the control characters U+0080-U+009F.
    unsigned char low = 0x80, high = 0xBF;
    if (c == 0xC2) {
      extra = 1, low = 0xA0;
    } else if (c >= 0xC3 && c <= 0xDF) {
      extra = 1;
    } else if (c == 0xE0) {
      extra = 2, low = 0xA0;
    } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
      extra = 2;
    } else if (c == 0xED) {
      extra = 2, high = 0x9F;
    } else if (c == 0xF0) {
      extra = 3, low = 0x90;
    } else if (c >= 0xF1 && c <= 0xF3) {
      extra = 3;
    } else if (c == 0xF4) {
      extra = 3, high = 0x8F;
    } else {
      return false;
    }
    if (n - i <= extra) return false;
    const unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < low || second > high) return false;
    for (std::size_t k = 2; k <= extra; ++k)
      if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) return false;
    beyondAscii = true;
    i += extra + 1;
  }
  return beyondAscii;
}

DecodedText DecodeText(const std::string& bytes, bool unmarkedUtf8) {
  DecodedText d;
  if (StartsWith(bytes, kUtf8Mark)) {
    d.encoding = TextEncoding::kUtf8Mark;
    d.text = TextFromUtf16(Utf8ToUtf16(bytes.substr(3)));
  } else if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark)) {
    const bool bigEndian = bytes[0] == kUtf16BeMark[0];
    d.encoding = bigEndian ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le;
    d.text = TextFromUtf16(Utf16Units(bytes, 2, bigEndian));
  } else if (unmarkedUtf8 && IsUnmarkedUtf8(bytes)) {
    d.encoding = TextEncoding::kUtf8;
    d.text = TextFromUtf16(Utf8ToUtf16(bytes));
  } else {
    d.text = bytes;
    return d;
  }
  // Whatever the conversion could not carry shows here; a file that is whole comes back.
  d.exact = EncodeText(d.text, d.encoding) == bytes;
  return d;
}

std::string EncodeText(const std::string& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return Utf16ToUtf8(TextToUtf16(text));
    case TextEncoding::kUtf8Mark:
      return kUtf8Mark + Utf16ToUtf8(TextToUtf16(text));
    case TextEncoding::kUtf16Le:
      return kUtf16LeMark + Utf16Bytes(TextToUtf16(text), false);
    case TextEncoding::kUtf16Be:
      return kUtf16BeMark + Utf16Bytes(TextToUtf16(text), true);
    case TextEncoding::kCp949:
      break;
  }
  return text;
}

bool IsUtf8(TextEncoding encoding) { return encoding == TextEncoding::kUtf8 || encoding == TextEncoding::kUtf8Mark; }

bool EncodesExactly(const std::string& text, TextEncoding encoding) {
  if (encoding == TextEncoding::kCp949) return true;
  const std::u16string units = TextToUtf16(text);
  // UTF-8 spells whole characters only: a surrogate without its pair comes back as U+FFFD.
  return TextFromUtf16(units) == text && (!IsUtf8(encoding) || Utf8ToUtf16(Utf16ToUtf8(units)) == units);
}

LineEnd FirstLineEnd(const std::string& text) {
  const std::size_t at = text.find_first_of("\r\n");
  if (at == std::string::npos || text[at] == '\n') return at == std::string::npos ? LineEnd::kCrLf : LineEnd::kLf;
  return at + 1 < text.size() && text[at + 1] == '\n' ? LineEnd::kCrLf : LineEnd::kCr;
}

const char* LineEndText(LineEnd end) {
  switch (end) {
    case LineEnd::kLf:
      return "\n";
    case LineEnd::kCr:
      return "\r";
    case LineEnd::kCrLf:
      break;
  }
  return "\r\n";
}

}  // namespace plat
