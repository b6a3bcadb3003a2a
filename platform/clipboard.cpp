// Which clipboard formats a snapshot keeps; the same rules on both platforms.
#include "platform/clipboard.h"

namespace plat {
namespace {

bool HeldAsMemory(unsigned format) {
  switch (format) {
    case kCfBitmap:
    case kCfMetafilePict:  // a block, but holding a metafile handle
    case kCfPalette:
    case kCfEnhMetafile:
    case kCfOwnerDisplay:
    case kCfDspBitmap:
    case kCfDspMetafilePict:
    case kCfDspEnhMetafile:
      return false;
  }
  return format < kCfPrivateFirst || format > kCfGdiObjLast;
}

// The family a format is converted within by the system; 0 for none.
int Family(unsigned format) {
  switch (format) {
    case kCfText:
    case kCfOemText:
    case kCfUnicodeText:
      return 1;
    case kCfBitmap:
    case kCfDib:
    case kCfDibV5:
      return 2;
  }
  return 0;
}

}  // namespace

std::size_t ClipboardSnapshot::Bytes() const {
  std::size_t total = 0;
  for (const ClipboardData& data : formats) total += data.bytes.size();
  return total;
}

std::vector<unsigned> ClipboardFormatsToKeep(const std::vector<unsigned>& listed) {
  std::vector<unsigned> keep;
  bool familyKept[3] = {};
  for (unsigned format : listed) {
    if (format == 0 || !HeldAsMemory(format)) continue;
    const int family = Family(format);
    if (familyKept[family]) continue;
    if (family) familyKept[family] = true;
    bool seen = false;
    for (unsigned k : keep) seen = seen || k == format;
    if (!seen) keep.push_back(format);
  }
  return keep;
}

}  // namespace plat
