#pragma once

// Build wheel...: the smallest wheel the builder finds for the player's own numbers and a
// guarantee "T if M". The book's wheel, when it holds the case, is shown as soon as the numbers
// and the guarantee are typed; Start searches off the user-interface thread, with a progress bar
// over the time limit, for a smaller one. The verified wheel is shown with its win table, and Use
// this wheel hands it to the window's listing.

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "engine/builder/builder.h"
#include "engine/check/check.h"
#include "engine/check/win_table.h"
#include "window/ticket_print.h"
#include "window/tool_dialog.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSpinBox;

namespace quirmel {

// The player's numbers as typed: a list in any common separator ("3 7 12", "3,7;12"), ranges
// ("1-20", "1..20"), or one number N for the pool 1..N. Empty when nothing is typed; `error`
// names what is not a number. Duplicates and limits are left to the builder to refuse.
struct TypedNumbers {
  std::vector<int> numbers;
  int poolSize = 0;
  QString error;
};
TypedNumbers ReadTypedNumbers(const QString& text);

// A search's wheel and its win table, made on the search's thread.
struct BuiltWheel {
  BuildResult result;
  std::vector<WinTableRow> table;
};

class BuildDialog : public ToolDialog {
  Q_OBJECT

 public:
  // `useWheel` puts a wheel into the window's listing; false when the window refused it (it has
  // said why then).
  BuildDialog(WindowSeams seams, std::function<bool(const AnyWheel&, const TicketsFor&)> useWheel,
              QWidget* parent);

  // Fills the numbers and the row size from the window's boxes, unless the player has typed
  // over what was filled in last time.
  void Prefill(const QString& numbers, int rowSize);

  void Start();
  const std::optional<BuildResult>& result() const { return result_; }

 protected:
  void Tick() override;
  void Finished(RunOutcome<BuiltWheel>& outcome);

 private:
  void UseResult();
  void ShowRunning(bool running);
  // The request the boxes describe; nothing, after saying why, when `complain` and the numbers
  // cannot be read.
  std::optional<BuildRequest> Request(bool complain);
  void ShowBook();
  void ShowWheel(const std::vector<WinTableRow>& table);

  // The verdict under the boxes, with the stake of `rows` tickets when a price is set.
  void ShowStatus(const QString& text, int64_t rows);

  std::function<bool(const AnyWheel&, const TicketsFor&)> useWheel_;
  QLineEdit* numbers_ = nullptr;
  QLineEdit* keyNumbers_ = nullptr;
  QComboBox* game_ = nullptr;
  QSpinBox* rowSize_ = nullptr;
  QSpinBox* guarantee_ = nullptr;
  QSpinBox* drawSize_ = nullptr;
  QSpinBox* seconds_ = nullptr;
  QSpinBox* mostRows_ = nullptr;
  QDoubleSpinBox* price_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* use_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* status_ = nullptr;
  QPlainTextEdit* wheelText_ = nullptr;
  QString prefilled_;
  QString statusText_;      // the verdict without its stake
  int64_t statusRows_ = 0;  // the rows its stake is of; 0: none
  QTimer bookTimer_;        // the book is looked up once typing pauses
  int bookRows_ = 0;        // rows of the book's wheel the last search started from; 0: none

  std::atomic<int64_t> bestRows_{0};  // the search's best so far, left by its thread

  std::optional<BuildResult> result_;  // the last search's, on this thread
  std::optional<int64_t> bound_;
  double limit_ = 0;
  QElapsedTimer elapsed_;
};

}  // namespace quirmel
