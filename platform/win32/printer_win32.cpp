#include <vector>

#include "platform/printer.h"
#include "platform/win32/sysdll.h"

namespace plat {
namespace {

// Each owner releases its handle however the job ends.
struct DcOwner {
  HDC dc;
  ~DcOwner() {
    if (dc) DeleteDC(dc);
  }
};
struct FontOwner {
  HFONT font;
  ~FontOwner() {
    if (font) DeleteObject(font);
  }
};
// Puts the DC's own font back before the font is deleted.
struct Selection {
  HDC dc;
  HGDIOBJ previous;
  ~Selection() {
    if (previous) SelectObject(dc, previous);
  }
};

// None without printing's DLL, as without a default printer.
std::wstring DefaultPrinter() {
  const win32::WinspoolFunctions* winspool = win32::Winspool();
  if (!winspool) return std::wstring();
  DWORD size = 0;
  winspool->GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return std::wstring();
  std::wstring name(size, L'\0');
  if (!winspool->GetDefaultPrinterW(&name[0], &size)) return std::wstring();
  name.resize(wcslen(name.c_str()));
  return name;
}

// Draws a piece at the left edge with every character where GDI measured it. Left to
// itself a driver may advance by the font's own unrounded widths (Wine's PostScript driver
// does), and a piece measured to fit would then run off the edge of the paper.
bool DrawPiece(HDC dc, int y, const std::wstring& text) {
  if (text.empty()) return true;
  const int count = static_cast<int>(text.size());
  std::vector<int> ends(text.size()), advances(text.size());
  SIZE size = {0, 0};
  if (!GetTextExtentExPointW(dc, text.c_str(), count, 0, nullptr, ends.data(), &size)) return false;
  for (std::size_t i = 0; i < text.size(); ++i) advances[i] = ends[i] - (i ? ends[i - 1] : 0);
  return ExtTextOutW(dc, 0, y, 0, nullptr, text.c_str(), static_cast<UINT>(count), advances.data()) != 0;
}

// Draws the lines of a started job; false at the first call that fails.
bool DrawLines(HDC dc, const std::vector<std::string>& lines) {
  TEXTMETRICW metrics;
  if (!GetTextMetricsW(dc, &metrics)) return false;
  const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  // Device coordinates start at the top left of the printable area (PHYSICALOFFSET away
  // from the paper's corner), and HORZRES x VERTRES is that area.
  const int pageWidth = GetDeviceCaps(dc, HORZRES);
  const int pageHeight = GetDeviceCaps(dc, VERTRES);
  if (lineHeight <= 0 || pageWidth <= 0 || pageHeight <= 0) return false;

  bool measured = true;
  const auto width = [dc, &measured](const std::string& piece) {
    const std::wstring text = win32::Wide(piece);
    SIZE size = {0, 0};
    if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) measured = false;
    return static_cast<int>(size.cx);
  };

  if (StartPage(dc) <= 0) return false;
  int y = 0;
  for (const std::string& line : lines) {
    for (const std::string& piece : BreakPrintLine(line, pageWidth, width)) {
      if (!measured) return false;
      if (y > 0 && y + lineHeight > pageHeight) {
        if (EndPage(dc) <= 0 || StartPage(dc) <= 0) return false;
        y = 0;
      }
      if (!DrawPiece(dc, y, win32::Wide(piece))) return false;
      y += lineHeight;
    }
  }
  return EndPage(dc) > 0;
}

}  // namespace

bool PrintLines(const std::string& title, const std::vector<std::string>& lines, const PrintFont& font) {
  const std::wstring printer = DefaultPrinter();
  if (printer.empty()) return false;
  DcOwner dc{CreateDCW(nullptr, printer.c_str(), nullptr, nullptr)};
  if (!dc.dc) return false;

  // The size in points at the printer's own resolution; the face as asked, which the driver
  // replaces by its nearest when the printer has no such font.
  const int height = -MulDiv(font.points, GetDeviceCaps(dc.dc, LOGPIXELSY), 72);
  FontOwner face{CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             win32::Wide(font.name).c_str())};
  if (!face.font) return false;
  Selection selected{dc.dc, SelectObject(dc.dc, face.font)};
  if (!selected.previous || selected.previous == HGDI_ERROR) {
    selected.previous = nullptr;
    return false;
  }
  SetBkMode(dc.dc, TRANSPARENT);

  const std::wstring docName = win32::Wide(title);
  DOCINFOW doc = {};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = docName.c_str();
  if (StartDocW(dc.dc, &doc) <= 0) return false;
  if (!DrawLines(dc.dc, lines)) {
    AbortDoc(dc.dc);
    return false;
  }
  if (EndDoc(dc.dc) <= 0) {
    AbortDoc(dc.dc);
    return false;
  }
  return true;
}

}  // namespace plat
