#pragma once
// Message boxes.
#include <functional>
#include <string>

namespace plat {

constexpr unsigned kMbOk = 0x00, kMbYesNoCancel = 0x03, kMbIconError = 0x10, kMbIconQuestion = 0x20,
                   kMbIconWarning = 0x30, kMbIconInformation = 0x40;
constexpr int kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7;

class Form;

// A modal message box owned by the window it speaks for: the owner is disabled while it
// is up. Without an owner (nothing on screen to speak for) the active window owns it.
// Returns the button pressed.
int MessageBox(const std::string& text, const std::string& caption, unsigned flags, Form* owner = nullptr);

// A box that belongs to no window (none is disabled, and it stays up whichever window is
// active), brought to the front, for what happens away from every window. It holds up no
// one: the call returns at once and the program goes on while the box is up; closed runs
// from the message loop once the user has closed it.
void ShowNoticeBox(const std::string& text, const std::string& caption, unsigned flags,
                   std::function<void()> closed);

// The application's standard error box: the text with the program's title and an error icon.
void ShowErrorBox(const std::string& text, Form* owner = nullptr);

}  // namespace plat

namespace plat {

struct FileDialogOptions {
  std::string filter;      // "description|pattern", pairs separated by "|"
  std::string initialDir;  // the folder it starts in
  std::string fileName;    // the name proposed
  bool overwritePrompt = false;
  bool hideReadOnly = false;
  bool resizable = false;
  Form* owner = nullptr;  // the window the dialog is modal to
};

// The open and save dialogs: true and the chosen path, or false when the user cancels.
bool OpenFileDialog(const FileDialogOptions& options, std::string& chosen);
bool SaveFileDialog(const FileDialogOptions& options, std::string& chosen);

// The folder browser over the whole namespace, file-system folders only: true and the
// chosen folder's path, or false when the user cancels or picks no file-system folder.
bool BrowseForFolder(const std::string& title, Form* owner, std::string& chosen);

}  // namespace plat
