// Screens drawn with widgets, from their declaration and the runtime's state.
#include "platform/forms/qt/formview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <algorithm>
#include <functional>
#include <map>

#include "platform/forms/dialogs.h"
#include "platform/forms/frames.h"
#include "platform/forms/qt/qtbackend.h"
#include "platform/forms/runtime.h"
#include "platform/forms/sketch.h"

namespace {

QColor ToQColor(COLORREF c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QString Q(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// The status marks of the batch screens, drawn once by name.
QPixmap MarkPixmap(const std::string& name) {
  static std::map<std::string, QPixmap> cache;
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  QPixmap pm(14, 14);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  auto check = [&](QColor c) {
    p.setPen(QPen(c, 2.5));
    p.drawPolyline(QPolygonF({QPointF(2, 7), QPointF(5.5, 11), QPointF(12, 3)}));
  };
  auto cross = [&](QColor c) {
    p.setPen(QPen(c, 2.5));
    p.drawLine(QPointF(3, 3), QPointF(11, 11));
    p.drawLine(QPointF(11, 3), QPointF(3, 11));
  };
  if (name == "SCHECK") {
    check(QColor(0, 128, 0));
  } else if (name == "SCHECKG") {
    check(QColor(128, 128, 128));
  } else if (name == "REDX") {
    cross(QColor(200, 0, 0));
  } else if (name == "BLUEX") {
    cross(QColor(0, 0, 200));
  } else {
    p.setPen(Qt::darkGray);
    p.drawRect(1, 1, 11, 11);
    p.drawText(QRect(1, 1, 12, 12), Qt::AlignCenter, Q(name.substr(0, 1)));
  }
  p.end();
  cache[name] = pm;
  return pm;
}

QFont FontOf(HFONT f, const QFont& fallback) {
  if (!f) return fallback;
  QFont font(Q(f->face), f->size > 0 ? f->size : fallback.pointSize());
  if (f->face.find("Courier") != std::string::npos || f->face.find("Mono") != std::string::npos) {
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
  }
  return font;
}

int TextWidth(const QFontMetrics& fm, const std::string& s) {
  QString t = Q(s);
  t.remove('&');
  return fm.horizontalAdvance(t);
}

bool TakesText(KVTFieldKind k) {
  return k == KVTFieldKind::Edit || k == KVTFieldKind::Combo;
}

// Input from a widget reaches the runtime only for the screen that takes
// input; a click on another MDI child first makes that child active.
bool MakeActive(KVTScreen* screen) {
  KVTForms& forms = KVTForms::Instance();
  if (forms.ActiveScreen() == screen) return true;
  PVmdiwinDlg* frame = nullptr;
  if (auto* page = dynamic_cast<KVTPropertyPage*>(screen); page && page->TabWindow())
    frame = page->TabWindow()->Frame();
  else if (auto* mdi = dynamic_cast<PVMDIDialog*>(screen))
    frame = mdi->Frame();
  if (frame && forms.ModalDialogs().empty()) frame->SetFocus();
  return forms.ActiveScreen() == screen;
}

// A drawing pad: draws the strokes the runtime keeps (scaled from the pad's
// own pixels to the widget's) and, while the mouse is held down, the stroke
// under way, which goes to the runtime when the button is let go.
class SketchPad : public QWidget {
 public:
  SketchPad(QWidget* parent, int padWidth, int padHeight, std::function<void(std::string)> drawn)
      : QWidget(parent), padW_(padWidth), padH_(padHeight), drawn_(std::move(drawn)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
  }
  void SetStrokes(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    kept_ = KVTSketchStrokes(text);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), isEnabled() ? Qt::white : palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    auto draw = [&](const KVTSketchStroke& s) {
      QPolygonF line;
      for (const auto& [x, y] : s) line << QPointF(x * sx(), y * sy());
      if (line.size() == 1) line << line.front();
      p.drawPolyline(line);
    };
    for (const KVTSketchStroke& s : kept_) draw(s);
    if (!stroke_.empty()) draw(stroke_);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    stroke_.clear();
    Add(e->position());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!(e->buttons() & Qt::LeftButton) || stroke_.empty()) return;
    Add(e->position());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || stroke_.empty()) return;
    Add(e->position());
    const std::string stroke = KVTSketchText(stroke_);
    stroke_.clear();
    drawn_(stroke);
  }

 private:
  double sx() const { return width() > 0 ? double(width()) / padW_ : 1; }
  double sy() const { return height() > 0 ? double(height()) / padH_ : 1; }
  void Add(QPointF at) {
    const int x = std::clamp(static_cast<int>(at.x() / sx()), 0, padW_ - 1);
    const int y = std::clamp(static_cast<int>(at.y() / sy()), 0, padH_ - 1);
    if (stroke_.empty() || stroke_.back() != std::make_pair(x, y)) stroke_.emplace_back(x, y);
    update();
  }
  int padW_, padH_;
  std::function<void(std::string)> drawn_;
  std::string text_;
  std::vector<KVTSketchStroke> kept_;
  KVTSketchStroke stroke_;
};

}  // namespace

// ---- grid model -------------------------------------------------------------

KVTGridModel::KVTGridModel(const TDataTbl* grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  rows_ = grid_->GetRowCount();
  cols_ = grid_->GetColCount();
}

void KVTGridModel::Detach() {
  beginResetModel();
  grid_ = nullptr;
  rows_ = cols_ = 0;
  endResetModel();
}

void KVTGridModel::Refresh() {
  if (!grid_) return;
  if (grid_->GetRowCount() != rows_ || grid_->GetColCount() != cols_) {
    beginResetModel();
    rows_ = grid_->GetRowCount();
    cols_ = grid_->GetColCount();
    endResetModel();
    return;
  }
  if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
  if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

int KVTGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int KVTGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QVariant KVTGridModel::data(const QModelIndex& index, int role) const {
  if (!grid_ || !index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
  const KVTColumnDecl& col = grid_->Columns()[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return col.mark ? QVariant() : QVariant(Q(grid_->GetCell(index.column(), index.row())));
    case Qt::DecorationRole:
      if (col.mark)
        if (HBITMAP m = grid_->GetRowMark(index.row())) return MarkPixmap(m->name);
      return {};
    case Qt::TextAlignmentRole:
      if (col.align == KVTAlign::Right) return int(Qt::AlignRight | Qt::AlignVCenter);
      if (col.align == KVTAlign::Center) return int(Qt::AlignCenter);
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole: {
      COLORREF c = grid_->GetRowColor(index.row());
      if (c == KVT_DEFAULT_COLOR) return {};
      return QBrush(ToQColor(c));
    }
    case Qt::ForegroundRole:
      return grid_->GetRowColor(index.row()) == KVT_DEFAULT_COLOR ? QVariant() : QBrush(Qt::black);
    default:
      return {};
  }
}

QVariant KVTGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!grid_ || orientation != Qt::Horizontal || section < 0 || section >= cols_) return {};
  const KVTColumnDecl& col = grid_->Columns()[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return Q(col.title);
  if (role == Qt::TextAlignmentRole && col.align == KVTAlign::Right)
    return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

// ---- the view ---------------------------------------------------------------

KVTFormView::KVTFormView(KVTQtBackend* backend, KVTScreen* screen, QWidget* parent)
    : QWidget(parent), backend_(backend), screen_(screen) {
  setObjectName(Q("form-" + screen->Form().className));
  setAutoFillBackground(true);
  if (screen->Form().fixedFont) setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Build();
  Sync();
}

KVTFormView::~KVTFormView() = default;

void KVTFormView::Detach() {
  for (Field& f : fields_)
    if (f.model) f.model->Detach();
  screen_ = nullptr;
}

void KVTFormView::Place(QWidget* w, int x, int y, int width, int height) {
  w->setGeometry(x, y, std::max(width, 1), std::max(height, 1));
  extent_ = extent_.expandedTo(QSize(x + width + margin_, y + height + margin_));
}

void KVTFormView::Build() {
  const KVTFormDecl& form = screen_->Form();
  const QFontMetrics fm(font());
  cw_ = std::max(fm.averageCharWidth(), fm.horizontalAdvance(QLatin1Char('0')));
  {
    QLineEdit probe;
    probe.setFont(font());
    lh_ = std::max(probe.sizeHint().height(), fm.height() + 8) + 2;
  }
  const int rowH = fm.height() + 6;
  auto px = [&](int x) { return margin_ + x * cw_; };
  auto py = [&](int y) { return margin_ + y * lh_; };
  extent_ = QSize(px(form.width) + margin_, py(form.height) + margin_);
  fields_.resize(form.fields.size());

  // Group frames first, so the fields are drawn over them.
  for (std::size_t i = 0; i < form.fields.size(); ++i) {
    const KVTFieldDecl& f = form.fields[i];
    if (f.kind != KVTFieldKind::Group) continue;
    auto* box = new QGroupBox(this);
    Place(box, px(f.x), py(f.y) - lh_ / 3, f.width * cw_, std::max(f.height, 1) * lh_);
    fields_[i].widget = box;
  }
  for (std::size_t i = 0; i < form.fields.size(); ++i) {
    const KVTFieldDecl& f = form.fields[i];
    const int id = f.id;
    Field& field = fields_[i];
    const int ctrlH = lh_ - 4;
    auto prompt = [&]() {
      if (f.label.empty()) return;
      auto* l = new QLabel(this);
      l->setTextFormat(Qt::PlainText);
      l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      const int w = TextWidth(fm, f.label) + 4;
      Place(l, std::max(0, px(f.x) - w), py(f.y), w, ctrlH);
      field.prompt = l;
    };
    switch (f.kind) {
      case KVTFieldKind::Group:
        break;
      case KVTFieldKind::Edit: {
        prompt();
        auto* e = new QLineEdit(this);
        e->setContextMenuPolicy(Qt::NoContextMenu);
        e->setAcceptDrops(false);
        e->setFocusPolicy(Qt::ClickFocus);
        if (f.password) e->setEchoMode(QLineEdit::Password);
        int chars =
            f.width > 0 ? f.width : static_cast<int>(std::min<std::size_t>(f.MaxChars(), 30));
        Place(e, px(f.x), py(f.y), std::max(chars, 1) * cw_ + 12, ctrlH);
        field.widget = e;
        break;
      }
      case KVTFieldKind::Combo: {
        prompt();
        auto* c = new QComboBox(this);
        c->setEditable(true);
        c->setContextMenuPolicy(Qt::NoContextMenu);
        c->setFocusPolicy(Qt::ClickFocus);
        c->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
        Place(c, px(f.x), py(f.y), std::max(f.width, 4) * cw_ + 32, ctrlH);
        connect(c, &QComboBox::activated, this, [this, c, id](int index) {
          if (screen_ && MakeActive(screen_)) KVTForms::Instance().SelectItem(id, index);
          backend_->AfterInput();
          (void)c;
        });
        field.widget = c;
        break;
      }
      case KVTFieldKind::List: {
        prompt();
        auto* l = new QListWidget(this);
        l->setFocusPolicy(Qt::ClickFocus);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        Place(l, px(f.x), py(f.y), std::max(f.width, 4) * cw_ + 16,
              std::max(f.height, 1) * lh_ - 4);
        connect(l, &QListWidget::clicked, this, [this, id](const QModelIndex& index) {
          if (screen_ && MakeActive(screen_)) KVTForms::Instance().SelectItem(id, index.row());
          backend_->AfterInput();
        });
        field.widget = l;
        break;
      }
      case KVTFieldKind::Check:
      case KVTFieldKind::Radio:
      case KVTFieldKind::Button: {
        QAbstractButton* b;
        int width = TextWidth(fm, f.label);
        if (f.kind == KVTFieldKind::Check) {
          b = new QCheckBox(this);
          width += 28;
        } else if (f.kind == KVTFieldKind::Radio) {
          auto* r = new QRadioButton(this);
          r->setAutoExclusive(false);  // the runtime keeps the group
          b = r;
          width += 28;
        } else {
          auto* p = new QPushButton(this);
          p->setAutoDefault(false);
          b = p;
          width = std::max(width + 2 * cw_, 6 * cw_);
        }
        b->setFocusPolicy(Qt::ClickFocus);
        Place(b, px(f.x), py(f.y), width, ctrlH);
        connect(b, &QAbstractButton::clicked, this, [this, id] {
          if (screen_ && MakeActive(screen_)) KVTForms::Instance().Click(id);
          backend_->AfterInput();
        });
        field.widget = b;
        break;
      }
      case KVTFieldKind::Label:
      case KVTFieldKind::Help: {
        auto* l = new QLabel(this);
        l->setTextFormat(Qt::PlainText);
        if (f.kind == KVTFieldKind::Help) {
          QPalette pal = l->palette();
          pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
          l->setPalette(pal);
        }
        int width = std::max(f.width * cw_, TextWidth(fm, f.label) + 4);
        Place(l, px(f.x), py(f.y), width, ctrlH);
        field.widget = l;
        break;
      }
      case KVTFieldKind::Gauge: {
        auto* bar = new QProgressBar(this);
        bar->setTextVisible(true);
        Place(bar, px(f.x), py(f.y), (std::max(f.width, 4) + 6) * cw_, ctrlH);
        field.widget = bar;
        break;
      }
      case KVTFieldKind::Sketch: {
        const int w = std::max(f.width, 1), h = std::max(f.height, 1);
        auto* pad = new SketchPad(this, w * kSketchCellWidth, h * kSketchCellHeight,
                                  [this, id](const std::string& stroke) {
                                    if (screen_ && MakeActive(screen_))
                                      KVTForms::Instance().Draw(id, stroke);
                                    backend_->AfterInput();
                                  });
        Place(pad, px(f.x), py(f.y), w * cw_, h * lh_ - 4);
        field.widget = pad;
        break;
      }
      case KVTFieldKind::Grid: {
        const TDataTbl* grid = screen_->Grid(id);
        auto* view = new QTableView(this);
        auto* model = new KVTGridModel(grid, view);
        view->setModel(model);
        view->setFocusPolicy(Qt::ClickFocus);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setWordWrap(false);
        view->setTabKeyNavigation(false);
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(rowH);
        view->horizontalHeader()->setHighlightSections(false);
        int width = 4;
        for (std::size_t c = 0; c < grid->Columns().size(); ++c) {
          const KVTColumnDecl& col = grid->Columns()[c];
          int w = col.mark ? 22 : std::max(col.width, 2) * cw_ + 10;
          view->setColumnWidth(static_cast<int>(c), w);
          if (!col.hidden) width += w;
        }
        width += view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
        const int rows = std::max(f.height, 1);
        const int height = std::max(rowH + 6 + rows * rowH + 4, (rows + 1) * lh_ - 4);
        Place(view, px(f.x), py(f.y), std::min(width, px(form.width) - px(f.x) + 8 * cw_), height);
        connect(view, &QTableView::pressed, this, [this, id](const QModelIndex& index) {
          if (screen_ && MakeActive(screen_)) KVTForms::Instance().ClickRow(id, index.row());
          backend_->AfterInput();
        });
        connect(view, &QTableView::doubleClicked, this, [this, id](const QModelIndex& index) {
          if (screen_ && MakeActive(screen_)) KVTForms::Instance().DoubleClickRow(id, index.row());
          backend_->AfterInput();
        });
        field.widget = view;
        field.model = model;
        break;
      }
    }
    if (field.widget) {
      field.widget->setObjectName(Q("field-" + std::to_string(id)));
      field.widget->setProperty("kvtField", static_cast<int>(i));
    }
  }
  resize(extent_);
}

QSize KVTFormView::sizeHint() const {
  return extent_;
}

QWidget* KVTFormView::FieldWidget(std::size_t index) const {
  return index < fields_.size() ? fields_[index].widget : nullptr;
}

QLabel* KVTFormView::PromptOf(std::size_t index) const {
  return index < fields_.size() ? fields_[index].prompt : nullptr;
}

QWidget* KVTFormView::WidgetForId(int id) const {
  if (!screen_ || id == 0) return nullptr;
  const auto& decl = screen_->Form().fields;
  for (std::size_t i = 0; i < decl.size(); ++i)
    if (decl[i].id == id) return fields_[i].widget;
  return nullptr;
}

QTableView* KVTFormView::GridView(int id) const {
  return dynamic_cast<QTableView*>(WidgetForId(id));
}

int KVTFormView::FieldIdOf(const QWidget* widget) const {
  for (const QWidget* w = widget; w && w != this; w = w->parentWidget()) {
    QVariant v = w->property("kvtField");
    if (v.isValid() && screen_) {
      auto i = static_cast<std::size_t>(v.toInt());
      if (i < fields_.size() && fields_[i].widget == w) return screen_->Form().fields[i].id;
    }
  }
  return 0;
}

void KVTFormView::Sync() {
  if (!screen_) return;
  for (std::size_t i = 0; i < fields_.size(); ++i) SyncField(i);
  setEnabled(screen_->IsWindowEnabled());
  FocusField();
}

void KVTFormView::FocusField() {
  if (!screen_ || KVTForms::Instance().ActiveScreen() != screen_) return;
  QWidget* w = WidgetForId(screen_->GetFocusField());
  if (!w) return;
  if (auto* c = dynamic_cast<QComboBox*>(w)) w = c->lineEdit();
  if (QApplication::focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
}

void KVTFormView::SyncField(std::size_t i) {
  const KVTFieldDecl& f = screen_->Form().fields[i];
  const KVTFieldState& s = screen_->FieldStateAt(i);
  Field& field = fields_[i];
  QWidget* w = field.widget;
  if (!w) return;
  const bool focused = f.id != 0 && screen_->GetFocusField() == f.id;
  w->setVisible(s.visible);
  if (field.prompt) {
    field.prompt->setVisible(s.visible);
    field.prompt->setText(Q(s.label));
  }
  w->setEnabled(s.enabled);
  w->setFont(FontOf(s.font, font()));

  QPalette pal = palette();
  const bool fg = s.fg != KVT_DEFAULT_COLOR;
  const bool bg = s.bg != KVT_DEFAULT_COLOR;
  if (TakesText(f.kind) || f.kind == KVTFieldKind::List) {
    pal.setColor(QPalette::Base, bg          ? ToQColor(s.bg)
                                 : s.protect ? ToQColor(KVT_PROTECTED_BG)
                                             : ToQColor(KVT_NORMAL_BG));
    pal.setColor(QPalette::Text, fg ? ToQColor(s.fg) : ToQColor(KVT_NORMAL_FG));
  } else {
    if (fg) pal.setColor(QPalette::WindowText, ToQColor(s.fg));
    if (f.kind == KVTFieldKind::Help && !fg) pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    if (bg) pal.setColor(QPalette::Window, ToQColor(s.bg));
    w->setAutoFillBackground(bg);
  }
  w->setPalette(pal);

  switch (f.kind) {
    case KVTFieldKind::Edit: {
      auto* e = static_cast<QLineEdit*>(w);
      if (e->text() != Q(s.text)) e->setText(Q(s.text));
      e->setReadOnly(s.protect);
      if (focused && s.replaceOnType)
        e->selectAll();
      else if (e->hasSelectedText())
        e->deselect();
      if (!(focused && s.replaceOnType)) e->setCursorPosition(static_cast<int>(e->text().size()));
      break;
    }
    case KVTFieldKind::Combo: {
      auto* c = static_cast<QComboBox*>(w);
      QStringList items;
      for (const std::string& it : s.items) items << Q(it);
      QStringList shown;
      for (int k = 0; k < c->count(); ++k) shown << c->itemText(k);
      if (items != shown) {
        QSignalBlocker block(c);
        c->clear();
        c->addItems(items);
      }
      if (c->lineEdit()->text() != Q(s.text)) c->lineEdit()->setText(Q(s.text));
      c->lineEdit()->setReadOnly(s.protect);
      if (focused && s.replaceOnType) c->lineEdit()->selectAll();
      break;
    }
    case KVTFieldKind::List: {
      auto* l = static_cast<QListWidget*>(w);
      QSignalBlocker block(l);
      bool same = l->count() == static_cast<int>(s.items.size());
      for (int k = 0; same && k < l->count(); ++k)
        same = l->item(k)->text() == Q(s.items[static_cast<std::size_t>(k)]);
      if (!same) {
        l->clear();
        for (const std::string& it : s.items) l->addItem(Q(it));
      }
      l->setCurrentRow(s.selected);
      if (s.selected == KVT_NONE) l->clearSelection();
      break;
    }
    case KVTFieldKind::Check:
    case KVTFieldKind::Radio: {
      auto* b = static_cast<QAbstractButton*>(w);
      QSignalBlocker block(b);
      b->setText(Q(s.label));
      b->setShortcut(QKeySequence());  // Alt+letter goes through the runtime
      b->setCheckable(true);
      b->setChecked(s.checked);
      break;
    }
    case KVTFieldKind::Button: {
      auto* b = static_cast<QAbstractButton*>(w);
      b->setText(Q(s.label));
      b->setShortcut(QKeySequence());
      break;
    }
    case KVTFieldKind::Label:
    case KVTFieldKind::Help: {
      auto* l = static_cast<QLabel*>(w);
      if (l->text() != Q(s.text)) {
        l->setText(Q(s.text));
        const int width =
            std::max(f.width * cw_, QFontMetrics(l->font()).horizontalAdvance(l->text()) + 4);
        l->resize(width, l->height());
      }
      break;
    }
    case KVTFieldKind::Group:
      static_cast<QGroupBox*>(w)->setTitle(Q(s.label));
      break;
    case KVTFieldKind::Sketch:
      static_cast<SketchPad*>(w)->SetStrokes(s.text);
      break;
    case KVTFieldKind::Gauge: {
      auto* bar = static_cast<QProgressBar*>(w);
      bar->setRange(s.gaugeLow, s.gaugeHigh);
      bar->setValue(s.gaugeValue);
      break;
    }
    case KVTFieldKind::Grid: {
      auto* view = static_cast<QTableView*>(w);
      const TDataTbl* grid = screen_->Grid(f.id);
      field.model->Refresh();
      for (int c = 0; c < grid->GetColCount(); ++c) {
        const KVTColumnDecl& col = grid->Columns()[static_cast<std::size_t>(c)];
        view->setColumnHidden(c, col.hidden);
        int want = col.mark ? 22 : std::max(col.width, 2) * cw_ + 10;
        if (!col.hidden && view->columnWidth(c) != want) view->setColumnWidth(c, want);
      }
      int row = grid->GetSelRow() != KVT_NONE ? grid->GetSelRow() : grid->GetCurRow();
      if (grid->GetTopRow() > 0 && grid->GetTopRow() < grid->GetRowCount())
        view->scrollTo(field.model->index(grid->GetTopRow(), 0), QAbstractItemView::PositionAtTop);
      if (row != KVT_NONE && row < grid->GetRowCount()) {
        QModelIndex at = field.model->index(row, std::max(grid->GetCurCol(), 0));
        view->selectionModel()->setCurrentIndex(
            at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->scrollTo(at);
      } else {
        view->selectionModel()->clearSelection();
      }
      break;
    }
  }
}

// ---- the drawn check ----------------------------------------------------------

namespace {
std::string Name(const KVTFieldDecl& f, const KVTFieldState& s) {
  std::string what = f.id ? "field " + std::to_string(f.id) : "the text";
  std::string label = !s.label.empty() ? s.label : s.text;
  return label.empty() ? what : what + " \"" + label + "\"";
}
std::string S(const QString& q) {
  return q.toLatin1().toStdString();
}
}  // namespace

std::vector<std::string> KVTFormView::Check() const {
  std::vector<std::string> problems;
  if (!screen_) return {"the screen is gone"};
  const QRect area = rect();
  const auto& decl = screen_->Form().fields;
  for (std::size_t i = 0; i < decl.size(); ++i) {
    const KVTFieldDecl& f = decl[i];
    const KVTFieldState& s = screen_->FieldStateAt(i);
    const Field& field = fields_[i];
    const std::string name = Name(f, s);
    if (!field.widget) {
      problems.push_back(name + " has no widget");
      continue;
    }
    QWidget* w = field.widget;
    if (!s.visible) {
      if (w->isVisibleTo(this)) problems.push_back(name + " is drawn though hidden");
      continue;
    }
    if (!w->isVisibleTo(this) || w->width() <= 0 || w->height() <= 0) {
      problems.push_back(name + " is not drawn");
      continue;
    }
    if (!area.intersects(w->geometry())) problems.push_back(name + " lies outside the screen");
    if (w->isEnabled() != s.enabled) problems.push_back(name + " is drawn with the wrong state");
    if (field.prompt && !s.label.empty() && !field.prompt->isVisibleTo(this))
      problems.push_back(name + " has no prompt drawn");
    auto differs = [&](const std::string& shown, const std::string& want) {
      if (shown != want)
        problems.push_back(name + " shows \"" + shown + "\" instead of \"" + want + "\"");
    };
    switch (f.kind) {
      case KVTFieldKind::Edit:
        if (auto* e = dynamic_cast<QLineEdit*>(w)) differs(S(e->text()), s.text);
        break;
      case KVTFieldKind::Combo:
        if (auto* c = dynamic_cast<QComboBox*>(w)) differs(S(c->currentText()), s.text);
        break;
      case KVTFieldKind::Label:
      case KVTFieldKind::Help:
        if (auto* l = dynamic_cast<QLabel*>(w)) differs(S(l->text()), s.text);
        break;
      case KVTFieldKind::Check:
      case KVTFieldKind::Radio:
      case KVTFieldKind::Button:
        if (auto* b = dynamic_cast<QAbstractButton*>(w)) {
          differs(S(b->text()), s.label);
          if (f.kind != KVTFieldKind::Button && b->isChecked() != s.checked)
            problems.push_back(name + " is drawn " + (b->isChecked() ? "checked" : "unchecked"));
        }
        break;
      case KVTFieldKind::List:
        if (auto* l = dynamic_cast<QListWidget*>(w);
            l && l->count() != static_cast<int>(s.items.size()))
          problems.push_back(name + " lists " + std::to_string(l->count()) + " items instead of " +
                             std::to_string(s.items.size()));
        break;
      case KVTFieldKind::Group:
      case KVTFieldKind::Sketch:
        break;
      case KVTFieldKind::Gauge:
        if (auto* bar = dynamic_cast<QProgressBar*>(w);
            bar && (bar->value() != s.gaugeValue || bar->maximum() != s.gaugeHigh))
          problems.push_back(name + " is drawn at " + std::to_string(bar->value()) + " of " +
                             std::to_string(bar->maximum()) + " instead of " +
                             std::to_string(s.gaugeValue) + " of " + std::to_string(s.gaugeHigh));
        break;
      case KVTFieldKind::Grid: {
        auto* view = dynamic_cast<QTableView*>(w);
        const TDataTbl* grid = screen_->Grid(f.id);
        if (!view || !grid) break;
        if (view->model()->columnCount() != grid->GetColCount()) {
          problems.push_back(name + " draws " + std::to_string(view->model()->columnCount()) +
                             " columns of " + std::to_string(grid->GetColCount()));
          break;
        }
        if (view->model()->rowCount() != grid->GetRowCount())
          problems.push_back(name + " draws " + std::to_string(view->model()->rowCount()) +
                             " rows of " + std::to_string(grid->GetRowCount()));
        for (int c = 0; c < grid->GetColCount(); ++c) {
          const KVTColumnDecl& col = grid->Columns()[static_cast<std::size_t>(c)];
          std::string cname = name + " column " + std::to_string(c) + " \"" + col.title + "\"";
          if (grid->IsColHidden(c)) {
            if (!view->isColumnHidden(c)) problems.push_back(cname + " is drawn though hidden");
            continue;
          }
          if (view->isColumnHidden(c) || view->columnWidth(c) <= 0) {
            problems.push_back(cname + " is not drawn");
            continue;
          }
          differs(S(view->model()->headerData(c, Qt::Horizontal).toString()), col.title);
        }
        break;
      }
    }
  }
  return problems;
}
