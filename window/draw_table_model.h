#pragma once

// The replayed draws as a table model: line, date, numbers, best level and the rows matching in
// M, M-1, ... 2 numbers. Cells are made when the view paints them, so a history of millions of
// draws costs its records and one index per draw; sorting orders that index.

#include <QAbstractTableModel>
#include <memory>
#include <vector>

#include "engine/check/draw_check.h"
#include "engine/files/draw_file.h"

namespace quirmel {

// A history read and replayed: what the dialog shows, shared read-only with the model.
struct ReplayedHistory {
  std::vector<Draw> draws;
  DrawReplay replay;
  int drawSize = 6;
};

class DrawTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Show(std::shared_ptr<const ReplayedHistory> history);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  // The cell's value as a number for sorting and showing (the date and numbers columns aside).
  qlonglong Number(std::size_t draw, int column) const;

  std::shared_ptr<const ReplayedHistory> history_;
  std::vector<uint32_t> order_;  // the draw shown on each row
};

}  // namespace quirmel
