#include "platform/profile.h"

#include <set>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// A-Z folded to a-z where they are characters of their own: the trail byte of a Korean
// character may have the value of a letter ("갂" is B0 A2, "괁" is B1 41).
std::string FoldCase(const std::string& s) {
  std::string out = s;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < out.size()) {
      const unsigned char t = static_cast<unsigned char>(out[i + 1]);
      if ((t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) || (t >= 0x81 && t <= 0xFE)) ++i;
      continue;
    }
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool SameName(const std::string& a, const std::string& b) { return a.size() == b.size() && FoldCase(a) == FoldCase(b); }

struct Profile {
  TextEncoding encoding = TextEncoding::kCp949;
  std::vector<std::string> lines;  // program texts, without their line ends
};

// The file as lines; CR LF, a lone CR and a lone LF each end a line. A missing file is an
// empty one; false when the file is there but cannot be read, so that nothing is written
// on the strength of a read that saw nothing.
bool Load(const std::string& file, Profile& profile) {
  std::string bytes, error;
  if (!ReadWholeFile(file, bytes, error)) return FileMissing(file);
  // The system's profile functions take a file without a mark for the system code page.
  const DecodedText decoded = DecodeText(bytes, false);
  profile.encoding = decoded.encoding;
  const std::string& text = decoded.text;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    profile.lines.push_back(text.substr(start, end - start));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return true;
}

bool Save(const std::string& file, const Profile& profile) {
  std::string text;
  for (const std::string& line : profile.lines) text += line + "\r\n";
  // A CP949 file cannot hold a character CP949 cannot spell (a folder "Café"), nor UTF-8 a
  // surrogate without its pair (a name only UTF-16 spells): the file becomes UTF-16, which
  // the system's profile functions read as well, rather than hold the program's escapes or
  // a replacement character.
  TextEncoding encoding = profile.encoding;
  std::vector<std::string> outside;
  if (encoding == TextEncoding::kCp949) FindCharactersOutsideCp949(text, outside);
  if (!outside.empty() || (IsUtf8(encoding) && !EncodesExactly(text, encoding) &&
                           EncodesExactly(text, TextEncoding::kUtf16Le)))
    encoding = TextEncoding::kUtf16Le;
  std::string error;
  return ReplaceFile(file, EncodeText(text, encoding), error);
}

// "[name]" (blanks allowed around it) gives true and the trimmed name.
bool SectionHeader(const std::string& line, std::string& name) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  const std::size_t close = t.find(']');
  name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  return true;
}

// "key=value" gives true with both parts trimmed; a line without "=" is a key without a
// value (hasValue false), as the system's profile functions take it.
bool KeyLine(const std::string& line, std::string& key, std::string& value, bool& hasValue) {
  const std::size_t eq = line.find('=');
  hasValue = eq != std::string::npos;
  key = Trim(line.substr(0, eq));
  value = hasValue ? Trim(line.substr(eq + 1)) : std::string();
  return !key.empty() || hasValue;
}

// Lines [first, last) of the section's body; header == npos when the section is missing.
struct SectionRange {
  std::size_t header = std::string::npos, first = 0, last = 0;
};

SectionRange FindSection(const std::vector<std::string>& lines, const std::string& section) {
  SectionRange r;
  const std::string wanted = Trim(section);
  std::string name;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!SectionHeader(lines[i], name)) continue;
    if (r.header != std::string::npos) {
      r.last = i;
      return r;
    }
    if (SameName(name, wanted)) {
      r.header = i;
      r.first = i + 1;
    }
  }
  r.last = lines.size();
  return r;
}

// A value in matching quotes loses them.
std::string Unquoted(const std::string& v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& def) {
  Profile profile;
  if (!Load(file, profile)) return def;
  const std::vector<std::string>& lines = profile.lines;
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) return def;
  const std::string wanted = Trim(key);
  std::string k, v;
  bool hasValue = false;
  for (std::size_t i = r.first; i < r.last; ++i) {
    if (!KeyLine(lines[i], k, v, hasValue) || !SameName(k, wanted)) continue;
    if (!hasValue) return def;
    return Unquoted(v);
  }
  return def;
}

std::vector<std::pair<std::string, std::string>> ReadProfileSection(const std::string& file,
                                                                    const std::string& section) {
  std::vector<std::pair<std::string, std::string>> values;
  Profile profile;
  if (!Load(file, profile)) return values;
  const std::vector<std::string>& lines = profile.lines;
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) return values;
  std::set<std::string> seen;
  std::string k, v;
  bool hasValue = false;
  for (std::size_t i = r.first; i < r.last; ++i) {
    if (!KeyLine(lines[i], k, v, hasValue) || !seen.insert(FoldCase(k)).second) continue;
    if (hasValue) values.emplace_back(k, Unquoted(v));
  }
  return values;
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
  Profile profile;
  if (!Load(file, profile)) return false;
  std::vector<std::string>& lines = profile.lines;
  const std::string wantedKey = Trim(key);
  const std::string line = wantedKey + "=" + value;
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) {
    lines.push_back("[" + Trim(section) + "]");
    lines.push_back(line);
    return Save(file, profile);
  }
  std::string k, v;
  bool hasValue = false;
  std::size_t insertAt = r.first;
  for (std::size_t i = r.first; i < r.last; ++i) {
    if (KeyLine(lines[i], k, v, hasValue) && SameName(k, wantedKey)) {
      lines[i] = k + "=" + value;  // the key keeps the spelling it had
      return Save(file, profile);
    }
    if (!Trim(lines[i]).empty()) insertAt = i + 1;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
  return Save(file, profile);
}

bool EraseProfileSection(const std::string& file, const std::string& section) {
  Profile profile;
  if (!Load(file, profile)) return false;
  std::vector<std::string>& lines = profile.lines;
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) return true;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(r.header),
              lines.begin() + static_cast<std::ptrdiff_t>(r.last));
  return Save(file, profile);
}

TextEncoding ProfileEncoding(const std::string& file) {
  Profile profile;
  return Load(file, profile) ? profile.encoding : TextEncoding::kCp949;
}

}  // namespace plat
