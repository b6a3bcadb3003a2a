#pragma once
// Profile files ("INI"): sections in brackets, key=value lines.
// One implementation for every platform, with the rules of the Windows profile API:
// sections and keys match without regard to ASCII letter case, blanks around keys and
// values are trimmed, a value in matching quotes loses them, lines the program does not
// know are kept, and every write changes one value and rewrites the file.
#include <string>

namespace plat {

// The value of key in section, or def when the file, section or key is missing.
std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& def);

// Sets one value, creating the section (at the end) or key (at the end of its section)
// when missing. False when the file cannot be written.
bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);

// Removes a section with all its keys. False when the file cannot be written.
bool EraseProfileSection(const std::string& file, const std::string& section);

}  // namespace plat
