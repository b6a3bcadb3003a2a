#pragma once
// Profile files ("INI"): sections in brackets, key=value lines.
// One implementation for every platform, with the rules of the Windows profile API:
// sections and keys match without regard to the case of A-Z (not inside Korean
// characters), blanks around keys and values are trimmed, a value in matching quotes loses
// them, lines the program does not know are kept, and every write changes one value and
// rewrites the file. Files are read in the forms that API reads (CP949, UTF-8 or UTF-16
// after a byte-order mark; CR LF, CR or LF line ends) and written back in their own form
// with CR LF line ends; a new file is CP949.
#include <string>
#include <utility>
#include <vector>

#include "platform/textfile.h"

namespace plat {

// The value of key in section, or def when the file, section or key is missing.
std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& def);

// Every key of the section once, in the order of the file, with the value ReadProfileString
// gives for it (the first line of a key wins; a key line without "=" has none and is left
// out). Empty when the file or section is missing. One read of the file.
std::vector<std::pair<std::string, std::string>> ReadProfileSection(const std::string& file,
                                                                    const std::string& section);

// Sets one value, creating the section (at the end) or key (at the end of its section)
// when missing. False when the file cannot be written, or exists but cannot be read: a
// write never rests on a read that failed, so the file is then left as it was.
bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);

// The file's encoding; CP949 for a file that is missing or cannot be read. A write of a
// character CP949 cannot spell turns a CP949 file into UTF-16 (with its mark), as does a
// surrogate without its pair a UTF-8 one.
TextEncoding ProfileEncoding(const std::string& file);

// Removes a section with all its keys. False when the file cannot be written or read.
bool EraseProfileSection(const std::string& file, const std::string& section);

}  // namespace plat
