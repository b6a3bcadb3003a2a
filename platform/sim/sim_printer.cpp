// The simulated printer: it draws lines as text pieces on pages of a fixed size in columns.
#include "platform/sim/sim_printer.h"

#include "platform/printer.h"
#include "platform/sim/sim_mouse.h"

namespace {

struct PrinterState {
  std::string printer = "SimPrinter";
  int columns = 80, lines = 60;
  sim::PrintFault fault = sim::PrintFault::None;
  int faultPiece = 0;
  std::vector<sim::PrintJob> jobs;
};

PrinterState& P() {
  static PrinterState state;
  return state;
}

}  // namespace

namespace sim {

std::vector<PrintJob> PrintJobs() { return P().jobs; }
void SetDefaultPrinter(const std::string& name) { P().printer = name; }
void SetPageSize(int columns, int lines) {
  P().columns = columns;
  P().lines = lines;
}
void FailPrinting(PrintFault fault, int piece) {
  P().fault = fault;
  P().faultPiece = piece;
}
void ResetPrinter() { P() = PrinterState(); }

}  // namespace sim

namespace plat {

bool PrintLines(const std::string& title, const std::vector<std::string>& lines, const PrintFont& font) {
  PrinterState& p = P();
  if (p.printer.empty() || p.fault == sim::PrintFault::RefuseJob) return false;
  p.jobs.push_back({p.printer, title, font.name, font.points, {{}}, false, false, sim::BusyCursor()});
  const auto abort = [&p] {
    p.jobs.back().aborted = true;
    return false;
  };
  int drawn = 0;
  for (const std::string& line : lines) {
    const auto columns = [](const std::string& piece) { return static_cast<int>(piece.size()); };
    for (const std::string& piece : BreakPrintLine(line, p.columns, columns)) {
      std::vector<std::vector<std::string>>& pages = p.jobs.back().pages;
      if (static_cast<int>(pages.back().size()) >= p.lines) pages.emplace_back();
      if (p.fault == sim::PrintFault::FailDraw && drawn == p.faultPiece) return abort();
      pages.back().push_back(piece);
      ++drawn;
    }
  }
  if (p.fault == sim::PrintFault::FailEnd) return abort();
  p.jobs.back().ended = true;
  return true;
}

}  // namespace plat
