#pragma once

// Show holes...: the draws the wheel of the listing misses for a guarantee "T if M" over the
// pool of the pool box: their count and the first of them in order, with a counter and Stop
// while the check runs off the user-interface thread, and Copy and Save.

#include <atomic>
#include <optional>

#include "engine/check/check.h"
#include "engine/core/any_wheel.h"
#include "window/tool_dialog.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace quirmel {

inline constexpr int64_t kHolesListed = 10000;

class HolesDialog : public ToolDialog {
  Q_OBJECT

 public:
  HolesDialog(WindowSeams seams, AnyWheel wheel, int poolSize, int guarantee, QWidget* parent);

  void Start();
  const std::optional<CheckResult>& result() const { return result_; }

 protected:
  void Tick() override;
  void Finished(RunOutcome<CheckResult>& outcome);

 private:
  void ShowRunning(bool running);
  QString HoleLines() const;

  AnyWheel wheel_;
  int poolSize_ = 0;
  QComboBox* game_ = nullptr;
  QSpinBox* drawSize_ = nullptr;
  QSpinBox* guarantee_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* copy_ = nullptr;
  QPushButton* save_ = nullptr;
  QLabel* counter_ = nullptr;
  QPlainTextEdit* holes_ = nullptr;

  // Shared with the check's thread.
  std::atomic<int64_t> examined_{0};
  std::atomic<int64_t> total_{0};

  std::optional<CheckResult> result_;
};

}  // namespace quirmel
