// The declaration of a screen's form: its fields (id, buffer member, width,
// label, position, kind), its grids (columns with titles, widths, hidden
// flags, alignment), its buttons and help lines. A screen declares its form
// once; every front end draws from this declaration, and the runtime keeps
// the state of each declared field (KVTScreen).
//
// Positions and widths are in character cells: x is the column, y the line.
// For an edit field, x is where the value box starts and the label is drawn
// right before it (so labels line up at their colon); a check box, radio
// button, button, text or grid starts at x.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/win/window.h"

using COLORREF = std::uint32_t;
constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
// "The form's own colour": a field shown in this colour has not been coloured.
constexpr COLORREF KVT_DEFAULT_COLOR = 0xFF000000u;
constexpr COLORREF KVT_BLACK = RGB(0, 0, 0);
constexpr COLORREF KVT_WHITE = RGB(255, 255, 255);
constexpr COLORREF KVT_GREY = RGB(192, 192, 192);
constexpr COLORREF KVT_RED = RGB(255, 0, 0);
constexpr COLORREF KVT_GREEN = RGB(0, 128, 0);
constexpr COLORREF KVT_BLUE = RGB(0, 0, 255);
constexpr COLORREF KVT_YELLOW = RGB(255, 255, 0);
// The till's conventions: editable fields black on white, protected ones
// black on grey, the field being keyed black on yellow.
constexpr COLORREF KVT_NORMAL_FG = KVT_BLACK;
constexpr COLORREF KVT_NORMAL_BG = KVT_WHITE;
constexpr COLORREF KVT_PROTECTED_FG = KVT_BLACK;
constexpr COLORREF KVT_PROTECTED_BG = KVT_GREY;
constexpr COLORREF KVT_HIGHLIGHT_BG = KVT_YELLOW;
// A readable name for the colours above ("grey"), else "#rrggbb".
KVT_EXPORT std::string KVTColorName(COLORREF c);

// "No row" or "no selection" in a grid or a list.
constexpr int KVT_NONE = -1;

// Named bitmaps: the status marks of list screens ("SCHECK", "SCHECKG",
// "REDX", "BLUEX") and any other the module loads by resource name. The same
// name always gives the same handle; handles live to the end of the process.
struct KVTBitmap {
  std::string name;
};
using HBITMAP = const KVTBitmap*;
KVT_EXPORT HBITMAP LoadBitmap(HINSTANCE instance, const char* name);

// Fonts by face and size ("Courier", 10); same rules as bitmaps.
struct KVTFont {
  std::string face;
  int size = 0;
};
using HFONT = const KVTFont*;
KVT_EXPORT HFONT KVTCreateFont(const char* face, int size);

enum class KVTFieldKind {
  Edit,    // a text box bound to a buffer member
  Check,   // check box: buffer "T"/"F"
  Radio,   // radio button of a group: buffer "T"/"F"
  List,    // list box: buffer holds the selected item's text
  Combo,   // combo box: an edit with a drop-down of items
  Button,  // a push button; its id is the command it sends
  Label,   // static text; with an id it can be set (displays, prompts)
  Help,    // a key-help line: static text that screens rewrite
  Group,   // a titled frame around other fields (drawn only)
  Grid,    // a TDataTbl
  Gauge,   // a progress bar filled from its low to its high value (SetGaugeRange)
  Sketch,  // a drawing pad: its text is the strokes drawn with the mouse (platform/forms/sketch.h)
};

enum class KVTAlign { Left, Right, Center };

enum class KVTBufferType { None, Text, Double };

// Where a field's value lives in the screen's buffer (PVpos1Data...). Made
// with Bind / KVT_BIND from a member pointer, so the declaration can be
// static and shared by every instance of the screen.
struct KVTBufferRef {
  std::string member;    // "STORE"
  std::size_t size = 0;  // bytes, terminator included (text members)
  KVTBufferType type = KVTBufferType::None;
  std::function<void*(void* buffer)> at;  // the member inside a buffer
  explicit operator bool() const { return type != KVTBufferType::None; }
};

template <class D, std::size_t N>
KVTBufferRef Bind(char (D::*m)[N], const char* name) {
  return {name, N, KVTBufferType::Text, [m](void* b) -> void* { return (static_cast<D*>(b)->*m); }};
}
template <class D>
KVTBufferRef Bind(double D::*m, const char* name) {
  return {name, sizeof(double), KVTBufferType::Double,
          [m](void* b) -> void* { return &(static_cast<D*>(b)->*m); }};
}
#define KVT_BIND(Type, member) Bind(&Type::member, #member)

struct KVTColumnDecl {
  std::string title;
  int width = 10;   // display width in characters
  int datalen = 0;  // cell length, terminator included; 0: width + 1
  bool hidden = false;
  KVTAlign align = KVTAlign::Left;
  bool mark = false;      // the status mark column (a bitmap per row)
  bool editable = false;  // cells of this column take typing when the grid is editable
  std::string dbColumn;   // result-set column this column is filled from, if any

  KVTColumnDecl& Hidden(bool h = true) {
    hidden = h;
    return *this;
  }
  KVTColumnDecl& Right() {
    align = KVTAlign::Right;
    return *this;
  }
  KVTColumnDecl& Centered() {
    align = KVTAlign::Center;
    return *this;
  }
  KVTColumnDecl& Editable(bool e = true) {
    editable = e;
    return *this;
  }
  KVTColumnDecl& Db(const std::string& c) {
    dbColumn = c;
    return *this;
  }
  KVTColumnDecl& Datalen(int n) {
    datalen = n;
    return *this;
  }
};

struct KVT_EXPORT KVTFieldDecl {
  int id = 0;
  KVTFieldKind kind = KVTFieldKind::Edit;
  std::string label;  // prompt of an edit; text of a check, radio, button, label, help, group
  int x = 0;
  int y = 0;
  int width = 0;   // characters of the value box (edit, list, combo) or of the control
  int height = 1;  // lines; for a grid the rows shown, for a group its lines
  KVTBufferRef buffer;
  std::string dbColumn;         // result-set column this field is bound to, if any
  std::string group;            // radio buttons of one group share it
  std::string format = "%.0f";  // how a double member is shown
  bool password = false;
  bool hidden = false;
  bool protect = false;
  bool disabled = false;
  bool tabStop = true;
  std::vector<KVTColumnDecl> columns;  // grids
  std::vector<std::string> items;      // lists and combos: the first items

  KVTFieldDecl& Db(const std::string& c) {
    dbColumn = c;
    return *this;
  }
  KVTFieldDecl& Hidden(bool h = true) {
    hidden = h;
    return *this;
  }
  KVTFieldDecl& Protected(bool p = true) {
    protect = p;
    return *this;
  }
  KVTFieldDecl& Disabled(bool d = true) {
    disabled = d;
    return *this;
  }
  KVTFieldDecl& Password(bool p = true) {
    password = p;
    return *this;
  }
  KVTFieldDecl& NoTabStop() {
    tabStop = false;
    return *this;
  }
  KVTFieldDecl& Format(const std::string& f) {
    format = f;
    return *this;
  }
  KVTFieldDecl& Items(std::vector<std::string> i) {
    items = std::move(i);
    return *this;
  }
  // Grids: appends a column and returns it for its options.
  KVTColumnDecl& Column(const std::string& title, int width, int datalen = 0);
  KVTColumnDecl& MarkColumn(int width = 4);

  // Whether the field can hold the keyboard focus at all (by kind).
  bool Focusable() const;
  // The most the field takes: its buffer member less the terminator, in
  // bytes, else its width, in characters; 0 when it takes no typing.
  std::size_t MaxChars() const;
  // Whether `text` fits the field whole (platform/base/textwidth.h).
  bool Holds(const std::string& text) const;
};

struct KVT_EXPORT KVTFormDecl {
  std::string className;  // the screen's window class name ("PVloginDlg")
  std::string title;      // window caption
  int width = 60;         // character cells
  int height = 20;
  bool fixedFont = false;            // draw the whole form in the fixed-pitch font
  std::vector<KVTFieldDecl> fields;  // the tab order is the declaration order

  KVTFormDecl() = default;
  KVTFormDecl(std::string cls, std::string caption, int w, int h)
      : className(std::move(cls)), title(std::move(caption)), width(w), height(h) {}

  KVTFieldDecl& Edit(int id, const std::string& label, int x, int y, int width,
                     KVTBufferRef buffer = {});
  KVTFieldDecl& Check(int id, const std::string& label, int x, int y, KVTBufferRef buffer = {});
  KVTFieldDecl& Radio(int id, const std::string& group, const std::string& label, int x, int y,
                      KVTBufferRef buffer = {});
  KVTFieldDecl& List(int id, const std::string& label, int x, int y, int width, int height,
                     KVTBufferRef buffer = {});
  KVTFieldDecl& Combo(int id, const std::string& label, int x, int y, int width,
                      KVTBufferRef buffer = {});
  KVTFieldDecl& Button(int id, const std::string& label, int x, int y);
  KVTFieldDecl& Label(int id, const std::string& text, int x, int y, int width = 0);
  KVTFieldDecl& Help(int id, const std::string& text, int x, int y, int width = 0);
  KVTFieldDecl& Group(int id, const std::string& title, int x, int y, int width, int height);
  KVTFieldDecl& Grid(int id, int x, int y, int rows);
  // A gauge whose bar is `width` characters (its text adds the percentage).
  KVTFieldDecl& Gauge(int id, int x, int y, int width);
  // A drawing pad of `width` characters by `height` lines: 8 by 16 of its
  // pixels a cell, in which its strokes are kept.
  KVTFieldDecl& Sketch(int id, int x, int y, int width, int height);

  const KVTFieldDecl* Find(int id) const;
};
