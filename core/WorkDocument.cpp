// The work document: its parts, and what each operation does to them.
//
//   screen   the list on screen (WorkList)        saved   the list as last read or written
//   applied  the list the hotkeys run, and the    file    path, form (encoding, line end) and
//            file it came from                            bytes as last read or written
//   last     "Config.ini"'s LastWorkList_Path     marked  Modified: closing asks, 적용 enabled
//
// | operation            | does                                                  | when it cannot             |
// |----------------------|-------------------------------------------------------|----------------------------|
// | Start                | file := last; screen, saved, applied := its list      | missing, unreadable, empty:|
// |                      |                                                       | an empty list of that file |
// | Show (any way)       | last gone with rows on screen: screen stays, marked   |                            |
// |                      | else file := last; screen, saved := its list;         |                            |
// |                      | marked := Unapplied                                   |                            |
// | 열기 (after the       | "Config.ini" refused; file := name; screen, saved :=  | missing, unreadable, last  |
// | closing question)    | its list (empty file: empty list); last := name;      | not written: a box, nothing|
// |                      | marked := Unapplied                                   | changes                    |
// | 다른 이름으로 저장     | write screen to name; last := name; file := name;     | write or last fails: a box,|
// |                      | saved := screen; marked stays (set when Unapplied)    | file stays where it was    |
// | 적용, 예              | file changed outside: no edits, read it; edits, ask:  | write fails: a box, nothing|
// |                      | keep mine (old file kept as .bak) / read the file /   | changes; last fails: saved |
// |                      | cancel. Write screen to file; saved, applied :=       | and registered, still      |
// |                      | screen; last := file; marked := false                 | marked (예 stays on screen)|
// | 아니요                | screen := saved; marked := Unapplied                  |                            |
// | 취소                  | nothing                                               |                            |
// | 끝내기, session end   | the closing question, when on screen and marked       |                            |
// | pause, resume        | registrations only; resume registers applied          |                            |
// | a press              | by ID in screen while file is applied's file, else in |                            |
// |                      | applied (Tfrm_main::HotKeyPressed)                    |                            |
//
// Unapplied: screen differs from applied, or file from applied's file. Every write keeps
// the old file beside it (.bak, .bak2, ...) when the list holds only part or nothing of it,
// when it empties the file, when the file's form cannot carry a character, when a CP949
// file becomes UTF-8, or when the user keeps the list over a file changed outside. A CP949
// file never receives a character it cannot spell: the user chooses UTF-8 or takes the
// character out (FitCp949). Nothing writes a list into "Config.ini".
#include "core/WorkDocument.h"

#include "core/frmMain.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"

namespace kv {

namespace {
const char* const kCaption = "알림말";

void RefuseSettingsFile(plat::Form* owner) {
  plat::MessageBox(
      "Config.ini는 키베인의 설정 파일이라 작업 파일로 열거나 저장할 수 없습니다.\r\n다른 파일을 선택해 주십시오.",
      kCaption, plat::kMbOk | plat::kMbIconWarning, owner);
}

// The name KeepBackup will take for the file.
std::string NextBackupName(const std::string& path) { return plat::BackupName(path, plat::FreeBackupNumber(path)); }
}  // namespace

TWorkDocument::TWorkDocument(Tfrm_main& editor) : editor_(editor) {}

bool TWorkDocument::Unsaved() const { return editor_.WorkList.Rows() != saved_; }

bool TWorkDocument::Unapplied() const { return !FromAppliedFile() || editor_.WorkList.Rows() != applied_; }

void TWorkDocument::SetModified(bool on) {
  modified_ = on;
  editor_.bnt_Apply.SetEnabled(on);
}

// ---------------------------------------------------------------- operations

void TWorkDocument::Start() {
  editor_.ClearWorkList();
  ReadAgain(GetLastWorkFile());
  // At start-up (perhaps with Windows) no box: the tray's hint says it until the editor does.
  incompleteUntold_ = !incompletePath_.empty();
  applied_ = saved_;
  appliedPath_ = path_;
  modified_ = false;
}

void TWorkDocument::Show() {
  // A work file gone since the list was read (deleted, its drive removed): the list on
  // screen is all that is left of it, and what the hotkeys run, so it stays, to be written
  // again by 적용.
  const std::string last = GetLastWorkFile();
  if (editor_.WorkList.RowCount() > 0 && plat::FileMissing(last)) {
    missingFile_ = last;
    SetModified(true);
    return;
  }
  missingFile_.clear();
  missingFileTold_.clear();
  editor_.ClearWorkList();  // and the key list is filled anew
  ReadAgain(last);
  SetModified(Unapplied());
}

void TWorkDocument::Shown() {
  TellIncompleteList();
  if (incompleteUntold_) {
    incompleteUntold_ = false;
    if (editor_.OnListNoticeChange) editor_.OnListNoticeChange();
  }
  if (missingFile_.empty() || missingFile_ == missingFileTold_) return;
  missingFileTold_ = missingFile_;
  plat::MessageBox("작업 파일을 찾을 수 없습니다:\r\n" + missingFile_ +
                       "\r\n\r\n목록은 그대로 두었습니다. 적용하면 파일을 다시 만듭니다.",
                   kCaption, plat::kMbOk | plat::kMbIconWarning, &editor_);
}

bool TWorkDocument::MayDrop() {
  if (!modified_) return true;
  // The question disables the editor, but another program can still send it WM_CLOSE.
  if (questionOpen_) return false;
  questionOpen_ = true;
  const int answer = plat::MessageBox("현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?", kCaption,
                                      plat::kMbYesNoCancel | plat::kMbIconQuestion, &editor_);
  questionOpen_ = false;
  switch (answer) {
    case plat::kIdYes:
      // A save that fails keeps the list: dropping it would lose the edits unseen. So does
      // a failed "Config.ini": the next start would load another list than the one saved.
      return Save() == Commit::Saved;
    case plat::kIdNo:
      Revert();
      return true;
    default:
      return false;
  }
}

bool TWorkDocument::Open(const std::string& name) {
  if (IsSettingsFile(name)) {
    RefuseSettingsFile(&editor_);
    return false;
  }
  if (!plat::FileExists(name)) {
    plat::MessageBox("작업 파일이 존재 하지 않습니다. 다시한번 확인해 주십시오", "Keyvane", plat::kMbOk, &editor_);
    return false;
  }
  WorkFileContent content = ReadWorkFile(name, &editor_);
  if (content.status == WorkFileRead::Unreadable) {
    unreadPath_ = name;
    return false;
  }
  // Recorded first: a list on screen that the next start would not load is never shown.
  if (!SetLastWorkFile(name)) return false;
  Take(name, std::move(content));
  SetModified(Unapplied());
  TellIncompleteList();
  return true;
}

bool TWorkDocument::SaveAs(const std::string& name) {
  if (IsSettingsFile(name)) {
    RefuseSettingsFile(&editor_);
    return false;
  }
  std::string written;
  if (!Write(name, false, written)) return false;
  // The copy is written; unless "Config.ini" records it, the list stays with its own file.
  if (!SetLastWorkFile(name)) return false;
  const bool wasApplied = !Unapplied();
  Adopt(name, std::move(written));
  // The registrations are this very list's, now in its new file.
  if (wasApplied) appliedPath_ = path_;
  SetModified(modified_ || Unapplied());
  return true;
}

// Also when "Config.ini" could not record the file: it is written and registered, still marked.
bool TWorkDocument::Apply() { return Save() != Commit::Failed; }

// ---------------------------------------------------------------- the file itself

bool TWorkDocument::Load(const std::string& path) {
  WorkFileContent content = ReadWorkFile(path, &editor_);
  if (content.status == WorkFileRead::Unreadable) {
    unreadPath_ = path;
    return false;
  }
  Take(path, std::move(content));
  return true;
}

bool TWorkDocument::SaveTo(const std::string& path) {
  std::string written;
  if (!Write(path, false, written)) return false;
  Adopt(path, std::move(written));
  return true;
}

void TWorkDocument::TakeAsApplied() {
  applied_ = editor_.WorkList.Rows();
  appliedPath_ = path_;
}

void TWorkDocument::TellIncompleteList() {
  if (incompletePath_.empty()) return;
  const std::string told = incompletePath_ + "\n" + std::to_string(incompleteLine_);
  if (told == incompleteTold_) return;
  incompleteTold_ = told;
  // Reading stopped at a line, or went to the end over bytes that are no text (a damaged
  // UTF-8 or UTF-16 file).
  const std::string what = incompleteLine_ > 0
                               ? std::to_string(incompleteLine_) +
                                     "번째 줄에서 읽기를 멈추었습니다. 목록에는 그 앞의 항목만 있습니다."
                               : "글자로 읽을 수 없는 바이트가 있어 그 자리는 다른 글자로 읽었습니다.";
  plat::MessageBox("작업 파일을 끝까지 읽지 못했습니다:\r\n" + incompletePath_ + "\r\n\r\n" + what + "\r\n" +
                       "다음에 저장할 때 지금의 파일은 " + NextBackupName(incompletePath_) + " 로 남겨 둡니다.",
                   kCaption, plat::kMbOk | plat::kMbIconWarning, &editor_);
}

void TWorkDocument::ReadAgain(const std::string& path) {
  if (plat::FileExists(path)) {
    WorkFileContent content = ReadWorkFile(path, &editor_);
    if (content.status != WorkFileRead::Unreadable) {
      Take(path, std::move(content));
      return;
    }
    // Nothing of it is on screen: its next save keeps it first.
    unreadPath_ = path;
    disk_ = Disk::Unknown;
  } else {
    disk_ = Disk::Absent;
  }
  // The entries the user makes now go into that file, in the form a new file has, unless
  // the list was read from it before.
  if (path != path_) form_ = {};
  path_ = path;
  diskBytes_.clear();
  if (incompletePath_ == path) incompletePath_.clear();
  editor_.WorkList.Clear();
  saved_.clear();
  editor_.MarkUnregisteredRows();
}

void TWorkDocument::Take(const std::string& path, WorkFileContent&& content) {
  path_ = path;
  form_ = content.form;
  disk_ = Disk::Read;
  diskBytes_ = std::move(content.bytes);
  incompletePath_ = content.incomplete ? path : std::string();
  incompleteLine_ = content.incomplete ? content.stopLine : 0;
  if (unreadPath_ == path) unreadPath_.clear();
  SetListRows(editor_.WorkList, std::move(content.rows));
  saved_ = editor_.WorkList.Rows();
  editor_.SetCaption(kTitlePrefix + path);
  editor_.MarkUnregisteredRows();
}

bool TWorkDocument::Write(const std::string& path, bool keepOld, std::string& written) {
  plat::ListView& list = editor_.WorkList;
  plat::TextEncoding encoding = form_.encoding;
  if (encoding == plat::TextEncoding::kCp949 && !FitCp949(path, encoding)) return false;
  // The CP949 file a list leaves for UTF-8 is kept: older copies of the program read it.
  const bool toUtf8 = encoding != form_.encoding;
  const bool unicode = encoding != plat::TextEncoding::kCp949;

  const std::string lineEnd = plat::LineEndText(form_.lineEnd);
  std::string text;
  text.reserve(static_cast<std::size_t>(list.RowCount()) * 96);
  struct Change {
    int row, column;
    std::string text;
  };
  std::vector<Change> changes;  // cells that read back other than they stand now
  for (int r = 0; r < list.RowCount(); ++r) {
    for (int c = 0; c < kEntryColumns; ++c) {
      const std::string& cell = list.Cell(r, c);
      std::string stored = StoredField(cell);
      text += stored;
      text += '-';
      std::string back = ReadBackField(stored);
      if (unicode) back = plat::TextFromUtf16(plat::TextToUtf16(back));
      if (back != cell) changes.push_back({r, c, std::move(back)});
    }
    text += lineEnd;
  }
  // Characters CP949 cannot spell, which the program holds as escapes, become themselves
  // again in a UTF form. Only bytes that spell no CP949 character at all (a damaged CP949
  // file's) have nothing to become: the user is told, and the file is kept first.
  const bool lossy = !plat::EncodesExactly(text, encoding);

  // The lines after the one that stopped the last load of this file are not in the list:
  // keep the file as it was before the list replaces it. So is a file whose every entry
  // the user deleted: one slip of the Delete key should not cost the whole list.
  std::string existing, unused;
  const bool emptying = list.RowCount() == 0 && plat::FileExists(path) &&
                        (!plat::ReadWholeFile(path, existing, unused) || !existing.empty());
  std::string backup;
  if ((keepOld || incompletePath_ == path || unreadPath_ == path || emptying || lossy || toUtf8) &&
      plat::FileExists(path)) {
    if (!plat::KeepBackup(path, backup)) {
      plat::ShowErrorBox("Cannot create file \"" + backup + "\".", &editor_);
      return false;
    }
  }
  if (lossy) {
    const bool utf8 = encoding == plat::TextEncoding::kUtf8 || encoding == plat::TextEncoding::kUtf8Mark;
    std::string message = std::string("목록에 ") + (utf8 ? "UTF-8" : "UTF-16") +
                          "로 쓸 수 없는 글자가 있습니다. 그 글자는 대체 문자로 바뀌어 저장됩니다.";
    if (!backup.empty()) message += "\r\n\r\n원래 파일은 다음 이름으로 보관했습니다:\r\n" + backup;
    plat::MessageBox(message, kCaption, plat::kMbOk | plat::kMbIconWarning, &editor_);
  }

  std::string error;
  written = plat::EncodeText(text, encoding);
  // An unmarked file that begins with the bytes of a mark (癤요 in CP949 is EF BB BF E4)
  // would read back as UTF-8 or UTF-16: a blank first, which the reader skips, prevents it.
  const bool unmarked = encoding == plat::TextEncoding::kCp949 || encoding == plat::TextEncoding::kUtf8;
  if (unmarked && (written.rfind("\xEF\xBB\xBF", 0) == 0 || written.rfind("\xFF\xFE", 0) == 0 ||
                  written.rfind("\xFE\xFF", 0) == 0))
    written = plat::EncodeText(" " + text, encoding);
  if (!plat::ReplaceFile(path, written, error)) {
    plat::ShowErrorBox("Cannot create file \"" + path + "\". " + error, &editor_);
    return false;
  }
  // The list now shows exactly what the file holds.
  for (const Change& ch : changes) list.SetCell(ch.row, ch.column, ch.text);
  form_.encoding = encoding;
  return true;
}

bool TWorkDocument::FitCp949(const std::string& path, plat::TextEncoding& encoding) {
  const std::string names = CharactersOutsideCp949(editor_.WorkList);
  if (names.empty()) return true;
  // Written as they are, they would be the program's own escapes, which no other program
  // reads; a look-alike or "?" would change the entry unseen. The user chooses.
  const std::string keep = plat::FileExists(path) ? " 지금의 파일은 " + NextBackupName(path) + " 로 남겨 둡니다." : "";
  const int answer = plat::MessageBox(
      "목록에 CP949 작업 파일에 쓸 수 없는 글자가 있습니다:" + names +
          "\r\n\r\n예: 이제부터 이 목록을 UTF-8로 저장합니다. 키베인의 예전 판은 CP949 파일만 읽으므로 이 "
          "파일을 읽지 못합니다." +
          keep + "\r\n아니요: 그 글자를 목록에서 빼고 CP949로 저장합니다.\r\n취소: 저장하지 않습니다.",
      kCaption, plat::kMbYesNoCancel | plat::kMbIconQuestion, &editor_);
  if (answer == plat::kIdYes) {
    encoding = plat::TextEncoding::kUtf8Mark;
    return true;
  }
  if (answer != plat::kIdNo) return false;
  const int row = editor_.WorkList.Selected();
  const std::vector<std::string> before = row >= 0 ? editor_.WorkList.Row(row) : std::vector<std::string>();
  TakeOutCharactersOutsideCp949(editor_.WorkList);
  // Out of the fields too, also when the save then fails: the next key typed in a box that
  // still showed them would put them back into the entry.
  editor_.ShowSavedRow(row, before);
  return true;
}

void TWorkDocument::Adopt(const std::string& path, std::string bytes) {
  // Only a file that now holds the list becomes the work file: after a failed save under
  // another name, 적용 still writes to the file the list came from.
  path_ = path;
  editor_.SetCaption(kTitlePrefix + path);
  disk_ = Disk::Read;
  diskBytes_ = std::move(bytes);
  incompletePath_.clear();
  incompleteLine_ = 0;
  unreadPath_.clear();
  saved_ = editor_.WorkList.Rows();
  editor_.MarkUnregisteredRows();
}

bool TWorkDocument::ChangedOutside() const {
  // A file that could not be read has nothing to compare with; its save keeps it first.
  if (disk_ == Disk::Unknown) return false;
  std::string bytes, error;
  // Gone, or held so that it cannot be read now: nothing in it to lose by writing.
  if (!plat::ReadWholeFile(path_, bytes, error)) return false;
  return disk_ == Disk::Absent || bytes != diskBytes_;
}

TWorkDocument::Commit TWorkDocument::Save() {
  bool keepOld = false;
  if (ChangedOutside()) {
    int answer = plat::kIdNo;
    // Without edits of the user's, the file is the newer list.
    if (Unsaved())
      answer = plat::MessageBox("작업 파일이 키베인 밖에서 바뀌었습니다:\r\n" + path_ +
                                    "\r\n\r\n예: 편집한 목록을 저장합니다. 지금의 파일은 " + NextBackupName(path_) +
                                    " 로 남겨 둡니다.\r\n아니요: 편집을 버리고 파일을 다시 읽어 적용합니다.\r\n"
                                    "취소: 아무것도 하지 않습니다.",
                                kCaption, plat::kMbYesNoCancel | plat::kMbIconQuestion, &editor_);
    if (answer == plat::kIdNo) {
      if (!Load(path_)) return Commit::Failed;
      TellIncompleteList();
      return Register(SetLastWorkFile(path_));
    }
    if (answer != plat::kIdYes) return Commit::Failed;
    keepOld = true;
  }
  std::string written;
  if (!Write(path_, keepOld, written)) return Commit::Failed;
  Adopt(path_, std::move(written));
  return Register(SetLastWorkFile(path_));
}

TWorkDocument::Commit TWorkDocument::Register(bool recorded) {
  editor_.RegisterApplied();
  // A "Config.ini" that cannot record the file leaves the list marked: the next start
  // would load another list.
  SetModified(!recorded);
  return recorded ? Commit::Saved : Commit::NotRecorded;
}

void TWorkDocument::Revert() {
  SetListRows(editor_.WorkList, saved_);
  editor_.MarkUnregisteredRows();
  SetModified(Unapplied());
}

}  // namespace kv
