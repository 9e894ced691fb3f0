// Text rendering of screens, tab windows and frames.
#include "platform/forms/headless/render.h"

#include <algorithm>

#include "platform/forms/frames.h"
#include "platform/forms/screen.h"

namespace {

class Canvas {
 public:
  void Put(int x, int y, const std::string& s) {
    if (y < 0) return;
    if (x < 0) x = 0;
    if (lines_.size() <= static_cast<std::size_t>(y))
      lines_.resize(static_cast<std::size_t>(y) + 1);
    std::string& line = lines_[static_cast<std::size_t>(y)];
    if (line.size() < static_cast<std::size_t>(x) + s.size()) line.resize(x + s.size(), ' ');
    line.replace(static_cast<std::size_t>(x), s.size(), s);
  }
  std::string Boxed(const std::string& title, int width, int height) const {
    int w = width;
    for (const std::string& l : lines_) w = std::max(w, static_cast<int>(l.size()));
    int h = std::max(height, static_cast<int>(lines_.size()));
    std::string top = "+-- " + title + " ";
    if (static_cast<int>(top.size()) < w + 1) top += std::string(w + 1 - top.size(), '-');
    std::string out = top + "+\n";
    for (int y = 0; y < h; ++y) {
      std::string l =
          y < static_cast<int>(lines_.size()) ? lines_[static_cast<std::size_t>(y)] : "";
      l.resize(static_cast<std::size_t>(w), ' ');
      out += "|" + l + "|\n";
    }
    return out + "+" + std::string(static_cast<std::size_t>(w), '-') + "+\n";
  }

 private:
  std::vector<std::string> lines_;
};

std::string Fit(const std::string& s, int width, KVTAlign align = KVTAlign::Left) {
  auto w = static_cast<std::size_t>(std::max(width, 0));
  if (s.size() >= w) return s.substr(0, w);
  std::size_t pad = w - s.size();
  if (align == KVTAlign::Right) return std::string(pad, ' ') + s;
  if (align == KVTAlign::Center)
    return std::string(pad / 2, ' ') + s + std::string(pad - pad / 2, ' ');
  return s + std::string(pad, ' ');
}

std::string NoAmp(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

std::string MarkName(HBITMAP mark) {
  if (!mark) return "";
  if (mark->name == "SCHECK") return "sel";
  if (mark->name == "SCHECKG") return "ok";
  if (mark->name == "REDX") return "X";
  if (mark->name == "BLUEX") return "act";
  return mark->name;
}

int ColWidth(const KVTColumnDecl& c) {
  return std::clamp(c.width, 2, 30);
}

void DrawGrid(Canvas& cv, const KVTFieldDecl& f, const TDataTbl& g, bool focused) {
  std::string header = "  ";
  bool first = true;
  for (const KVTColumnDecl& c : g.Columns()) {
    if (c.hidden) continue;
    header += (first ? "" : "|") + Fit(c.title, ColWidth(c), c.align);
    first = false;
  }
  cv.Put(f.x, f.y, header);
  if (focused) cv.Put(f.x - 1, f.y, ">");
  int rows = g.GetRowCount();
  int shown = std::max(f.height, 1);
  int top = std::min(g.GetTopRow(), std::max(rows - 1, 0));
  int y = f.y + 1;
  for (int r = top; r < rows && r < top + shown; ++r, ++y) {
    std::string line;
    line += g.GetSelRow() == r ? '*' : ' ';
    line += g.GetCurRow() == r ? '>' : ' ';
    first = true;
    for (int c = 0; c < g.GetColCount(); ++c) {
      const KVTColumnDecl& col = g.Columns()[static_cast<std::size_t>(c)];
      if (col.hidden) continue;
      std::string cell = col.mark ? MarkName(g.GetRowMark(r)) : g.GetCell(c, r);
      line += (first ? "" : "|") + Fit(cell, ColWidth(col), col.align);
      first = false;
    }
    if (g.GetRowColor(r) != KVT_DEFAULT_COLOR) line += "  (" + KVTColorName(g.GetRowColor(r)) + ")";
    cv.Put(f.x, y, line);
  }
  if (rows == 0)
    cv.Put(f.x, y, "  (no rows)");
  else if (top > 0 || rows > shown)
    cv.Put(f.x, y,
           "  rows " + std::to_string(top + 1) + "-" + std::to_string(std::min(rows, top + shown)) +
               " of " + std::to_string(rows));
}

void DrawField(Canvas& cv, const KVTScreen& screen, const KVTFieldDecl& f, const KVTFieldState& s) {
  bool focused = screen.GetFocusField() == f.id && f.id != 0;
  char open = '[', close = ']';
  if (s.protect) open = '(', close = ')';
  if (!s.enabled) open = '{', close = '}';
  switch (f.kind) {
    case KVTFieldKind::Edit:
    case KVTFieldKind::Combo: {
      int width = f.width > 0 ? f.width : static_cast<int>(std::min<std::size_t>(f.MaxChars(), 30));
      std::string value = f.password ? std::string(s.text.size(), '*') : s.text;
      cv.Put(f.x - static_cast<int>(s.label.size()), f.y, s.label);
      std::string box = open + Fit(value, width) + close;
      if (f.kind == KVTFieldKind::Combo) box += "v";
      cv.Put(f.x, f.y, box);
      break;
    }
    case KVTFieldKind::List: {
      cv.Put(f.x - static_cast<int>(s.label.size()), f.y, s.label);
      int lines = std::max(f.height, 1);
      int first = std::clamp(s.selected - lines + 1, 0,
                             std::max(0, static_cast<int>(s.items.size()) - lines));
      for (int i = 0; i < lines && first + i < static_cast<int>(s.items.size()); ++i) {
        int at = first + i;
        std::string mark = at == s.selected ? "*" : " ";
        cv.Put(f.x, f.y + i,
               "|" + mark + Fit(s.items[static_cast<std::size_t>(at)], f.width) + "|");
      }
      if (s.items.empty()) cv.Put(f.x, f.y, "|" + Fit("", f.width + 1) + "|");
      break;
    }
    case KVTFieldKind::Check:
      cv.Put(f.x, f.y,
             std::string(1, open) + (s.checked ? "x" : " ") + close + " " + NoAmp(s.label));
      break;
    case KVTFieldKind::Radio:
      cv.Put(f.x, f.y, std::string(s.checked ? "(o) " : "( ) ") + NoAmp(s.label));
      break;
    case KVTFieldKind::Button:
      cv.Put(f.x, f.y, (s.enabled ? "< " : "{ ") + NoAmp(s.label) + (s.enabled ? " >" : " }"));
      break;
    case KVTFieldKind::Gauge:
      cv.Put(f.x, f.y, s.text);
      break;
    case KVTFieldKind::Sketch: {
      const std::size_t strokes =
          s.text.empty()
              ? 0
              : 1 + static_cast<std::size_t>(std::count(s.text.begin(), s.text.end(), ';'));
      cv.Put(f.x, f.y, "[drawing pad: " + std::to_string(strokes) + " strokes]");
      break;
    }
    case KVTFieldKind::Label:
    case KVTFieldKind::Help: {
      // A text of several lines (a report shown in a label) goes down the form.
      std::size_t start = 0;
      for (int y = f.y;; ++y) {
        std::size_t end = s.text.find('\n', start);
        cv.Put(f.x, y, s.text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos || end + 1 == s.text.size()) break;
        start = end + 1;
      }
      break;
    }
    case KVTFieldKind::Group:
      break;  // drawn first, under the fields
    case KVTFieldKind::Grid:
      DrawGrid(cv, f, *screen.Grid(f.id), focused);
      return;
  }
  if (focused) cv.Put(f.x - 1, f.y, ">");
}

}  // namespace

std::string KVTEscapeText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string KVTRenderScreen(const KVTScreen& screen) {
  const KVTFormDecl& form = screen.Form();
  Canvas cv;
  std::string notes;
  for (std::size_t i = 0; i < form.fields.size(); ++i) {
    const KVTFieldDecl& f = form.fields[i];
    const KVTFieldState& s = screen.FieldStateAt(i);
    if (f.kind != KVTFieldKind::Group || !s.visible) continue;
    std::string title = "+- " + NoAmp(s.label) + " ";
    cv.Put(
        f.x, f.y,
        title + std::string(std::max(0, f.width - static_cast<int>(title.size()) - 1), '-') + "+");
    cv.Put(f.x, f.y + std::max(f.height - 1, 1),
           "+" + std::string(std::max(0, f.width - 2), '-') + "+");
  }
  for (std::size_t i = 0; i < form.fields.size(); ++i) {
    const KVTFieldDecl& f = form.fields[i];
    const KVTFieldState& s = screen.FieldStateAt(i);
    if (!s.visible) continue;
    DrawField(cv, screen, f, s);
    if (s.fg != KVT_DEFAULT_COLOR || s.bg != KVT_DEFAULT_COLOR) {
      std::string what = f.id ? std::to_string(f.id) : "\"" + s.label + "\"";
      notes += (notes.empty() ? "  colours: " : "; ") + what + " " + KVTColorName(s.fg) + " on " +
               KVTColorName(s.bg);
    }
  }
  std::string title = screen.Caption().empty() ? form.className : screen.Caption();
  std::string out = cv.Boxed(title, form.width, form.height);
  if (!notes.empty()) out += notes + "\n";
  return out;
}

std::string KVTRenderWindow(const KVTWindowObject* window) {
  if (!window) return "";
  if (auto* screen = dynamic_cast<const KVTScreen*>(window)) return KVTRenderScreen(*screen);
  if (auto* tabs = dynamic_cast<const Tbacktab*>(window)) {
    std::string line = "  tabs:";
    for (int i = 0; i < tabs->GetTabCount(); ++i) {
      std::string t = NoAmp(tabs->GetTabTitle(i));
      line += " " + (i == tabs->GetSelectedTab() ? "[" + t + "]" : t);
      if (!tabs->IsTabEnabled(i)) line += " (disabled)";
    }
    KVTPropertyPage* page = tabs->SelectedPage();
    return line + "\n" + (page ? KVTRenderScreen(*page) : "");
  }
  if (auto* frame = dynamic_cast<const PVmdiwinDlg*>(window)) {
    std::string head = "== " + frame->Caption() + " ==";
    if (frame->IsIconic()) head += " (minimized)";
    return head + "\n" + KVTRenderWindow(frame->Client());
  }
  return "";
}
