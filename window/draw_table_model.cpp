#include "window/draw_table_model.h"

#include <algorithm>
#include <numeric>

#include "engine/core/text_lines.h"

namespace quirmel {

namespace {

enum Column { kLine, kDate, kNumbers, kBest, kFixedColumns };

}  // namespace

void DrawTableModel::Show(std::shared_ptr<const ReplayedHistory> history) {
  beginResetModel();
  history_ = std::move(history);
  order_.resize(history_ ? history_->replay.draws.size() : 0);
  std::iota(order_.begin(), order_.end(), 0u);
  endResetModel();
}

int DrawTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int DrawTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || !history_) return 0;
  return kFixedColumns + history_->drawSize - 1;  // In M .. In 2
}

qlonglong DrawTableModel::Number(std::size_t draw, int column) const {
  if (column == kLine) return history_->draws[draw].line;
  const DrawOutcome& outcome = history_->replay.draws[draw];
  if (column == kBest) return outcome.best;
  return outcome.rows[static_cast<std::size_t>(history_->drawSize - (column - kFixedColumns))];
}

QVariant DrawTableModel::data(const QModelIndex& index, int role) const {
  if (!history_ || !index.isValid() || index.row() >= rowCount()) return {};
  const std::size_t draw = order_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  const bool number = column != kDate && column != kNumbers;
  if (role == Qt::TextAlignmentRole && number)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  if (column == kDate) return QString::fromStdString(history_->draws[draw].label);
  if (column == kNumbers) {
    const Draw& shown = history_->draws[draw];
    std::string numbers = TwoDigits(shown.numbers);
    if (!shown.extras.empty()) numbers += " + " + TwoDigits(shown.extras);  // the extra balls
    return QString::fromStdString(numbers);
  }
  return Number(draw, column);
}

QVariant DrawTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !history_) return {};
  switch (section) {
    case kLine:
      return QStringLiteral("Line");
    case kDate:
      return QStringLiteral("Date");
    case kNumbers:
      return QStringLiteral("Numbers");
    case kBest:
      return QStringLiteral("Best");
    default:
      return QStringLiteral("In %1").arg(history_->drawSize - (section - kFixedColumns));
  }
}

void DrawTableModel::sort(int column, Qt::SortOrder order) {
  if (!history_ || column < 0 || column >= columnCount()) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // Selected and current cells follow their draws to the rows they move to.
  const QModelIndexList before = persistentIndexList();
  std::vector<uint32_t> drawsBefore;
  for (const QModelIndex& index : before)
    drawsBefore.push_back(order_[static_cast<std::size_t>(index.row())]);
  const auto less = [&](uint32_t a, uint32_t b) {
    if (column == kDate) return history_->draws[a].label < history_->draws[b].label;
    if (column == kNumbers) return history_->draws[a].numbers < history_->draws[b].numbers;
    return Number(a, column) < Number(b, column);
  };
  // Stable, from the file's order, so that equal cells keep their draws in file order.
  std::iota(order_.begin(), order_.end(), 0u);
  if (order == Qt::AscendingOrder) {
    std::stable_sort(order_.begin(), order_.end(), less);
  } else {
    std::stable_sort(order_.begin(), order_.end(),
                     [&](uint32_t a, uint32_t b) { return less(b, a); });
  }
  std::vector<int> rowOf(order_.size());
  for (std::size_t row = 0; row < order_.size(); ++row)
    rowOf[order_[row]] = static_cast<int>(row);
  QModelIndexList after;
  for (qsizetype i = 0; i < before.size(); ++i)
    after << index(rowOf[drawsBefore[static_cast<std::size_t>(i)]], before[i].column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quirmel
