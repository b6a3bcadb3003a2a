#pragma once
// TWorkDocument: the hotkey list as one document. It owns the work file the list belongs
// to (its path, form and bytes as last read or written, and whether it was read whole),
// the list on screen (the editor's WorkList), the list as last read or saved, the list the
// hotkeys run, and the last work file recorded in "Config.ini". Each operation the user or
// another program can do to it is one method that moves it from one consistent state to
// the next; the table of them opens WorkDocument.cpp. The forms ask it what holds.
#include <string>
#include <vector>

#include "core/UnitFunction.h"
#include "platform/textfile.h"

namespace kv {

class Tfrm_main;
using EntryRows = std::vector<std::vector<std::string>>;

class TWorkDocument {
 public:
  explicit TWorkDocument(Tfrm_main& editor);

  // ---------------------------------------------------------------- what holds

  // The work file: where the list on screen came from, and where 적용 and 예 write it.
  const std::string& Path() const { return path_; }
  // Its form (encoding, line end), which every save keeps; CP949 with CR LF for a new file.
  const plat::TextForm& FileForm() const { return form_; }
  // The list as last read from or written to its file, and the list the hotkeys run.
  const EntryRows& Saved() const { return saved_; }
  const EntryRows& Applied() const { return applied_; }
  // The list on screen comes from the file the registrations were made from. While it does
  // not (after 열기, until 적용), a press runs the applied list's entry.
  bool FromAppliedFile() const { return path_ == appliedPath_; }
  // The list on screen holds edits its file does not.
  bool Unsaved() const;
  // What the hotkeys run is not the list on screen (edits, another file, the file read
  // again since): 적용 has something to do.
  bool Unapplied() const;
  // The editor's mark of changes: the closing question asks while it is set, and 적용 is
  // enabled exactly then. Any input sets it; every operation sets it to Unapplied().
  bool Modified() const { return modified_; }
  void SetModified(bool on);

  // The file the list holds only the first part of (its load stopped before the last byte)
  // and the first line not read (0: it went to the end over bytes that are no text). Its
  // next save keeps the file beside it first.
  const std::string& IncompletePath() const { return incompletePath_; }
  int IncompleteLine() const { return incompleteLine_; }
  // From a start-up whose list holds only part of its file until the editor has said so.
  bool IncompleteUntold() const { return incompleteUntold_; }

  // ---------------------------------------------------------------- operations

  // Start-up: the last work file becomes the list on screen and the list the hotkeys run.
  void Start();
  // The editor is about to be shown (the tray's item, its double click, Ctrl+Win+F1): the
  // list is read again from the last work file, unless that file is gone.
  void Show();
  // The editor is on screen: says what the showing found (a list read in part, a file gone).
  void Shown();
  // The closing question, when there are changes: true when the list may be replaced or
  // dropped (예 saved and applied it, or 아니요 put back the list last read or saved).
  bool MayDrop();
  // 열기 of a file the user chose (after MayDrop). False when it did not open; then
  // nothing changed.
  bool Open(const std::string& name);
  // 다른 이름으로 저장: writes the list to name, which then becomes the work file. False
  // when it did not; the work file then stays where it was.
  bool SaveAs(const std::string& name);
  // 적용: writes the list to its file, records it in "Config.ini" and registers it. False
  // when nothing was written (an error, or the user cancelled); the list stays marked.
  bool Apply();
  // Pause and resume keep the document as it is; an apply while paused registers on resume.

  // ---------------------------------------------------------------- the file itself

  // Reads the file into the list on screen and takes it as the work file, as the last read.
  // False (error box shown, nothing changed) when it cannot be read.
  bool Load(const std::string& path);
  // Writes the list on screen to the file and takes it as the work file. False (error box
  // shown) when it cannot be written; the previous file is then whole.
  bool SaveTo(const std::string& path);
  // The registrations are about to be made from the list on screen.
  void TakeAsApplied();
  // Says once, in a box, that the list holds only part of its file.
  void TellIncompleteList();

 private:
  enum class Disk { Unknown, Absent, Read };
  enum class Commit { Failed, Saved, NotRecorded };
  // Reads the file whatever it holds: the list on screen becomes what it holds (nothing
  // when it is missing or unreadable).
  void ReadAgain(const std::string& path);
  void Take(const std::string& path, WorkFileContent&& content);
  // Writes the list to path with the backup rules; on success the cells show what the file
  // holds and written receives its bytes.
  bool Write(const std::string& path, bool keepOld, std::string& written);
  // Before a CP949 file is written: when the list holds characters CP949 cannot spell, the
  // user chooses UTF-8 from now on (encoding becomes UTF-8 with its mark) or takes them out
  // of the list. False when the user cancelled.
  bool FitCp949(const std::string& path, plat::TextEncoding& encoding);
  void Adopt(const std::string& path, std::string bytes);
  // Since it was last read or written, another program changed the file.
  bool ChangedOutside() const;
  // 적용 and 예: the list is saved, recorded and registered. A file changed outside first
  // asks whether to keep the list on screen or the file.
  Commit Save();
  // Makes the list now on screen the applied one and registers it; recorded: "Config.ini"
  // names its file.
  Commit Register(bool recorded);
  // Puts the list last read or saved back on screen.
  void Revert();

  Tfrm_main& editor_;
  std::string path_;
  plat::TextForm form_;
  Disk disk_ = Disk::Unknown;
  std::string diskBytes_;
  EntryRows saved_, applied_;
  std::string appliedPath_;
  bool modified_ = false;
  std::string incompletePath_;
  int incompleteLine_ = 0;
  // A file that could not be read at all: the list holds nothing of it, so its next save
  // keeps it beside it first.
  std::string unreadPath_;
  std::string incompleteTold_;
  bool incompleteUntold_ = false;
  // The work file found missing at the last showing, and the one the user was told of.
  std::string missingFile_, missingFileTold_;
  // The closing question is up: a second close cannot ask it again.
  bool questionOpen_ = false;
};

}  // namespace kv
