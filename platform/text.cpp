#include "platform/text.h"

namespace plat {
namespace {

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

void AppendEscape(char16_t unit, std::string& out) {
  static const char digits[] = "0123456789ABCDEF";
  out += kTextEscape;
  for (int shift = 12; shift >= 0; shift -= 4) out += digits[(unit >> shift) & 0xF];
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The unit of an escape starting at text[i], or -1 when there is none.
long EscapeAt(const std::string& text, std::size_t i) {
  if (text[i] != kTextEscape || text.size() - i < 5) return -1;
  long unit = 0;
  for (std::size_t k = 1; k <= 4; ++k) {
    const int d = HexValue(text[i + k]);
    if (d < 0) return -1;
    unit = unit * 16 + d;
  }
  return unit;
}

// Units that are all ASCII need no tables.
bool AllAscii(const char16_t* units, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (units[i] >= 0x80) return false;
  return true;
}

void AppendRun(const char16_t* units, std::size_t count, std::string& out) {
  if (count == 0) return;
  if (AllAscii(units, count)) {
    for (std::size_t i = 0; i < count; ++i) out += static_cast<char>(units[i]);
    return;
  }
  if (text_backend::Utf16ToCp949(units, count, out)) return;
  // Something in the run has no CP949 spelling: find out which, one unit at a time.
  for (std::size_t i = 0; i < count; ++i)
    if (!text_backend::Utf16ToCp949(units + i, 1, out)) AppendEscape(units[i], out);
}

void AppendBytes(const std::string& text, std::size_t from, std::size_t to, std::u16string& out) {
  bool ascii = true;
  for (std::size_t i = from; i < to && ascii; ++i) ascii = static_cast<unsigned char>(text[i]) < 0x80;
  if (ascii) {
    for (std::size_t i = from; i < to; ++i) out += static_cast<char16_t>(text[i]);
    return;
  }
  out += text_backend::Cp949ToUtf16(text.data() + from, to - from);
}

}  // namespace

std::size_t CharBytes(const std::string& text, std::size_t i) {
  const long unit = EscapeAt(text, i);
  if (unit >= 0) {
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 5 < text.size()) {
      const long low = EscapeAt(text, i + 5);
      if (low >= 0xDC00 && low <= 0xDFFF) return 10;
    }
    return 5;
  }
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x81 || lead > 0xFE || i + 1 >= text.size()) return 1;
  const unsigned char t = static_cast<unsigned char>(text[i + 1]);
  const bool trail = (t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) || (t >= 0x81 && t <= 0xFE);
  return trail ? 2 : 1;
}

void FindCharactersOutsideCp949(const std::string& text, std::vector<std::string>& found) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = CharBytes(text, i);
    if (EscapeAt(text, i) >= 0) {
      // Named by its units in upper case, whichever case the text spelled the escape in.
      std::string character = TextFromUtf16(TextToUtf16(text.substr(i, n)));
      bool known = false;
      for (const std::string& f : found) known = known || f == character;
      if (!known) found.push_back(std::move(character));
    }
    i += n;
  }
}

std::string WithoutCharactersOutsideCp949(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = CharBytes(text, i);
    if (EscapeAt(text, i) < 0) out.append(text, i, n);
    i += n;
  }
  return out;
}

std::string NameOfCharacter(const std::string& character) {
  const std::u16string units = TextToUtf16(character);
  char32_t cp = units.empty() ? 0 : units[0];
  if (units.size() == 2 && cp >= 0xD800 && cp <= 0xDBFF) cp = 0x10000 + ((cp - 0xD800) << 10) + (units[1] - 0xDC00);
  char code[16];
  static const char digits[] = "0123456789ABCDEF";
  int n = 0;
  for (int shift = cp > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4) code[n++] = digits[(cp >> shift) & 0xF];
  return character + " (U+" + std::string(code, n) + ")";
}

std::string TextFromUtf16(const char16_t* units, std::size_t count) {
  std::string out;
  out.reserve(count);
  std::size_t start = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsSurrogate(units[i])) continue;
    AppendRun(units + start, i - start, out);
    AppendEscape(units[i], out);  // CP949 has nothing beyond the basic plane
    start = i + 1;
  }
  AppendRun(units + start, count - start, out);
  return out;
}

std::u16string TextToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size();) {
    const long unit = EscapeAt(text, i);
    if (unit < 0) {
      ++i;
      continue;
    }
    AppendBytes(text, start, i, out);
    out += static_cast<char16_t>(unit);
    i += 5;
    start = i;
  }
  AppendBytes(text, start, text.size(), out);
  return out;
}

std::u16string Utf8ToUtf16(const std::string& bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t cp = 0, min = 0;
    if (c < 0x80) {
      out += c;
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k <= static_cast<std::size_t>(extra) && i + k < n; ++k) {
      const unsigned char t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0) != 0x80) break;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (k <= static_cast<std::size_t>(extra) || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += u'\xFFFD';
      i += k;  // the bytes up to the one that broke the sequence
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += k;
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace plat
