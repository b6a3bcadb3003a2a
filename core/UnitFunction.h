#pragma once
// The routines the program shares: entries and IDs, item splitting, hotkey texts and key
// names, the work file, "Config.ini" and the Run value, synthetic keys and the pumping wait.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.h"
#include "platform/textfile.h"

namespace kv {

class Tfrm_main;

// ---------------------------------------------------------------- entries

// Columns of a hotkey list row; also the field order of a work-file line.
enum EntryColumn { kColDescription = 0, kColId, kColHotKey, kColKind, kColInfo, kColActive, kEntryColumns };

struct HotkeyEntry {
  std::string description, id, hotkey, kind, info, active;
};

HotkeyEntry EntryOfRow(const plat::ListView& list, int row);

// Appends one row with the six texts. Nothing is checked.
void AddEntry(const HotkeyEntry& entry, plat::ListView& list);
// True when some row's ID is exactly id.
bool IdExists(const plat::ListView& list, const std::string& id);
// "P" + the smallest n >= 0 that no row uses.
std::string NewEntryId(const plat::ListView& list);
// Every "-" becomes "ㅡ", so the text can sit in a dash-separated line.
std::string EncodeInfoText(const std::string& text);
// The reverse, done before an action uses its info.
std::string DecodeInfoText(const std::string& text);
// The quote marks a stored field holds in full-width form (＇ ＂) back as ' and ": a path
// or address runs as the user chose it.
std::string RestoreQuoteMarks(const std::string& text);

// The fourteen action kinds, as stored and compared.
extern const char* const kKindShutdown;      // 강제 종료
extern const char* const kKindReboot;        // 재 부팅
extern const char* const kKindLogoff;        // 로그 오프
extern const char* const kKindVolumeUp;      // 볼륨 높임
extern const char* const kKindVolumeDown;    // 볼륨 줄임
extern const char* const kKindVolumeMute;    // 볼륨 음소거
extern const char* const kKindKillProgram;   // 프로그램 종료
extern const char* const kKindRunProgram;    // 프로그램 실행
extern const char* const kKindOpenFolder;    // 특정폴더 열기
extern const char* const kKindWebSite;       // 웹사이트 이동
extern const char* const kKindDirectSearch;  // 다이렉트 검색
extern const char* const kKindMultiJob;      // 다중작업 실행
extern const char* const kKindKeySequence;   // 키값자동 입력
extern const char* const kKindBuiltin;       // 특정액션 실행

// A new entry: no description, the next free ID, no hotkey, kind "웹사이트 이동", active.
HotkeyEntry NewEntry(const plat::ListView& list);

// ---------------------------------------------------------------- texts

// Only the letters A to Z (a to z) change; every other byte stays, and so does every
// CP949 character, also one whose second byte looks like a letter.
std::string LowerAscii(std::string text);
std::string UpperAscii(std::string text);

// ---------------------------------------------------------------- splitting

// Cuts text into items at sep: blanks, CR and LF before an item are skipped; an item ends
// at sep, CR, LF or the end; ' and " open a quoted stretch (kept in the item) in which
// separators and line ends don't count; empty items are dropped. Appends to items.
void SplitItems(std::string_view text, char sep, std::vector<std::string>& items);

// ---------------------------------------------------------------- hotkey texts

struct HotKeyParts {
  bool shift = false, ctrl = false, alt = false, win = false;
  std::string key;
};

extern const char* const kEditorHotKey;    // "Ctrl+Win+F1", shows the editor
extern const char* const kReservedHotKey;  // "Ctrl+Win+F2", pauses and resumes
// The text holds one of Keyvane's own combinations (Ctrl+Win+F1, Ctrl+Win+F2), however it
// is spelled: no entry may register it.
bool IsReservedHotKey(const std::string& text);

HotKeyParts ParseHotKeyText(const std::string& text);
// The text for a set of parts: "Shift+", "Ctrl+", "Alt+", "Win+" in that order, then the key.
std::string FormatHotKeyText(const HotKeyParts& parts);
// False for a reserved text or one that a row of the list already uses; the row exceptRow
// (the one being edited) is passed over, so its own text never counts against it. A text
// without a key is no combination and always free.
bool IsHotKeyFree(const plat::ListView& list, const std::string& text, int exceptRow = -1);
// The key's position in the key-name table, ignoring the case of A to Z; -1 when absent.
int FindKeyName(const std::string& name);
// The same, with 0 (None) for a name that is not in the table.
int KeyNameIndex(const std::string& name);
// Empties the key list and fills it with the 103 key names in table order.
void FillKeyNames(plat::ComboBox& keyList);
// The text shown by the editor's modifier boxes and key list.
std::string HotKeyTextFromEditor(const Tfrm_main& form);
// Checks the boxes and picks the key of a text, running the editor's hotkey update.
void ShowHotKeyText(Tfrm_main& form, const std::string& text);

// ---------------------------------------------------------------- configuration

std::string ConfigPath();
// A decimal number from "Config.ini"; def when missing or not a number.
int ReadConfigInt(const std::string& section, const std::string& key, int def);
int ReadStartUp();
int ReadNewExplore();
// Points the Run value "Keyvane" at this program (on; the path in quotes when it holds a
// blank) or removes it (off). The machine-wide
// key is tried first; a user who may not write it gets the per-user key instead. False, with
// the error box shown, when neither could be written.
bool SetAutoStart(bool on);
// 윈도우 시작시 실행 as the options window stores it: the Run value, then "StartUp" in
// "Config.ini". Stops at the first failure (its error box shown) and returns false.
bool WriteStartUp(bool startUp);

struct SearchSite {
  std::string description, address;
};
// The "DirectSite" section in list order, for the options window and the site picker alike.
// A value that does not split into a description and an address is skipped: a site without
// an address could only open a search that goes nowhere.
std::vector<SearchSite> ReadSearchSites();

// What the options window stores when the user presses OK, in this order: the Run value,
// "StartUp", "NewExplore", then the "DirectSite" section written anew. Stops at the first
// failure (its error box shown) and returns false.
bool WriteOptions(bool startUp, bool newExplore, const std::vector<SearchSite>& sites);

// The characters of a list's cells that CP949 cannot spell, named one per line for a message
// ("\r\n    é (U+00E9)", at most five and how many more); empty when there are none. And
// the list with them taken out of every cell.
std::string CharactersOutsideCp949(const plat::ListView& list);
void TakeOutCharactersOutsideCp949(plat::ListView& list);

// ---------------------------------------------------------------- work file

// The editor's title is this followed by the work file's path.
extern const char* const kTitlePrefix;  // " 키베인 v1.5 - "
std::string DefaultWorkFile();
// "Config.ini" beside the program, however the path is spelled (case of A-Z, "/" or "\"):
// Keyvane's settings are never read or written as a work file.
bool IsSettingsFile(const std::string& path);
// The last work file "Config.ini" records, or MyJob.ini beside the program when it records
// none (or the settings file itself).
std::string GetLastWorkFile();
// False, with the error box shown, when "Config.ini" could not be written: the caller stops.
bool SetLastWorkFile(const std::string& path);

// The text a field is stored as, so that every line splits back into six fields.
std::string StoredField(const std::string& text);
// The text a stored field reads back as ("null" is an empty field).
std::string ReadBackField(const std::string& stored);
// One work-file line for a row, without its line end.
std::string WorkFileLine(const std::vector<std::string>& row);

enum class WorkFileRead { Unreadable, Empty, Loaded };
// A work file as read: its entries, its form and its bytes.
struct WorkFileContent {
  WorkFileRead status = WorkFileRead::Unreadable;
  std::vector<std::vector<std::string>> rows;
  plat::TextForm form;  // its encoding and its first line end
  // Part of the file could not be read as entries (a NUL, a malformed line), or its bytes
  // did not decode exactly (a damaged UTF-8 or UTF-16 file).
  bool incomplete = false;
  // The first line not read, counting from 1, when reading stopped before the end; else 0.
  int stopLine = 0;
  std::string bytes;  // the file as it was read
};
// Reads a work file: CP949, or UTF-8 or UTF-16 as plat::DecodeText tells them (UTF-8 also
// without a mark). An unreadable file shows the error box (owned by owner). A file without
// any bytes before a NUL is Empty.
WorkFileContent ReadWorkFile(const std::string& path, plat::Form* owner);
// Fills list with the entries of a work file (ReadWorkFile); an unreadable or empty file
// leaves list as it was. fileForm and stopLine, when given, receive those of the file.
WorkFileRead FillListFromWorkFile(const std::string& path, plat::ListView& list, plat::Form* owner, bool& incomplete,
                                  plat::TextForm* fileForm = nullptr, int* stopLine = nullptr);
// Replaces every row of list.
void SetListRows(plat::ListView& list, std::vector<std::vector<std::string>> rows);
// The editor's work document reads the file (TWorkDocument::Load); list is the editor's.
bool LoadWorkFile(const std::string& path, plat::ListView& list, Tfrm_main& form);
// The editor's work document writes its list to the file and takes it as its own
// (TWorkDocument::SaveTo).
bool SaveWorkFile(const std::string& path, Tfrm_main& form);

// ---------------------------------------------------------------- printing

// The entry's ID, hotkey, kind, info and active flag, each followed by one blank, with
// blanks and control characters trimmed from both ends: an empty column leaves two blanks.
std::string EntryPrintLine(const HotkeyEntry& entry);
// Prints one line per row, in list order (the description, a blank, EntryPrintLine), on the
// default printer, showing the hourglass meanwhile, and tells the outcome in a message box
// owned by the list's form. An empty list starts no job: the box says there is nothing.
void PrintHotkeyList(const plat::ListView& list);

// ---------------------------------------------------------------- keys and waiting

void KeyDown(std::uint8_t vk);
void KeyUp(std::uint8_t vk);
void KeyTap(std::uint8_t vk);

// Waits at least milliseconds while dispatching messages (at least once, also for 0 or
// less), sleeping between them. Returns at once when the program is ending (QuitPending).
void PumpingWait(std::int32_t milliseconds);

}  // namespace kv
