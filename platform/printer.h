#pragma once
// The default printer, used as a device for lines of text.
#include <functional>
#include <string>
#include <vector>

namespace plat {

struct PrintFont {
  std::string name;  // the face asked for; the printer's driver substitutes a missing one
  int points = 10;
};

// Prints the lines as one job, titled title, on the default printer: from the top left of
// the printable area downwards, a line wider than the page continued on the next line, a
// new page whenever the next line does not fit. True only when the job started, every line
// was drawn and the job ended; a job that fails on the way is aborted. False at once when
// the machine has no default printer or it cannot be opened.
bool PrintLines(const std::string& title, const std::vector<std::string>& lines, const PrintFont& font);

// Cuts a line into pieces that are each at most maxWidth wide, as measured by width, longest
// first. Cuts fall between characters only: a CP949 double-byte character and an escape of
// platform/text.h stay whole. A piece holds at least one character, even one wider than
// maxWidth, so every line makes progress. An empty line is one empty piece.
std::vector<std::string> BreakPrintLine(const std::string& line, int maxWidth,
                                        const std::function<int(const std::string&)>& width);

}  // namespace plat
