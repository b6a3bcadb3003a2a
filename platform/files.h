#pragma once
// Whole-file access by byte path (CP949 on Windows). Nothing converts the contents.
#include <string>

namespace plat {

// The folder of the running program, ending in its path separator.
std::string ProgramFolder();
// The full path of the running program's executable.
std::string ProgramPath();

bool FileExists(const std::string& path);
// True only when the system says nothing is at path; false when something is, or when
// that cannot be told (a read that failed there is then a failure, not an empty file).
bool FileMissing(const std::string& path);

// Reads the whole file. On failure returns false and sets error to a readable reason.
bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error);

// Replaces the file's content atomically: writes beside it, then renames over it.
// On failure the previous file is untouched; returns false and sets error.
bool ReplaceFile(const std::string& path, const std::string& contents, std::string& error);

// Copies a file, replacing the target. False on failure.
bool CopyWholeFile(const std::string& from, const std::string& to);

}  // namespace plat
