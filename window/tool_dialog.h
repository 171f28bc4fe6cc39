#pragma once

// What the wheel tools' dialogs share: the window's font, a run off the user-interface thread
// watched by a timer, and a close (Escape, the title bar's button, Close) that stops the run
// first and keeps what it found.

#include <QDialog>
#include <QString>
#include <QTimer>
#include <initializer_list>
#include <memory>
#include <optional>

#include "engine/core/games.h"
#include "engine/core/text_error.h"
#include "window/background_run.h"
#include "window/seams.h"

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QHBoxLayout;
class QPlainTextEdit;
class QSpinBox;
class QPushButton;

namespace quirmel {

// What one run of tool work gave: what it returned, or why it failed as the player reads it.
template <typename Result>
struct RunOutcome {
  std::optional<Result> result;
  QString failure;
};

// A count in the user's locale, digits grouped ("1,000,000" or "1.000.000").
QString Grouped(int64_t value);

class ToolDialog : public QDialog {
  Q_OBJECT

 public:
  ToolDialog(WindowSeams seams, const QString& title, QWidget* parent);

  bool running() const { return run_.running(); }
  // From the start of a run until its result has been shown.
  bool busy() const { return poll_.isActive(); }

 protected:
  // Starts `work` off the user-interface thread; Tick() is called every 50 ms while it runs and
  // `finished` once, on this thread, with what it returned or threw. The work shares nothing
  // else with the dialog but the progress it leaves in atomics.
  template <typename Result>
  void StartRun(std::function<Result()> work, std::function<void(RunOutcome<Result>&)> finished) {
    auto outcome = std::make_shared<RunOutcome<Result>>();
    finished_ = [outcome, finished = std::move(finished)] { finished(*outcome); };
    StartWork([outcome, work = std::move(work)] {
      try {
        outcome->result.emplace(work());
      } catch (const std::exception& error) {
        outcome->failure = QString::fromStdString(FailureText(error));
      }
    });
  }
  void StopRun() { run_.RequestStop(); }
  bool stopRequested() const { return run_.stopRequested(); }
  virtual void Tick() {}

  // A button of the dialog, named for tests and screen readers.
  QPushButton* MakeButton(const QString& text, const QString& name);
  // A number box named for tests and screen readers.
  QSpinBox* MakeSpin(const QString& name, const QString& spoken, int low, int high, int value);
  // A "Game" box: "custom", then the common games; choosing one calls `chosen` with it.
  QComboBox* MakeGameBox(std::function<void(const Game&)> chosen);
  // A "Ticket price" box for the game `game` shows: the price set last for that game, kept again
  // whenever it is changed; 0 reads "none".
  QDoubleSpinBox* MakePriceBox(QComboBox* game);
  // The "Guarantee (T if M):" row of a form: the guarantee's box, "if", the draw size's box.
  void AddGuaranteeRow(QFormLayout* form, QSpinBox* guarantee, QSpinBox* drawSize);
  // The row of buttons under a form: the dialog's own, then Close at the far end.
  QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> actions);
  // A read-only text area in the report's fixed-pitch face.
  QPlainTextEdit* MakeTextArea(const QString& name);
  // Writes `text` to a file the user chooses (an error box when it cannot be written).
  void SaveText(const QString& caption, const QString& text);
  void SaveBytes(const QString& caption, const QByteArray& utf8);

  void closeEvent(QCloseEvent* event) override;
  void reject() override;

  WindowSeams seams_;

 private:
  void StartWork(std::function<void()> work);
  void Poll();

  BackgroundRun run_;
  std::function<void()> finished_;
  QTimer poll_;
};

}  // namespace quirmel
