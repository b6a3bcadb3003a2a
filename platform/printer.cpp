#include "platform/printer.h"

#include "platform/text.h"

namespace plat {

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
