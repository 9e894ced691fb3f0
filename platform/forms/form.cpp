// Form declarations, named bitmaps and fonts.
#include "platform/forms/form.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

#include "platform/base/textwidth.h"

std::string KVTColorName(COLORREF c) {
  switch (c) {
    case KVT_DEFAULT_COLOR:
      return "default";
    case KVT_BLACK:
      return "black";
    case KVT_WHITE:
      return "white";
    case KVT_GREY:
      return "grey";
    case KVT_RED:
      return "red";
    case KVT_GREEN:
      return "green";
    case KVT_BLUE:
      return "blue";
    case KVT_YELLOW:
      return "yellow";
    default: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
      return buf;
    }
  }
}

namespace {

template <class T>
struct Named {
  std::mutex mutex;
  std::map<std::string, std::unique_ptr<T>> items;
};

}  // namespace

HBITMAP LoadBitmap(HINSTANCE, const char* name) {
  static auto* bitmaps = new Named<KVTBitmap>;  // handles outlive every screen
  if (!name || !*name) return nullptr;
  std::lock_guard<std::mutex> lock(bitmaps->mutex);
  auto& slot = bitmaps->items[name];
  if (!slot) slot.reset(new KVTBitmap{name});
  return slot.get();
}

HFONT KVTCreateFont(const char* face, int size) {
  static auto* fonts = new Named<KVTFont>;
  std::string key = std::string(face ? face : "") + "/" + std::to_string(size);
  std::lock_guard<std::mutex> lock(fonts->mutex);
  auto& slot = fonts->items[key];
  if (!slot) slot.reset(new KVTFont{face ? face : "", size});
  return slot.get();
}

KVTColumnDecl& KVTFieldDecl::Column(const std::string& title, int w, int datalen) {
  KVTColumnDecl c;
  c.title = title;
  c.width = w;
  c.datalen = datalen;
  columns.push_back(c);
  return columns.back();
}

KVTColumnDecl& KVTFieldDecl::MarkColumn(int w) {
  KVTColumnDecl c;
  c.width = w;
  c.mark = true;
  columns.push_back(c);
  return columns.back();
}

bool KVTFieldDecl::Focusable() const {
  switch (kind) {
    case KVTFieldKind::Label:
    case KVTFieldKind::Help:
    case KVTFieldKind::Group:
    case KVTFieldKind::Gauge:
    case KVTFieldKind::Sketch:
      return false;
    default:
      return tabStop;
  }
}

std::size_t KVTFieldDecl::MaxChars() const {
  if (kind != KVTFieldKind::Edit && kind != KVTFieldKind::Combo) return 0;
  if (buffer.type == KVTBufferType::Text && buffer.size > 0) return buffer.size - 1;
  if (buffer.type == KVTBufferType::Double) return 31;
  return width > 0 ? static_cast<std::size_t>(width) : 255;
}

bool KVTFieldDecl::Holds(const std::string& text) const {
  const bool bytes = buffer.type == KVTBufferType::Text && buffer.size > 0;
  const std::size_t max = MaxChars();
  return KVTCutLength(text, bytes ? max : SIZE_MAX, bytes ? SIZE_MAX : max) == text.size();
}

namespace {
KVTFieldDecl Make(int id, KVTFieldKind kind, const std::string& label, int x, int y, int width,
                  KVTBufferRef buffer) {
  KVTFieldDecl f;
  f.id = id;
  f.kind = kind;
  f.label = label;
  f.x = x;
  f.y = y;
  f.width = width;
  f.buffer = std::move(buffer);
  return f;
}
}  // namespace

KVTFieldDecl& KVTFormDecl::Edit(int id, const std::string& label, int x, int y, int w,
                                KVTBufferRef buffer) {
  fields.push_back(Make(id, KVTFieldKind::Edit, label, x, y, w, std::move(buffer)));
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Check(int id, const std::string& label, int x, int y,
                                 KVTBufferRef buffer) {
  fields.push_back(Make(id, KVTFieldKind::Check, label, x, y, static_cast<int>(label.size()) + 4,
                        std::move(buffer)));
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Radio(int id, const std::string& group, const std::string& label, int x,
                                 int y, KVTBufferRef buffer) {
  fields.push_back(Make(id, KVTFieldKind::Radio, label, x, y, static_cast<int>(label.size()) + 4,
                        std::move(buffer)));
  fields.back().group = group;
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::List(int id, const std::string& label, int x, int y, int w, int h,
                                KVTBufferRef buffer) {
  fields.push_back(Make(id, KVTFieldKind::List, label, x, y, w, std::move(buffer)));
  fields.back().height = h;
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Combo(int id, const std::string& label, int x, int y, int w,
                                 KVTBufferRef buffer) {
  fields.push_back(Make(id, KVTFieldKind::Combo, label, x, y, w, std::move(buffer)));
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Button(int id, const std::string& label, int x, int y) {
  fields.push_back(
      Make(id, KVTFieldKind::Button, label, x, y, static_cast<int>(label.size()) + 4, {}));
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Label(int id, const std::string& text, int x, int y, int w) {
  fields.push_back(Make(id, KVTFieldKind::Label, text, x, y, w, {}));
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Sketch(int id, int x, int y, int w, int h) {
  fields.push_back(Make(id, KVTFieldKind::Sketch, "", x, y, w, {}));
  fields.back().height = h;
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Gauge(int id, int x, int y, int w) {
  fields.push_back(Make(id, KVTFieldKind::Gauge, "", x, y, w, {}));
  fields.back().tabStop = false;
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Help(int id, const std::string& text, int x, int y, int w) {
  fields.push_back(Make(id, KVTFieldKind::Help, text, x, y, w, {}));
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Group(int id, const std::string& title, int x, int y, int w, int h) {
  fields.push_back(Make(id, KVTFieldKind::Group, title, x, y, w, {}));
  fields.back().height = h;
  return fields.back();
}

KVTFieldDecl& KVTFormDecl::Grid(int id, int x, int y, int rows) {
  fields.push_back(Make(id, KVTFieldKind::Grid, "", x, y, 0, {}));
  fields.back().height = rows;
  return fields.back();
}

const KVTFieldDecl* KVTFormDecl::Find(int id) const {
  for (const KVTFieldDecl& f : fields)
    if (f.id == id) return &f;
  return nullptr;
}
