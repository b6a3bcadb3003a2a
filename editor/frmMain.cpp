// The editor window's file menu.
#include "core/frmMain.h"

#include "core/UnitFunction.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace kv {

namespace {
const char* const kWorkFileFilter = "작업 파일 (*.ini)|*.ini";
}

void Tfrm_main::N2Click() {
  plat::FileDialogOptions options;
  options.filter = kWorkFileFilter;
  options.initialDir = plat::ProgramFolder();
  options.owner = this;
  std::string name;
  if (!plat::OpenFileDialog(options, name) || name.empty()) return;
  if (plat::FileExists(name)) {
    if (SetLastWorkFile(name)) LoadWorkFile(name, WorkList, *this);
  } else {
    plat::MessageBox("작업 파일이 존재 하지 않습니다. 다시한번 확인해 주십시오", "Keyvane", plat::kMbOk, this);
  }
}

void Tfrm_main::S1Click() {
  if (WorkList.RowCount() == 0) return;
  plat::FileDialogOptions options;
  options.filter = kWorkFileFilter;
  options.fileName = "MyJop.ini";
  options.initialDir = plat::ProgramFolder();
  options.overwritePrompt = true;
  options.hideReadOnly = true;
  options.resizable = true;
  options.owner = this;
  std::string name;
  if (!plat::SaveFileDialog(options, name)) return;
  if (SaveWorkFile(name, *this)) SetLastWorkFile(name);
}

}  // namespace kv
