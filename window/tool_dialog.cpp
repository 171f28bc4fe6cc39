#include "window/tool_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "engine/limits.h"
#include "window/file_io.h"
#include "window/fonts.h"
#include "window/ticket_price.h"

namespace quirmel {

namespace {

constexpr int kPollMs = 50;
constexpr int kReportPixels = 16;  // the report's fixed-pitch size

}  // namespace

QString Grouped(int64_t value) {
  return QLocale::system().toString(static_cast<qlonglong>(value));
}

ToolDialog::ToolDialog(WindowSeams seams, const QString& title, QWidget* parent)
    : QDialog(parent), seams_(std::move(seams)) {
  setWindowTitle(title);
  setAccessibleName(title);
  setFont(DesignFont(Face::Ui, 12));
  setWindowModality(Qt::WindowModal);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

void ToolDialog::StartWork(std::function<void()> work) {
  run_.Start(std::move(work));
  poll_.start();
}

void ToolDialog::Poll() {
  if (run_.finished()) {
    poll_.stop();
    finished_();
  } else {
    Tick();
  }
}

QPushButton* ToolDialog::MakeButton(const QString& text, const QString& name) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QSpinBox* ToolDialog::MakeSpin(const QString& name, const QString& spoken, int low, int high,
                               int value) {
  auto* spin = new QSpinBox(this);
  spin->setObjectName(name);
  spin->setAccessibleName(spoken);
  spin->setRange(low, high);
  spin->setValue(value);
  return spin;
}

QDoubleSpinBox* ToolDialog::MakePriceBox(QComboBox* game) {
  auto* box = new QDoubleSpinBox(this);
  box->setObjectName(QStringLiteral("ticketPrice"));
  box->setAccessibleName(QStringLiteral("Ticket price"));
  box->setRange(0, kMaxTicketPrice);
  box->setDecimals(2);
  box->setSingleStep(0.5);
  box->setSpecialValueText(QStringLiteral("none"));
  box->setValue(TicketPrice(seams_, game->currentText()));
  // Another game shows its own price; only a price the player changes is kept.
  connect(game, &QComboBox::currentTextChanged, box,
          [this, box](const QString& name) { box->setValue(TicketPrice(seams_, name)); });
  connect(box, &QDoubleSpinBox::valueChanged, this, [this, game](double price) {
    if (price != TicketPrice(seams_, game->currentText()))
      SetTicketPrice(seams_, game->currentText(), price);
  });
  return box;
}

QComboBox* ToolDialog::MakeGameBox(std::function<void(const Game&)> chosen) {
  auto* box = new QComboBox(this);
  box->setObjectName(QStringLiteral("game"));
  box->setAccessibleName(QStringLiteral("Game"));
  box->addItem(QString::fromUtf8(kCustomGame.data(), static_cast<qsizetype>(kCustomGame.size())));
  for (const Game& game : kGames)
    box->addItem(QString::fromUtf8(game.name.data(), static_cast<qsizetype>(game.name.size())));
  connect(box, &QComboBox::currentIndexChanged, this, [chosen = std::move(chosen)](int index) {
    if (index >= 1) chosen(kGames[static_cast<std::size_t>(index - 1)]);
  });
  return box;
}

void ToolDialog::AddGuaranteeRow(QFormLayout* form, QSpinBox* guarantee, QSpinBox* drawSize) {
  auto* row = new QHBoxLayout;
  row->addWidget(guarantee);
  row->addWidget(new QLabel(QStringLiteral("if"), this));
  row->addWidget(drawSize);
  row->addStretch();
  auto* label = new QLabel(QStringLiteral("&Guarantee (T if M):"), this);
  label->setBuddy(guarantee);
  form->addRow(label, row);
}

QHBoxLayout* ToolDialog::ButtonRow(std::initializer_list<QPushButton*> actions) {
  auto* row = new QHBoxLayout;
  for (QPushButton* button : actions)
    row->addWidget(button);
  row->addStretch();
  QPushButton* close = MakeButton(QStringLiteral("Close"), QStringLiteral("close"));
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  row->addWidget(close);
  if (actions.size() > 0) setTabOrder(*(actions.end() - 1), close);  // in reading order
  return row;
}

QPlainTextEdit* ToolDialog::MakeTextArea(const QString& name) {
  auto* area = new QPlainTextEdit(this);
  area->setObjectName(name);
  area->setAccessibleName(name);
  area->setReadOnly(true);
  area->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  area->setFont(DesignFont(Face::Mono, kReportPixels));
  area->setLineWrapMode(QPlainTextEdit::NoWrap);
  return area;
}

void ToolDialog::SaveText(const QString& caption, const QString& text) {
  SaveBytes(caption, text.toUtf8());
}

void ToolDialog::SaveBytes(const QString& caption, const QByteArray& utf8) {
  const QString fileName = seams_.chooseSaveFile(this, caption);
  if (fileName.isEmpty()) return;
  const QString error = WriteWholeFile(fileName, utf8, true);
  if (!error.isEmpty()) seams_.showError(this, error);
}

void ToolDialog::closeEvent(QCloseEvent* event) {
  if (run_.running()) {
    run_.Stop();
    Poll();  // the run's result is kept and shown
  }
  event->accept();
  QDialog::closeEvent(event);
}

void ToolDialog::reject() {
  if (run_.running()) {
    run_.Stop();
    Poll();
  }
  QDialog::reject();
}

}  // namespace quirmel
