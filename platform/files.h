#pragma once
// Whole-file access by byte path (CP949 on Windows). Nothing converts the contents.
#include <string>

namespace plat {

// The folder of the running program, ending in its path separator.
std::string ProgramFolder();
// The full path of the running program's executable.
std::string ProgramPath();

bool FileExists(const std::string& path);

// Windows' own folder ("C:\Windows"), without a separator at its end.
std::string WindowsFolder();
// text with every %NAME% of an environment variable replaced by its value; unknown names stay.
std::string ExpandEnvironmentText(const std::string& text);
// True when this 32-bit program runs on 64-bit Windows, where its System32 is SysWOW64
// and the real System32 is reached as Sysnative.
bool RunsUnderWow64();
// True only when the system says nothing is at path; false when something is, or when
// that cannot be told (a read that failed there is then a failure, not an empty file).
bool FileMissing(const std::string& path);

// Reads the whole file. On failure returns false and sets error to a readable reason.
bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error);

// Replaces the file's content. The new content is written to a temporary file of a fresh
// name beside it (never an existing file), which then takes the file's place, keeping an
// existing file's attributes. When another program holds the file open so that it cannot
// be replaced, the original is kept first (KeepBackup) and the file is rewritten in place.
// On failure returns false and sets error; the previous content is then whole, in the file
// or in its backup.
bool ReplaceFile(const std::string& path, const std::string& contents, std::string& error);

// The n-th name (from 1) KeepBackup tries for a file: X.bak, X.bak2, X.bak3, ...
inline std::string BackupName(const std::string& path, int n) {
  return path + ".bak" + (n > 1 ? std::to_string(n) : std::string());
}

// The number of the name KeepBackup takes for the file now: the first of X.bak, X.bak2, ...
// where nothing is, neither a file nor a folder.
inline int FreeBackupNumber(const std::string& path) {
  int n = 1;
  while (n < 10000 && !FileMissing(BackupName(path, n))) ++n;
  return n;
}

// Copies the file to the first of X.bak, X.bak2, X.bak3, ... where nothing is (see
// FreeBackupNumber), never replacing a file. backup is the name tried last; false when no copy was made.
bool KeepBackup(const std::string& path, std::string& backup);

// Copies a file, replacing the target. False on failure.
bool CopyWholeFile(const std::string& from, const std::string& to);

}  // namespace plat
