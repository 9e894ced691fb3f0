// The widgets of one screen, laid out from its form declaration in
// character cells and redrawn from the runtime's state (KVTScreen's field
// states and grids). Input on the widgets goes to the runtime through the
// backend; the widgets never change what they show on their own.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/screen.h"

class KVTQtBackend;
class QLabel;
class QTableView;

// The rows of a TDataTbl as a table model; read on demand, so large grids
// cost only the rows shown.
class KVT_EXPORT KVTGridModel : public QAbstractTableModel {
 public:
  KVTGridModel(const TDataTbl* grid, QObject* parent);
  void Detach();
  // Catches up with the grid: a new row count resets the model, otherwise
  // every cell is reported changed.
  void Refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const TDataTbl* grid_;
  int rows_ = 0;
  int cols_ = 0;
};

class KVT_EXPORT KVTFormView : public QWidget {
 public:
  KVTFormView(KVTQtBackend* backend, KVTScreen* screen, QWidget* parent = nullptr);
  ~KVTFormView() override;

  KVTScreen* Screen() const { return screen_; }
  // The screen is going: no more reading it; the view is deleted later.
  void Detach();
  // Draws the runtime's state.
  void Sync();
  // Gives the Qt focus to the widget of the runtime's focus field.
  void FocusField();

  // The widget drawing declared field `index` (its value box for an edit);
  // the prompt label of an edit, list or combo.
  QWidget* FieldWidget(std::size_t index) const;
  QLabel* PromptOf(std::size_t index) const;
  // By field id (0 when several share it: the first); null when unknown.
  QWidget* WidgetForId(int id) const;
  // The field id a widget (or a child of it) draws; 0 when none.
  int FieldIdOf(const QWidget* widget) const;
  // The grid view of a grid field.
  QTableView* GridView(int id) const;

  // What differs between the widgets and the declaration and state (see
  // KVTQtBackend::CheckDrawn).
  std::vector<std::string> Check() const;

  QSize sizeHint() const override;
  // Character cell size in pixels.
  int CellWidth() const { return cw_; }
  int LineHeight() const { return lh_; }

 private:
  struct Field {
    QWidget* widget = nullptr;
    QLabel* prompt = nullptr;
    KVTGridModel* model = nullptr;
  };
  void Build();
  void SyncField(std::size_t i);
  void Place(QWidget* w, int x, int y, int width, int height);

  KVTQtBackend* backend_;
  KVTScreen* screen_;
  std::vector<Field> fields_;
  int cw_ = 8;
  int lh_ = 24;
  int margin_ = 8;
  QSize extent_;
  int focusShown_ = -1;
};
