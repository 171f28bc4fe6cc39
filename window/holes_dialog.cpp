#include "window/holes_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <stdexcept>

#include "engine/core/text_error.h"
#include "engine/core/text_lines.h"

namespace quirmel {

HolesDialog::HolesDialog(WindowSeams seams, AnyWheel wheel, int poolSize, int guarantee,
                         QWidget* parent)
    : ToolDialog(std::move(seams), QStringLiteral("Show holes"), parent),
      wheel_(std::move(wheel)),
      poolSize_(poolSize) {
  setObjectName(QStringLiteral("HolesDialog"));
  auto* game = game_ = MakeGameBox([this](const Game& chosen) {
    drawSize_->setValue(std::min(chosen.drawSize, drawSize_->maximum()));
  });
  const int drawSize = std::clamp(std::min(6, poolSize), kMinDrawSize, kMaxDrawSize);
  drawSize_ = MakeSpin(QStringLiteral("drawSize"), QStringLiteral("Numbers drawn"), kMinDrawSize,
                       kMaxDrawSize, drawSize);
  guarantee_ = MakeSpin(QStringLiteral("guarantee"), QStringLiteral("Guarantee"), 1, kMaxDrawSize,
                        std::clamp(guarantee, 1, drawSize));
  start_ = MakeButton(QStringLiteral("&Start"), QStringLiteral("start"));
  stop_ = MakeButton(QStringLiteral("S&top"), QStringLiteral("stop"));
  copy_ = MakeButton(QStringLiteral("&Copy"), QStringLiteral("copy"));
  save_ = MakeButton(QStringLiteral("S&ave..."), QStringLiteral("save"));
  start_->setDefault(true);
  counter_ = new QLabel(this);
  counter_->setObjectName(QStringLiteral("counter"));
  counter_->setWordWrap(true);
  holes_ = MakeTextArea(QStringLiteral("holes"));
  holes_->setAccessibleName(QStringLiteral("Holes"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Ga&me:"), game);
  form->addRow(
      QStringLiteral("Pool:"),
      new QLabel(QStringLiteral("1..%1, %2 rows").arg(poolSize).arg(wheel_.rowCount()), this));
  AddGuaranteeRow(form, guarantee_, drawSize_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({start_, stop_, copy_, save_}));
  layout->addWidget(counter_);
  layout->addWidget(holes_, 1);
  resize(480, 480);

  connect(start_, &QPushButton::clicked, this, [this] { Start(); });
  connect(stop_, &QPushButton::clicked, this, [this] { StopRun(); });
  connect(copy_, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(HoleLines()); });
  connect(save_, &QPushButton::clicked, this,
          [this] { SaveText(QStringLiteral("Save holes"), HoleLines()); });
  ShowRunning(false);
}

void HolesDialog::Start() {
  if (running()) return;
  const CheckRequest request{.wheel = wheel_,
                             .poolSize = poolSize_,
                             .drawSize = drawSize_->value(),
                             .guarantee = guarantee_->value(),
                             .holesToList = kHolesListed,
                             .progress = [this](int64_t examined, int64_t total) {
                               examined_ = examined;
                               total_ = total;
                               return stopRequested();
                             }};
  if (request.guarantee > request.drawSize || request.drawSize > poolSize_) {
    seams_.showError(this, QStringLiteral("The guarantee T needs M >= T numbers drawn, and M "
                                          "numbers drawn need a pool of at least M (here %1)")
                               .arg(poolSize_));
    return;
  }
  examined_ = 0;
  total_ = 0;
  result_.reset();
  holes_->clear();
  StartRun<CheckResult>([request] { return CheckWheel(request); },
                        [this](RunOutcome<CheckResult>& outcome) { Finished(outcome); });
  ShowRunning(true);
  Tick();
}

void HolesDialog::Tick() {
  counter_->setText(
      QStringLiteral("Examined %1 of %2 draws").arg(Grouped(examined_), Grouped(total_)));
}

void HolesDialog::Finished(RunOutcome<CheckResult>& outcome) {
  ShowRunning(false);
  result_ = std::move(outcome.result);
  if (!result_) {
    counter_->clear();
    seams_.showError(this, outcome.failure);
    return;
  }
  const CheckResult& result = *result_;
  QString text = result.stopped ? QStringLiteral("Stopped after %1 of %2 draws: %3 holes so far")
                                      .arg(Grouped(result.examined), Grouped(result.subsets),
                                           Grouped(result.holes))
                                : QStringLiteral("Holes: %1 of %2 draws")
                                      .arg(Grouped(result.holes), Grouped(result.subsets));
  if (result.holes > static_cast<int64_t>(result.holeList.size()))
    text += QStringLiteral(" (the first %1 listed)").arg(Grouped(result.holeList.size()));
  if (FindGame(game_->currentText().toStdString()))
    text += QStringLiteral("; game %1").arg(game_->currentText());
  counter_->setText(text);
  holes_->setPlainText(HoleLines());
  copy_->setEnabled(!result.holeList.empty());
  save_->setEnabled(!result.holeList.empty());
}

QString HolesDialog::HoleLines() const {
  if (!result_) return {};
  std::string text;
  for (const std::vector<int>& hole : result_->holeList)
    text += TwoDigits(hole) + '\n';
  return QString::fromStdString(text);
}

void HolesDialog::ShowRunning(bool running) {
  start_->setEnabled(!running);
  stop_->setEnabled(running);
  const bool listed = !running && result_ && !result_->holeList.empty();
  copy_->setEnabled(listed);
  save_->setEnabled(listed);
  drawSize_->setEnabled(!running);
  guarantee_->setEnabled(!running);
  (running ? stop_ : start_)->setFocus();
}

}  // namespace quirmel
