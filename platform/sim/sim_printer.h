#pragma once
// The simulated default printer, for the native tests.
#include <string>
#include <vector>

namespace sim {

// One print job as the printer received it.
struct PrintJob {
  std::string printer, title;
  std::string fontName;
  int fontPoints = 0;
  std::vector<std::vector<std::string>> pages;  // the pieces drawn on each page, top down
  bool ended = false;                           // the job was ended normally
  bool aborted = false;                         // the job was cancelled after a failure
  bool busyCursor = false;                      // the pointer showed the hourglass when the job started
};
std::vector<PrintJob> PrintJobs();  // every job started, in order

// The default printer's name; "" makes a machine without a printer. "SimPrinter" after Reset.
void SetDefaultPrinter(const std::string& name);
// The printable area in columns (one per byte: a Hangul character takes two) and lines.
// 80 x 60 after Reset.
void SetPageSize(int columns, int lines);

// Makes the next jobs fail: the printer refuses to start them, or fails drawing the
// piece with this index (counted from 0 over the whole job), or fails ending them.
enum class PrintFault { None, RefuseJob, FailDraw, FailEnd };
void FailPrinting(PrintFault fault, int piece = 0);

// Called by Reset: the default printer, no jobs, no fault.
void ResetPrinter();

}  // namespace sim
