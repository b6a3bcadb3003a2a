#include "platform/printer.h"

#include "platform/text.h"

namespace plat {
namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// The UTF-16 unit of an escape at text[i], or -1 when none starts there.
long EscapeUnit(const std::string& text, std::size_t i) {
  if (text[i] != kTextEscape || text.size() - i < 5) return -1;
  for (std::size_t k = 1; k <= 4; ++k)
    if (!IsHex(text[i + k])) return -1;
  return std::stol(text.substr(i + 1, 4), nullptr, 16);
}

// The bytes of the character at text[i]: a CP949 lead and trail byte, an escape (two for a
// surrogate pair, which is one character on paper), or a single byte.
std::size_t CharBytes(const std::string& text, std::size_t i) {
  const long unit = EscapeUnit(text, i);
  if (unit >= 0) {
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 5 < text.size()) {
      const long low = EscapeUnit(text, i + 5);
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

}  // namespace

std::vector<std::string> BreakPrintLine(const std::string& line, int maxWidth,
                                        const std::function<int(const std::string&)>& width) {
  // Where each character ends, so that a cut can only fall on one of these.
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < line.size(); i += CharBytes(line, i)) ends.push_back(i + CharBytes(line, i));

  std::vector<std::string> pieces;
  std::size_t start = 0, first = 0;  // the piece's first byte and its first character
  while (first < ends.size()) {
    // The widths of a growing prefix only grow, so the longest one that fits is found by
    // halving: a few measurements per piece, however long the line.
    std::size_t lo = first, hi = ends.size() - 1;  // lo: known to be taken (the one forced)
    if (width(line.substr(start, ends[hi] - start)) <= maxWidth) {
      lo = hi;
    } else {
      while (lo + 1 < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (width(line.substr(start, ends[mid] - start)) <= maxWidth)
          lo = mid;
        else
          hi = mid;
      }
    }
    pieces.push_back(line.substr(start, ends[lo] - start));
    start = ends[lo];
    first = lo + 1;
  }
  if (pieces.empty()) pieces.emplace_back();
  return pieces;
}

}  // namespace plat
