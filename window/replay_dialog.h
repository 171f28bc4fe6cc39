#pragma once

// Replay past draws...: the wheel of the listing replayed on a draw history (a file chosen or
// dropped on the dialog, read by the command line's reader): a sortable table of the draws with
// their best level and the rows matching in M, M-1, ... 2 numbers, the totals, and charts of the
// draws by best level and of the best level draw after draw. The history is read and replayed off
// the window's thread, with its progress and Stop; Export CSV... writes the table as the command
// line's `draws --format csv` does. With a game, its extra balls are read too; with a ticket
// price, the totals say what playing the wheel in every draw would have cost.

#include <QString>
#include <atomic>
#include <memory>

#include "engine/core/any_wheel.h"
#include "window/draw_table_model.h"
#include "window/tool_dialog.h"

class QChartView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTableView;

namespace quirmel {

class ReplayDialog : public ToolDialog {
  Q_OBJECT

 public:
  ReplayDialog(WindowSeams seams, AnyWheel wheel, QWidget* parent);

  // Starts reading and replaying the history (false while another is loading); the replay is
  // shown when it is done, and a refusal (file, line, column) or a stop changes nothing.
  bool LoadHistory(const QString& fileName);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Tick() override;
  void Finished(RunOutcome<std::shared_ptr<const ReplayedHistory>>& outcome);
  void ChooseHistory();
  void ShowRunning(bool running);
  QString ShownText() const;
  void ShowReplay();
  void ShowTotals();
  void ShowCharts();
  void ShowFrequencies();
  void ExportCsv();

  const AnyWheel wheel_;  // read by the loading thread too
  QString historyName_;   // of the history shown
  std::shared_ptr<const ReplayedHistory> shown_;
  int drawSize_ = 6;  // of the draws shown, or asked for before any

  // The load under way: its file and its progress.
  QString loadingName_;
  std::atomic<int64_t> replayed_{0};
  std::atomic<int64_t> toReplay_{0};  // 0 while the file is read

  QLabel* history_ = nullptr;
  QSpinBox* drawSizeBox_ = nullptr;
  QComboBox* game_ = nullptr;
  QDoubleSpinBox* price_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* export_ = nullptr;
  DrawTableModel* model_ = nullptr;
  QTableView* table_ = nullptr;
  QLabel* totals_ = nullptr;
  QChartView* byLevel_ = nullptr;
  QChartView* overTime_ = nullptr;
  QChartView* frequencies_ = nullptr;
};

}  // namespace quirmel
