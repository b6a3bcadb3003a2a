#include "platform/profile.h"

#include <vector>

#include "platform/files.h"

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// The file as lines, without their line ends. A missing file is an empty one.
std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::string text, error;
  if (!ReadWholeFile(file, text, error)) return lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool WriteLines(const std::string& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::string error;
  return ReplaceFile(file, text, error);
}

// "[name]" (blanks allowed around it) gives true and the trimmed name.
bool SectionHeader(const std::string& line, std::string& name) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  const std::size_t close = t.find(']');
  name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  return true;
}

// "key=value" gives true with both parts trimmed.
bool KeyLine(const std::string& line, std::string& key, std::string& value) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

// Lines [first, last) of the section's body; first == npos when the section is missing.
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

}  // namespace

std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& def) {
  const std::vector<std::string> lines = ReadLines(file);
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) return def;
  const std::string wanted = Trim(key);
  std::string k, v;
  for (std::size_t i = r.first; i < r.last; ++i) {
    if (!KeyLine(lines[i], k, v) || !SameName(k, wanted)) continue;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    return v;
  }
  return def;
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
  std::vector<std::string> lines = ReadLines(file);
  const std::string wantedKey = Trim(key);
  const std::string line = wantedKey + "=" + value;
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) {
    lines.push_back("[" + Trim(section) + "]");
    lines.push_back(line);
    return WriteLines(file, lines);
  }
  std::string k, v;
  std::size_t insertAt = r.first;
  for (std::size_t i = r.first; i < r.last; ++i) {
    if (KeyLine(lines[i], k, v) && SameName(k, wantedKey)) {
      lines[i] = k + "=" + value;  // the key keeps the spelling it had
      return WriteLines(file, lines);
    }
    if (!Trim(lines[i]).empty()) insertAt = i + 1;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
  return WriteLines(file, lines);
}

bool EraseProfileSection(const std::string& file, const std::string& section) {
  std::vector<std::string> lines = ReadLines(file);
  const SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) return true;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(r.header),
              lines.begin() + static_cast<std::ptrdiff_t>(r.last));
  return WriteLines(file, lines);
}

}  // namespace plat
