#include "editor/frmSetmulti.h"

#include <unordered_map>
#include <vector>

#include "core/UnitFunction.h"
#include "platform/dialogs.h"

namespace kv {

namespace {
const char* const kDelayPrefix = "Delay=";

std::vector<plat::ListView::Column> StepColumns() { return {{"단축키 설명", 130}, {"아이디", 50}}; }

void SetupList(plat::ListView& list) {
  list.SetMultiSelect(true);
  list.SetImages({plat::Icon::Program});
}

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}
}  // namespace

std::optional<std::int32_t> ParseDelaySeconds(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  // Counted wide and stopped just past the range, so a long run of digits cannot overflow.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

Tfrm_Setmulti::Tfrm_Setmulti(const plat::ListView& entries, plat::Edit& target)
    : plat::Form("다중 작업 설정", plat::FormStyle::FixedDialog, 499, 378),
      Label1(*this, "Label1", {8, 8, 200, 13}, "등록된 모든 단축키:"),
      Label2(*this, "Label2", {256, 8, 200, 13}, "실행될 단축키:"),
      Listall(*this, "Listall", {8, 24, 200, 280}, StepColumns()),
      ListSelect(*this, "ListSelect", {256, 24, 200, 280}, StepColumns()),
      bntplus(*this, "bntplus", {214, 100, 36, 25}, ">"),
      bntallpluss(*this, "bntallpluss", {214, 130, 36, 25}, ">>"),
      bntminus(*this, "bntminus", {214, 174, 36, 25}, "<"),
      bntallminus(*this, "bntallminus", {214, 204, 36, 25}, "<<"),
      bntUp(*this, "bntUp", {462, 130, 30, 25}, "↑"),
      bntDown(*this, "bntDown", {462, 160, 30, 25}, "↓"),
      Panel1(*this, "Panel1", {8, 312, 200, 34}, nullptr, plat::Bevel::Lowered),
      Label3(*this, "Label3", {8, 11, 56, 13}, "지연 설정", &Panel1),
      txt_delay(*this, "txt_delay", {66, 6, 48, 21}, &Panel1),
      Label4(*this, "Label4", {118, 11, 16, 13}, "초", &Panel1),
      bntSecAdd(*this, "bntSecAdd", {138, 4, 56, 25}, "추가", &Panel1),
      bntok(*this, "bntok", {330, 344, 75, 25}, "확인(&O)"),
      bntCancel(*this, "bntCancel", {412, 344, 75, 25}, "취소(&C)"),
      target_(target) {
  SetFont({"굴림", 9});
  SetupList(Listall);
  SetupList(ListSelect);
  txt_delay.SetText("1");
  bntplus.OnClick = [this] { bntplusClick(); };
  bntallpluss.OnClick = [this] { bntallplussClick(); };
  bntminus.OnClick = [this] { bntminusClick(); };
  bntallminus.OnClick = [this] { bntallminusClick(); };
  bntSecAdd.OnClick = [this] { bntSecAddClick(); };
  // Enter after typing a delay adds it, as "추가" does; it does not end the dialog.
  txt_delay.SetWantReturn(true);
  txt_delay.OnKeyDown = [this](int& vk) {
    if (vk != plat::kVkReturn) return;
    vk = 0;
    bntSecAddClick();
  };
  bntUp.OnClick = [this] { bntUpClick(); };
  bntDown.OnClick = [this] { bntDownClick(); };
  bntok.OnClick = [this] { bntokClick(); };
  bntok.SetDefault(true);
  bntok.SetModalResult(plat::kMrOk);
  bntCancel.SetCancel(true);
  bntCancel.SetModalResult(plat::kMrCancel);
  Fill(entries);
}

void Tfrm_Setmulti::Fill(const plat::ListView& entries) {
  Listall.BeginUpdate();
  ListSelect.BeginUpdate();
  Listall.Clear();
  ListSelect.Clear();
  // The first entry with an ID names the job; a map keeps long strings on long lists fast.
  std::unordered_map<std::string, std::string> descriptions;
  for (int row = 0; row < entries.RowCount(); ++row) {
    const std::string& id = entries.Cell(row, kColId);
    Listall.AddRow({entries.Cell(row, kColDescription), id});
    descriptions.emplace(id, entries.Cell(row, kColDescription));
  }
  std::vector<std::string> items;
  SplitItems(target_.Text(), ';', items);
  for (const std::string& item : items) {
    if (item.find(kDelayPrefix) != std::string::npos) {
      ListSelect.AddRow({item, ""});
      continue;
    }
    const auto found = descriptions.find(item);
    ListSelect.AddRow({found == descriptions.end() ? std::string() : found->second, item});
  }
  ListSelect.EndUpdate();
  Listall.EndUpdate();
}

void Tfrm_Setmulti::bntplusClick() {
  ListSelect.BeginUpdate();
  for (int row : Listall.SelectedRows()) ListSelect.AddRow(Listall.Row(row));
  ListSelect.EndUpdate();
}

void Tfrm_Setmulti::bntallplussClick() {
  ListSelect.BeginUpdate();
  ListSelect.Clear();
  for (int row = 0; row < Listall.RowCount(); ++row) ListSelect.AddRow(Listall.Row(row));
  ListSelect.EndUpdate();
}

void Tfrm_Setmulti::bntminusClick() {
  const std::vector<int> rows = ListSelect.SelectedRows();
  ListSelect.BeginUpdate();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) ListSelect.DeleteRow(*it);
  ListSelect.EndUpdate();
}

void Tfrm_Setmulti::bntallminusClick() { ListSelect.Clear(); }

void Tfrm_Setmulti::bntSecAddClick() {
  const std::optional<std::int32_t> seconds = ParseDelaySeconds(txt_delay.Text());
  if (!seconds) {
    plat::MessageBox("형식이 틀렸습니다. 다시입력해 주세요", "Keyvane", plat::kMbOk, this);
    return;
  }
  ListSelect.AddRow({kDelayPrefix + std::to_string(*seconds), ""});
}

void Tfrm_Setmulti::MoveSelected(int step) {
  const int row = ListSelect.Selected();
  if (row < 0) return;
  ListSelect.SetFocus();
  const int to = row + step;
  if (to < 0 || to >= ListSelect.RowCount()) return;
  const std::vector<std::string> cells = ListSelect.Row(row);
  ListSelect.DeleteRow(row);
  ListSelect.InsertRow(to, cells);
  ListSelect.ScrollIntoView(to);
  ListSelect.Select(to);
}

void Tfrm_Setmulti::bntUpClick() { MoveSelected(-1); }

void Tfrm_Setmulti::bntDownClick() { MoveSelected(1); }

void Tfrm_Setmulti::bntokClick() {
  std::string text;
  for (int row = 0; row < ListSelect.RowCount(); ++row) {
    const std::string& id = ListSelect.Cell(row, 1);
    text += id.empty() ? ListSelect.Cell(row, 0) : id;
    text += ';';
  }
  target_.SetText(text);
}

}  // namespace kv
