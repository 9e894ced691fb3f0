// Field state, buffer transfer, focus and key handling of a screen.
#include "platform/forms/screen.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/textwidth.h"
#include "platform/forms/runtime.h"

KVTFieldChecker::~KVTFieldChecker() = default;

namespace {

bool IsTrueFlag(const char* s) {
  return s && (s[0] == 'T' || s[0] == '1' || s[0] == 'Y');
}

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string WithoutAmpersand(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

WPARAM CodePoint(const std::string& c) {
  return static_cast<WPARAM>(KVTCodePoint(c));
}

bool TakesText(KVTFieldKind k) {
  return k == KVTFieldKind::Edit || k == KVTFieldKind::Combo;
}

// A gauge as text: its bar of `width` characters, filled in proportion,
// and the whole percent reached.
std::string GaugeText(const KVTFieldState& s, int width) {
  long span = static_cast<long>(s.gaugeHigh) - s.gaugeLow;
  long done = static_cast<long>(s.gaugeValue) - s.gaugeLow;
  long percent = span > 0 ? done * 100 / span : 100;
  long filled = span > 0 ? done * width / span : width;
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(width - filled), '.') + "] " +
         std::to_string(percent) + "%";
}

}  // namespace

KVTScreen::KVTScreen(HWND parent, const KVTFormDecl& form, void* buffer)
    : KVTWindowObject(parent, form.className, form.title), form_(form), buffer_(buffer) {
  states_.resize(form_.fields.size());
  for (std::size_t i = 0; i < form_.fields.size(); ++i) {
    const KVTFieldDecl& f = form_.fields[i];
    KVTFieldState& s = states_[i];
    s.label = f.label;
    if (f.kind == KVTFieldKind::Label || f.kind == KVTFieldKind::Help) s.text = f.label;
    if (f.kind == KVTFieldKind::Gauge) s.text = GaugeText(s, f.width);
    s.items = f.items;
    s.protect = f.protect;
    s.visible = !f.hidden;
    s.enabled = !f.disabled;
    if (f.kind == KVTFieldKind::Grid)
      grids_[f.id] = std::make_unique<TDataTbl>(f.id, f.columns, this);
  }
  // Character cells of 8 by 16 pixels, a caption and a border.
  MoveWindow(0, 0, form_.width * 8 + 16, (form_.height + 2) * 16);
}

KVTScreen::~KVTScreen() = default;

KVTScreen* KVTScreen::FromHandle(HWND hwnd) {
  return dynamic_cast<KVTScreen*>(KVTWindowObject::FromHandle(hwnd));
}

bool KVTScreen::Create() {
  if (IsCreated()) return false;
  closing_ = false;
  DoAppToScr();
  if (!KVTWindowObject::Create()) return false;
  if (focus_ == 0) focus_ = NextFieldId(0);
  if (focus_ != 0) State(focus_)->replaceOnType = true;
  return true;
}

void KVTScreen::WindowDestroyed() {
  closing_ = true;
}

KVTFieldState* KVTScreen::State(int id) {
  if (id == 0) return nullptr;  // unnamed texts cannot be addressed
  for (std::size_t i = 0; i < form_.fields.size(); ++i)
    if (form_.fields[i].id == id) return &states_[i];
  return nullptr;
}

const KVTFieldState* KVTScreen::State(int id) const {
  return const_cast<KVTScreen*>(this)->State(id);
}

const KVTFieldState* KVTScreen::FieldState(int id) const {
  return State(id);
}

// ---- buffer and screen ----------------------------------------------------

void KVTScreen::CopyToBuffer(const KVTFieldDecl& f, const KVTFieldState& s) {
  if (!buffer_ || !f.buffer) return;
  void* at = f.buffer.at(buffer_);
  if (f.buffer.type == KVTBufferType::Double) {
    *static_cast<double*>(at) = std::strtod(s.text.c_str(), nullptr);
    return;
  }
  std::string value;
  switch (f.kind) {
    case KVTFieldKind::Check:
    case KVTFieldKind::Radio:
      value = s.checked ? "T" : "F";
      break;
    case KVTFieldKind::List:
      value = s.selected >= 0 && s.selected < static_cast<int>(s.items.size())
                  ? s.items[static_cast<std::size_t>(s.selected)]
                  : "";
      break;
    default:
      value = s.text;
  }
  KVTCopyText(static_cast<char*>(at), f.buffer.size, value);
}

void KVTScreen::CopyToScreen(const KVTFieldDecl& f, KVTFieldState& s) {
  if (!buffer_ || !f.buffer) return;
  const void* at = f.buffer.at(buffer_);
  if (f.buffer.type == KVTBufferType::Double) {
    char buf[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(buf, sizeof buf, f.format.c_str(), *static_cast<const double*>(at));
#pragma GCC diagnostic pop
    s.text = buf;
    return;
  }
  const char* text = static_cast<const char*>(at);
  std::string value(text, strnlen(text, f.buffer.size));
  switch (f.kind) {
    case KVTFieldKind::Check:
    case KVTFieldKind::Radio:
      s.checked = IsTrueFlag(text);
      break;
    case KVTFieldKind::List: {
      s.selected = KVT_NONE;
      std::string want = Trimmed(value);
      for (std::size_t i = 0; i < s.items.size(); ++i)
        if (Trimmed(s.items[i]) == want) s.selected = static_cast<int>(i);
      break;
    }
    default:
      s.text = value;
  }
}

void KVTScreen::DoScrToApp() {
  for (std::size_t i = 0; i < form_.fields.size(); ++i) CopyToBuffer(form_.fields[i], states_[i]);
}

void KVTScreen::DoScrToApp(int id) {
  for (std::size_t i = 0; i < form_.fields.size(); ++i)
    if (form_.fields[i].id == id) CopyToBuffer(form_.fields[i], states_[i]);
}

void KVTScreen::DoAppToScr() {
  for (std::size_t i = 0; i < form_.fields.size(); ++i) CopyToScreen(form_.fields[i], states_[i]);
  Changed();
}

void KVTScreen::DoAppToScr(int id) {
  for (std::size_t i = 0; i < form_.fields.size(); ++i)
    if (form_.fields[i].id == id) CopyToScreen(form_.fields[i], states_[i]);
  Changed();
}

bool KVTScreen::SetFieldVar(int id, const char* text) {
  if (!SetFieldText(id, text ? text : "")) return false;
  DoScrToApp(id);
  return true;
}

bool KVTScreen::SetFieldText(int id, const std::string& text) {
  KVTFieldState* s = State(id);
  const KVTFieldDecl* f = Decl(id);
  if (!s) return false;
  switch (f->kind) {
    case KVTFieldKind::Check:
    case KVTFieldKind::Radio:
      SetCheck(id, IsTrueFlag(text.c_str()));
      return true;
    case KVTFieldKind::List: {
      s->selected = KVT_NONE;
      for (std::size_t i = 0; i < s->items.size(); ++i)
        if (Trimmed(s->items[i]) == Trimmed(text)) s->selected = static_cast<int>(i);
      break;
    }
    case KVTFieldKind::Button:
    case KVTFieldKind::Group:
      s->label = text;
      break;
    default:
      s->text = text;
  }
  Changed();
  return true;
}

std::string KVTScreen::GetFieldText(int id) const {
  const KVTFieldState* s = State(id);
  if (!s) return "";
  switch (Decl(id)->kind) {
    case KVTFieldKind::Check:
    case KVTFieldKind::Radio:
      return s->checked ? "T" : "F";
    case KVTFieldKind::List:
      return s->selected >= 0 && s->selected < static_cast<int>(s->items.size())
                 ? s->items[static_cast<std::size_t>(s->selected)]
                 : "";
    case KVTFieldKind::Button:
    case KVTFieldKind::Group:
      return s->label;
    default:
      return s->text;
  }
}

bool KVTScreen::SetFieldLabel(int id, const std::string& label) {
  KVTFieldState* s = State(id);
  if (!s) return false;
  s->label = label;
  Changed();
  return true;
}

// ---- look -----------------------------------------------------------------

void KVTScreen::ProtectField(int id) {
  if (KVTFieldState* s = State(id)) s->protect = true;
  if (TDataTbl* g = Grid(id)) g->SetReadOnly(true);
  Changed();
}

void KVTScreen::UnprotectField(int id) {
  if (KVTFieldState* s = State(id)) s->protect = false;
  if (TDataTbl* g = Grid(id)) g->SetReadOnly(false);
  Changed();
}

bool KVTScreen::IsFieldProtected(int id) const {
  const KVTFieldState* s = State(id);
  return s && s->protect;
}

void KVTScreen::SetFieldColors(int id, COLORREF fg, COLORREF bg) {
  if (KVTFieldState* s = State(id)) {
    s->fg = fg;
    s->bg = bg;
    Changed();
  }
}

void KVTScreen::ShowField(int id, bool show) {
  KVTFieldState* s = State(id);
  if (!s) return;
  s->visible = show;
  if (!show && focus_ == id) focus_ = 0;
  Changed();
}

bool KVTScreen::IsFieldVisible(int id) const {
  const KVTFieldState* s = State(id);
  return s && s->visible;
}

void KVTScreen::EnableField(int id, bool enable) {
  KVTFieldState* s = State(id);
  if (!s) return;
  s->enabled = enable;
  if (!enable && focus_ == id) focus_ = 0;
  Changed();
}

bool KVTScreen::IsFieldEnabled(int id) const {
  const KVTFieldState* s = State(id);
  return s && s->enabled;
}

void KVTScreen::SetFieldFont(int id, HFONT font) {
  if (KVTFieldState* s = State(id)) s->font = font;
  Changed();
}

void KVTScreen::SetCheck(int id, bool checked) {
  KVTFieldState* s = State(id);
  if (!s) return;
  const KVTFieldDecl* f = Decl(id);
  if (checked && f->kind == KVTFieldKind::Radio) {
    for (std::size_t i = 0; i < form_.fields.size(); ++i)
      if (form_.fields[i].kind == KVTFieldKind::Radio && form_.fields[i].group == f->group)
        states_[i].checked = false;
  }
  s->checked = checked;
  Changed();
}

bool KVTScreen::GetCheck(int id) const {
  const KVTFieldState* s = State(id);
  return s && s->checked;
}

void KVTScreen::ClearList(int id) {
  if (KVTFieldState* s = State(id)) {
    s->items.clear();
    s->selected = KVT_NONE;
    Changed();
  }
}

int KVTScreen::AddListItem(int id, const std::string& text) {
  KVTFieldState* s = State(id);
  if (!s) return KVT_NONE;
  s->items.push_back(text);
  Changed();
  return static_cast<int>(s->items.size()) - 1;
}

int KVTScreen::GetListCount(int id) const {
  const KVTFieldState* s = State(id);
  return s ? static_cast<int>(s->items.size()) : 0;
}

std::string KVTScreen::GetListItem(int id, int index) const {
  const KVTFieldState* s = State(id);
  if (!s || index < 0 || index >= static_cast<int>(s->items.size())) return "";
  return s->items[static_cast<std::size_t>(index)];
}

bool KVTScreen::SetListSelection(int id, int index) {
  KVTFieldState* s = State(id);
  if (!s || index < KVT_NONE || index >= static_cast<int>(s->items.size())) return false;
  s->selected = index;
  if (Decl(id)->kind == KVTFieldKind::Combo && index >= 0)
    s->text = s->items[static_cast<std::size_t>(index)];
  Changed();
  return true;
}

int KVTScreen::GetListSelection(int id) const {
  const KVTFieldState* s = State(id);
  return s ? s->selected : KVT_NONE;
}

void KVTScreen::SetGaugeRange(int id, int low, int high) {
  KVTFieldState* s = State(id);
  if (!s || Decl(id)->kind != KVTFieldKind::Gauge) return;
  s->gaugeLow = low;
  s->gaugeHigh = std::max(low, high);
  SetGaugeValue(id, s->gaugeValue);
}

void KVTScreen::SetGaugeValue(int id, int value) {
  KVTFieldState* s = State(id);
  if (!s || Decl(id)->kind != KVTFieldKind::Gauge) return;
  s->gaugeValue = std::clamp(value, s->gaugeLow, s->gaugeHigh);
  s->text = GaugeText(*s, Decl(id)->width);
  Changed();
}

int KVTScreen::GetGaugeValue(int id) const {
  const KVTFieldState* s = State(id);
  return s ? s->gaugeValue : 0;
}

TDataTbl* KVTScreen::Grid(int id) {
  auto it = grids_.find(id);
  return it == grids_.end() ? nullptr : it->second.get();
}

const TDataTbl* KVTScreen::Grid(int id) const {
  return const_cast<KVTScreen*>(this)->Grid(id);
}

int KVTScreen::MessageBox(const char* text, const char* caption, UINT flags) {
  return ::MessageBox(Handle(), text, caption, flags);
}

// ---- focus ----------------------------------------------------------------

bool KVTScreen::CanFocus(const KVTFieldDecl& f, const KVTFieldState& s) const {
  return f.Focusable() && s.visible && s.enabled;
}

int KVTScreen::NextFieldId(int from) const {
  const int n = static_cast<int>(form_.fields.size());
  int start = -1;  // no such field: start before the first
  for (int i = 0; i < n; ++i)
    if (form_.fields[static_cast<std::size_t>(i)].id == from) start = i;
  for (int k = 1; k <= n; ++k) {
    auto i = static_cast<std::size_t>((start + k) % n);
    if (CanFocus(form_.fields[i], states_[i])) return form_.fields[i].id;
  }
  return 0;
}

int KVTScreen::PrevFieldId(int from) const {
  const int n = static_cast<int>(form_.fields.size());
  int start = n;  // no such field: start after the last
  for (int i = 0; i < n; ++i)
    if (form_.fields[static_cast<std::size_t>(i)].id == from) start = i;
  for (int k = 1; k <= n; ++k) {
    auto i = static_cast<std::size_t>((start - k + n) % n);
    if (CanFocus(form_.fields[i], states_[i])) return form_.fields[i].id;
  }
  return 0;
}

bool KVTScreen::KVTSetFieldFocus(int id) {
  const KVTFieldDecl* f = Decl(id);
  if (!f) return false;
  const KVTFieldState* s = State(id);
  if (!s->visible || !s->enabled || f->kind == KVTFieldKind::Label ||
      f->kind == KVTFieldKind::Help || f->kind == KVTFieldKind::Group ||
      f->kind == KVTFieldKind::Gauge || f->kind == KVTFieldKind::Sketch)
    return false;
  ChangeFocus(id);
  return true;
}

void KVTScreen::SetFocusPrevField() {
  if (int id = PrevFieldId(focus_)) ChangeFocus(id);
}

void KVTScreen::SetFocusNextField() {
  if (int id = NextFieldId(focus_)) ChangeFocus(id);
}

void KVTScreen::ChangeFocus(int id) {
  if (id == focus_ || id == 0) return;
  // Focus handlers may move the focus again; a chain this deep is a loop.
  if (focusDepth_ > 32) return;
  ++focusDepth_;
  int old = focus_;
  focus_ = id;
  State(id)->replaceOnType = true;
  Changed();
  if (old) Fire(onKillFocus_, old);
  if (focus_ == id) Fire(onSetFocus_, id);
  --focusDepth_;
}

void KVTScreen::SetSpecialKey(UINT vk, bool on) {
  if (on)
    specialKeys_.insert(vk);
  else
    specialKeys_.erase(vk);
}

// ---- handlers -------------------------------------------------------------

void KVTScreen::OnCommand(int id, std::function<void()> h) {
  onCommand_[id] = std::move(h);
}
void KVTScreen::OnSetFocus(int id, std::function<void()> h) {
  onSetFocus_[id] = std::move(h);
}
void KVTScreen::OnKillFocus(int id, std::function<void()> h) {
  onKillFocus_[id] = std::move(h);
}
void KVTScreen::OnChange(int id, std::function<void()> h) {
  onChange_[id] = std::move(h);
}
void KVTScreen::OnGridClick(int id, std::function<void(int)> h) {
  onGridClick_[id] = std::move(h);
}
void KVTScreen::OnGridDoubleClick(int id, std::function<void(int)> h) {
  onGridDoubleClick_[id] = std::move(h);
}

void KVTScreen::Fire(const std::map<int, std::function<void()>>& handlers, int id) {
  auto it = handlers.find(id);
  if (it != handlers.end() && it->second) {
    std::function<void()> h = it->second;  // the handler may replace itself
    h();
  }
}

void KVTScreen::EvCommand(UINT id) {
  if (closing_) return;
  auto it = onCommand_.find(static_cast<int>(id));
  if (it != onCommand_.end() && it->second) {
    std::function<void()> h = it->second;
    h();
  } else if (id == IDOK) {
    CmOk();
  } else if (id == IDCANCEL) {
    CmCancel();
  }
}

void KVTScreen::CmOk() {
  DoScrToApp();
  if (!checker_ || checker_->VerifyRequiredFields()) CloseWindow(IDOK);
}

void KVTScreen::CmCancel() {
  CloseWindow(IDCANCEL);
}

void KVTScreen::CloseWindow(int) {
  closing_ = true;
  DestroyHandle();
}

bool KVTScreen::PreProcessMsg(MSG&) {
  return false;
}

// ---- input ----------------------------------------------------------------

bool KVTScreen::UserKey(const KVTKey& key) {
  if (closing_ || !IsCreated() || !IsWindowEnabled()) return false;
  KVTForms::Busy busy;
  kvt::forms_detail::SetKeyModifiers(key.shift, key.ctrl, key.alt);
  kvt::forms_detail::SetLastMessageWasKey(true);
  MSG msg{Handle(), WM_KEYDOWN, key.vk, 0};
  if (PreProcessMsg(msg)) return true;
  if (closing_) return true;
  return DefaultKey(key);
}

bool KVTScreen::DefaultKey(const KVTKey& key) {
  if (key.alt) return false;
  const KVTFieldDecl* f = focus_ ? Decl(focus_) : nullptr;
  KVTFieldState* s = focus_ ? State(focus_) : nullptr;
  if (specialKeys_.count(key.vk) && !key.ctrl) {
    LeaveForward();
    return true;
  }
  if (f && f->kind == KVTFieldKind::Grid && !key.ctrl && GridKey(*Grid(focus_), key)) return true;
  switch (key.vk) {
    case VK_TAB:
      if (key.ctrl) return false;  // the tab window's key
      if (key.shift)
        SetFocusPrevField();
      else
        LeaveForward();
      return true;
    case VK_RETURN:
      if (f && f->kind == KVTFieldKind::Button)
        UserClick(focus_);
      else
        LeaveForward();
      return true;
    case VK_ESCAPE:
      EvCommand(IDCANCEL);
      return true;
    case VK_SPACE:
      if (!f) return false;
      if (f->kind == KVTFieldKind::Check || f->kind == KVTFieldKind::Radio ||
          f->kind == KVTFieldKind::Button) {
        UserClick(focus_);
        return true;
      }
      if (TakesText(f->kind)) {
        TypeChar(" ");
        return true;
      }
      return false;
    case VK_UP:
    case VK_DOWN:
      if (f && (f->kind == KVTFieldKind::List || f->kind == KVTFieldKind::Combo) &&
          !s->items.empty() && !s->protect) {
        int n = static_cast<int>(s->items.size());
        int at = s->selected == KVT_NONE ? 0 : s->selected + (key.vk == VK_DOWN ? 1 : -1);
        if (at < 0 || at >= n) return true;
        UserSelectItem(focus_, at);
        return true;
      }
      return false;
    case VK_BACK:
    case VK_DELETE:
      if (f && TakesText(f->kind) && !s->protect) {
        if (s->replaceOnType || key.vk == VK_DELETE)
          s->text.clear();
        else if (!s->text.empty())
          s->text.pop_back();
        s->replaceOnType = false;
        Changed();
        Fire(onChange_, focus_);
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool KVTScreen::GridKey(TDataTbl& g, const KVTKey& key) {
  int rows = g.GetRowCount();
  int cur = g.GetCurRow();
  auto moveTo = [&](int row) {
    if (rows == 0) return;
    row = std::clamp(row, 0, rows - 1);
    if (g.GetSelRow() != KVT_NONE)
      g.SelRow(row);
    else
      g.SetCurCell(g.GetCurCol(), row);
    State(g.GetId())->replaceOnType = true;  // a new cell: typing replaces it
    int shown = Decl(g.GetId())->height;
    if (row < g.GetTopRow()) g.SetTopRow(row);
    if (shown > 0 && row >= g.GetTopRow() + shown) g.SetTopRow(row - shown + 1);
  };
  auto moveCol = [&](int step) {
    for (int c = g.GetCurCol() + step; c >= 0 && c < g.GetColCount(); c += step) {
      if (!g.IsColHidden(c) && !g.Columns()[static_cast<std::size_t>(c)].mark) {
        if (cur != KVT_NONE) g.SetCurCell(c, cur);
        State(g.GetId())->replaceOnType = true;
        return;
      }
    }
  };
  int page = std::max(1, Decl(g.GetId())->height);
  switch (key.vk) {
    case VK_UP:
      moveTo(cur - 1);
      return true;
    case VK_DOWN:
      moveTo(cur + 1);
      return true;
    case VK_PRIOR:
      moveTo(cur - page);
      return true;
    case VK_NEXT:
      moveTo(cur + page);
      return true;
    case VK_HOME:
      moveTo(0);
      return true;
    case VK_END:
      moveTo(rows - 1);
      return true;
    case VK_LEFT:
      moveCol(-1);
      return true;
    case VK_RIGHT:
      moveCol(1);
      return true;
    case VK_BACK:
      if (!g.IsReadOnly() && cur != KVT_NONE) {
        std::string t = g.GetCell(g.GetCurCol(), cur);
        if (!t.empty()) t.pop_back();
        g.SetCell(g.GetCurCol(), cur, t);
        State(g.GetId())->replaceOnType = false;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void KVTScreen::LeaveForward() {
  int id = focus_;
  if (id == 0) {
    SetFocusNextField();
    return;
  }
  const KVTFieldDecl* f = Decl(id);
  int dealt = 0;
  if (f->kind != KVTFieldKind::Button) {
    DoScrToApp(id);
    if (checker_) dealt = checker_->VerifyFields(id);
  }
  if (closing_) return;
  if (dealt == 0 && focus_ == id)
    SetFocusNextField();
  else if (focus_ == id)
    State(id)->replaceOnType = true;  // refused: what is typed next replaces the value
}

bool KVTScreen::UserType(const std::string& text) {
  if (closing_ || !IsCreated() || !IsWindowEnabled()) return false;
  KVTForms::Busy busy;
  kvt::forms_detail::SetKeyModifiers(false, false, false);
  kvt::forms_detail::SetLastMessageWasKey(true);
  // One character at a time, all its bytes together, so that no limit
  // splits it; WM_CHAR carries its code point.
  for (std::size_t at = 0, n = 0; at < text.size(); at += n) {
    n = KVTCharBytes(std::string_view(text).substr(at));
    const std::string c = text.substr(at, n);
    MSG msg{Handle(), WM_CHAR, CodePoint(c), 0};
    if (PreProcessMsg(msg)) continue;
    if (closing_) break;
    TypeChar(c);
  }
  return true;
}

void KVTScreen::TypeChar(const std::string& c) {
  if (!focus_) return;
  const KVTFieldDecl* f = Decl(focus_);
  KVTFieldState* s = State(focus_);
  if (f->kind == KVTFieldKind::Grid) {
    TDataTbl* g = Grid(focus_);
    int row = g->GetCurRow();
    int col = g->GetCurCol();
    if (g->IsReadOnly() || row == KVT_NONE || !g->Columns()[static_cast<std::size_t>(col)].editable)
      return;
    std::string t = s->replaceOnType ? "" : g->GetCell(col, row);
    s->replaceOnType = false;
    g->SetCell(col, row, t + c);
    return;
  }
  if (f->kind == KVTFieldKind::List) {
    // A letter picks the first item that starts with it.
    for (std::size_t i = 0; i < s->items.size(); ++i) {
      if (!s->items[i].empty() && c.size() == 1 &&
          std::tolower(static_cast<unsigned char>(s->items[i][0])) ==
              std::tolower(static_cast<unsigned char>(c[0]))) {
        UserSelectItem(focus_, static_cast<int>(i));
        return;
      }
    }
    return;
  }
  if (!TakesText(f->kind) || s->protect) return;
  std::string t = s->replaceOnType ? "" : s->text;
  s->replaceOnType = false;
  if (!f->Holds(t + c)) {
    MessageBeep();
    return;
  }
  s->text = t + c;
  Changed();
  Fire(onChange_, focus_);
}

bool KVTScreen::UserClick(int id) {
  if (closing_ || !IsCreated()) return false;
  const KVTFieldDecl* f = Decl(id);
  const KVTFieldState* s = State(id);
  if (!f || !s->visible || !s->enabled || !IsWindowEnabled()) return false;
  KVTForms::Busy busy;
  kvt::forms_detail::SetKeyModifiers(false, false, false);
  kvt::forms_detail::SetLastMessageWasKey(false);
  if (f->Focusable()) ChangeFocus(id);
  switch (f->kind) {
    case KVTFieldKind::Button:
      EvCommand(static_cast<UINT>(id));
      return true;
    case KVTFieldKind::Check:
      if (s->protect) return true;
      SetCheck(id, !s->checked);
      Fire(onChange_, id);
      return true;
    case KVTFieldKind::Radio:
      if (s->protect) return true;
      SetCheck(id, true);
      Fire(onChange_, id);
      return true;
    default:
      return f->Focusable();
  }
}

bool KVTScreen::UserSelectItem(int id, int index) {
  const KVTFieldDecl* f = Decl(id);
  KVTFieldState* s = State(id);
  if (closing_ || !f || !s->visible || !s->enabled || s->protect) return false;
  if (index < 0 || index >= static_cast<int>(s->items.size())) return false;
  KVTForms::Busy busy;
  if (focus_ != id) ChangeFocus(id);
  SetListSelection(id, index);
  Fire(onChange_, id);
  return true;
}

bool KVTScreen::UserDraw(int id, const std::string& stroke) {
  const KVTFieldDecl* f = Decl(id);
  KVTFieldState* s = State(id);
  if (closing_ || !f || f->kind != KVTFieldKind::Sketch || !s->visible || !s->enabled ||
      s->protect || stroke.empty())
    return false;
  s->text += (s->text.empty() ? "" : ";") + stroke;
  Changed();
  return true;
}

bool KVTScreen::UserClickRow(int gridId, int row) {
  TDataTbl* g = Grid(gridId);
  const KVTFieldState* s = State(gridId);
  if (closing_ || !g || !s->visible || !s->enabled || row < 0 || row >= g->GetRowCount())
    return false;
  KVTForms::Busy busy;
  kvt::forms_detail::SetKeyModifiers(false, false, false);
  kvt::forms_detail::SetLastMessageWasKey(false);
  ChangeFocus(gridId);
  g->SelRow(row);
  auto it = onGridClick_.find(gridId);
  if (it != onGridClick_.end() && it->second) {
    std::function<void(int)> h = it->second;
    h(row);
  }
  return true;
}

bool KVTScreen::UserDoubleClickRow(int gridId, int row) {
  if (!UserClickRow(gridId, row)) return false;
  auto it = onGridDoubleClick_.find(gridId);
  if (!closing_ && it != onGridDoubleClick_.end() && it->second) {
    KVTForms::Busy busy;
    std::function<void(int)> h = it->second;
    h(row);
  }
  return true;
}

int KVTScreen::FindButton(const std::string& caption) const {
  std::string want = WithoutAmpersand(caption);
  for (std::size_t i = 0; i < form_.fields.size(); ++i) {
    const KVTFieldDecl& f = form_.fields[i];
    if (f.kind != KVTFieldKind::Button && f.kind != KVTFieldKind::Check &&
        f.kind != KVTFieldKind::Radio)
      continue;
    if (states_[i].visible &&
        strcasecmp(WithoutAmpersand(states_[i].label).c_str(), want.c_str()) == 0)
      return f.id;
  }
  return 0;
}

char KVTMnemonic(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

int KVTScreen::FindMnemonic(char c) const {
  char want = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (want == 0) return 0;
  for (std::size_t i = 0; i < form_.fields.size(); ++i) {
    const KVTFieldDecl& f = form_.fields[i];
    if (f.kind != KVTFieldKind::Button && f.kind != KVTFieldKind::Check &&
        f.kind != KVTFieldKind::Radio)
      continue;
    const KVTFieldState& s = states_[i];
    if (s.visible && s.enabled && KVTMnemonic(s.label) == want) return f.id;
  }
  return 0;
}
