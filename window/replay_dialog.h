#pragma once

// Replay past draws...: the wheel of the listing replayed on a draw history (a file chosen or
// dropped on the dialog, read by the command line's reader): a sortable table of the draws with
// their best level and the rows matching in M, M-1, ... 2 numbers, the totals, and charts of the
// draws by best level and of the best level draw after draw. Export CSV... writes the table as
// the command line's `draws --format csv` does.

#include "engine/check/draw_check.h"
#include "engine/core/any_wheel.h"
#include "engine/files/draw_file.h"
#include "window/tool_dialog.h"

class QChartView;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace quirmel {

class ReplayDialog : public ToolDialog {
  Q_OBJECT

 public:
  ReplayDialog(WindowSeams seams, AnyWheel wheel, QWidget* parent);

  // Reads the history and shows the replay; a refusal (file, line, column) changes nothing.
  bool LoadHistory(const QString& fileName);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ChooseHistory();
  void ShowReplay();
  void ShowTable();
  void ShowCharts();
  void ExportCsv();

  AnyWheel wheel_;
  QString historyName_;
  std::vector<Draw> draws_;
  DrawReplay replay_;
  int drawSize_ = 6;  // of the draws shown

  QLabel* history_ = nullptr;
  QSpinBox* drawSizeBox_ = nullptr;
  QPushButton* export_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* totals_ = nullptr;
  QChartView* byLevel_ = nullptr;
  QChartView* overTime_ = nullptr;
};

}  // namespace quirmel
