// The CP949 tables of the C library, for the text codec of platform/text.h.
#include <errno.h>
#include <iconv.h>

#include <string>

#include "platform/text.h"

namespace plat::text_backend {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ready()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Ready() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; in and inLeft show where it stopped.
  std::size_t Run(char*& in, std::size_t& inLeft, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[256];
    for (;;) {
      char* o = buffer;
      std::size_t oLeft = sizeof buffer;
      const std::size_t rc = iconv(cd_, &in, &inLeft, &o, &oLeft);
      out.append(buffer, static_cast<std::size_t>(o - buffer));
      if (rc != static_cast<std::size_t>(-1)) return rc;
      if (errno != E2BIG) return rc;
    }
  }

 private:
  iconv_t cd_;
};

std::string LittleEndian(const char16_t* units, std::size_t count) {
  std::string bytes;
  bytes.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    bytes += static_cast<char>(units[i] & 0xFF);
    bytes += static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

}  // namespace

std::u16string Cp949ToUtf16(const char* bytes, std::size_t size) {
  static Converter decode("UTF-16LE", "CP949");
  std::u16string out;
  if (!decode.Ready()) return out;
  std::string input(bytes, size), wide;
  char* in = &input[0];
  std::size_t left = size;
  if (decode.Run(in, left, wide) == static_cast<std::size_t>(-1) || left != 0) {
    // Where the whole text fails, each character goes alone: the C library's tables take
    // in some well-formed pairs that have nothing assigned before they stop, so where
    // they stop says nothing of where the fault was.
    wide.clear();
    for (std::size_t i = 0; i < size;) {
      std::string one = input.substr(i, CharBytes(input, i));
      i += one.size();
      char* at = &one[0];
      std::size_t rest = one.size();
      const std::size_t before = wide.size();
      if (decode.Run(at, rest, wide) == static_cast<std::size_t>(-1) || rest != 0) {
        // A byte that starts no character, or a pair with nothing assigned, reads as the
        // replacement character.
        wide.resize(before);
        wide += "\xFD\xFF";
      }
    }
  }
  for (std::size_t i = 0; i + 1 < wide.size(); i += 2)
    out += static_cast<char16_t>(static_cast<unsigned char>(wide[i]) | (static_cast<unsigned char>(wide[i + 1]) << 8));
  return out;
}

bool Utf16ToCp949(const char16_t* units, std::size_t count, std::string& out) {
  static Converter encode("CP949", "UTF-16LE");
  if (!encode.Ready()) return false;
  std::string input = LittleEndian(units, count), bytes;
  char* in = input.empty() ? nullptr : &input[0];
  std::size_t left = input.size();
  if (left > 0 && (encode.Run(in, left, bytes) == static_cast<std::size_t>(-1) || left != 0)) return false;
  out += bytes;
  return true;
}

}  // namespace plat::text_backend
