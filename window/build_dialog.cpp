#include "window/build_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>
#include <stdexcept>

#include "engine/book/book.h"
#include "engine/builder/key_numbers.h"
#include "engine/core/text_error.h"
#include "engine/files/wheel_file.h"
#include "window/form/wheel_load.h"
#include "window/ticket_price.h"

namespace quirmel {

namespace {

constexpr int kDefaultSeconds = 30;  // enough for most wheels of 20 numbers; Stop keeps the best
constexpr int kMaxSeconds = 3600;
constexpr int kProgressSteps = 1000;
// The book's wheel is shown with its win table when that is quick to count while typing.
constexpr int64_t kBookWinTableSubsets = 2'000'000;
constexpr int kBookPauseMs = 150;

QString Rows(int64_t rows) {
  return QStringLiteral("%1 %2").arg(rows).arg(rows == 1 ? "row" : "rows");
}

}  // namespace

TypedNumbers ReadTypedNumbers(const QString& text) {
  static const QRegularExpression separators(QStringLiteral("[\\s,;|/]+"));
  static const QRegularExpression range(QStringLiteral("^(\\d{1,3})(?:-|\\.\\.)(\\d{1,3})$"));
  static const QRegularExpression number(QStringLiteral("^\\d{1,3}$"));
  TypedNumbers typed;
  QString spaced = text;
  spaced.replace(QRegularExpression(QStringLiteral("\\s*(-|\\.\\.)\\s*")), QStringLiteral("\\1"));
  for (const QString& token : spaced.split(separators, Qt::SkipEmptyParts)) {
    if (const QRegularExpressionMatch match = range.match(token); match.hasMatch()) {
      for (int value = match.captured(1).toInt(); value <= match.captured(2).toInt(); ++value)
        typed.numbers.push_back(value);
    } else if (number.match(token).hasMatch()) {
      typed.numbers.push_back(token.toInt());
    } else {
      typed.error = QStringLiteral("'%1' is not a number or a range such as 1-20").arg(token);
      return typed;
    }
  }
  if (typed.numbers.size() == 1) {  // one number: the pool 1..N
    typed.poolSize = typed.numbers.front();
    typed.numbers.clear();
  }
  return typed;
}

BuildDialog::BuildDialog(WindowSeams seams,
                         std::function<bool(const AnyWheel&, const TicketsFor&)> useWheel,
                         QWidget* parent)
    : ToolDialog(std::move(seams), QStringLiteral("Build wheel"), parent),
      useWheel_(std::move(useWheel)) {
  setObjectName(QStringLiteral("BuildDialog"));
  game_ = MakeGameBox([this](const Game& game) {
    numbers_->setText(QString::number(game.poolSize));
    rowSize_->setValue(game.rowSize);
    drawSize_->setValue(game.drawSize);
  });
  numbers_ = new QLineEdit(this);
  numbers_->setObjectName(QStringLiteral("numbers"));
  numbers_->setAccessibleName(QStringLiteral("Your numbers"));
  numbers_->setPlaceholderText(QStringLiteral("3 7 12 18 ..., 1-20, or a pool size"));
  rowSize_ =
      MakeSpin(QStringLiteral("rowSize"), QStringLiteral("Numbers in a row"), 2, kMaxRowLength, 6);
  guarantee_ =
      MakeSpin(QStringLiteral("guarantee"), QStringLiteral("Guarantee"), 1, kMaxDrawSize, 3);
  drawSize_ = MakeSpin(QStringLiteral("drawSize"), QStringLiteral("Numbers drawn"), kMinDrawSize,
                       kMaxDrawSize, 6);
  keyNumbers_ = new QLineEdit(this);
  keyNumbers_->setObjectName(QStringLiteral("keyNumbers"));
  keyNumbers_->setAccessibleName(QStringLiteral("Key numbers"));
  keyNumbers_->setPlaceholderText(QStringLiteral("numbers every row holds (optional)"));
  seconds_ = MakeSpin(QStringLiteral("seconds"), QStringLiteral("Time limit"), 1, kMaxSeconds,
                      kDefaultSeconds);
  seconds_->setSuffix(QStringLiteral(" s"));
  mostRows_ =
      MakeSpin(QStringLiteral("mostRows"), QStringLiteral("At most rows"), 0, kWindowRows, 0);
  mostRows_->setSpecialValueText(QStringLiteral("no limit"));
  price_ = MakePriceBox(game_);
  start_ = MakeButton(QStringLiteral("&Start"), QStringLiteral("start"));
  stop_ = MakeButton(QStringLiteral("S&top"), QStringLiteral("stop"));
  use_ = MakeButton(QStringLiteral("&Use this wheel"), QStringLiteral("use"));
  start_->setDefault(true);
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("progress"));
  progressBar_->setRange(0, kProgressSteps);
  progressBar_->setTextVisible(false);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  wheelText_ = MakeTextArea(QStringLiteral("wheel"));
  wheelText_->setAccessibleName(QStringLiteral("Built wheel"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Ga&me:"), game_);
  form->addRow(QStringLiteral("Your &numbers:"), numbers_);
  form->addRow(QStringLiteral("Numbers in a &row:"), rowSize_);
  AddGuaranteeRow(form, guarantee_, drawSize_);
  form->addRow(QStringLiteral("&Key numbers:"), keyNumbers_);
  form->addRow(QStringLiteral("Time &limit:"), seconds_);
  form->addRow(QStringLiteral("&At most:"), mostRows_);
  form->addRow(QStringLiteral("Ticket &price:"), price_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({start_, stop_, use_}));
  layout->addWidget(progressBar_);
  layout->addWidget(status_);
  layout->addWidget(wheelText_, 1);
  resize(560, 520);

  connect(start_, &QPushButton::clicked, this, [this] { Start(); });
  connect(stop_, &QPushButton::clicked, this, [this] { StopRun(); });
  connect(use_, &QPushButton::clicked, this, [this] { UseResult(); });
  bookTimer_.setSingleShot(true);
  bookTimer_.setInterval(kBookPauseMs);
  connect(&bookTimer_, &QTimer::timeout, this, [this] { ShowBook(); });
  const auto lookUp = [this] { bookTimer_.start(); };
  connect(numbers_, &QLineEdit::textChanged, this, lookUp);
  connect(keyNumbers_, &QLineEdit::textChanged, this, lookUp);
  for (QSpinBox* box : {rowSize_, guarantee_, drawSize_})
    connect(box, &QSpinBox::valueChanged, this, lookUp);
  connect(game_, &QComboBox::currentTextChanged, this,
          [this] { ShowStatus(statusText_, statusRows_); });
  connect(price_, &QDoubleSpinBox::valueChanged, this,
          [this] { ShowStatus(statusText_, statusRows_); });
  ShowRunning(false);
  numbers_->setFocus();
}

void BuildDialog::Prefill(const QString& numbers, int rowSize) {
  if (running() || numbers_->text() != prefilled_) return;
  numbers_->setText(numbers);
  numbers_->selectAll();
  prefilled_ = numbers;
  if (rowSize >= rowSize_->minimum()) rowSize_->setValue(rowSize);
}

std::optional<BuildRequest> BuildDialog::Request(bool complain) {
  const TypedNumbers typed = ReadTypedNumbers(numbers_->text());
  if (!typed.error.isEmpty() || (typed.numbers.empty() && typed.poolSize == 0)) {
    if (complain) {
      seams_.showError(this, typed.error.isEmpty()
                                 ? QStringLiteral("Type your numbers, or a pool size such as 20")
                                 : typed.error);
    }
    return std::nullopt;
  }
  BuildRequest request{.poolSize = typed.poolSize,
                       .numbers = typed.numbers,
                       .rowSize = rowSize_->value(),
                       .guarantee = guarantee_->value(),
                       .drawSize = drawSize_->value(),
                       .seconds = static_cast<double>(seconds_->value())};
  if (mostRows_->value() > 0) request.targetRows = mostRows_->value();
  const TypedNumbers keys = ReadTypedNumbers(keyNumbers_->text());
  if (!keys.error.isEmpty()) {
    if (complain) seams_.showError(this, QStringLiteral("Key numbers: %1").arg(keys.error));
    return std::nullopt;
  }
  request.keyNumbers = keys.poolSize > 0 ? std::vector<int>{keys.poolSize} : keys.numbers;
  return request;
}

void BuildDialog::ShowBook() {
  if (running()) return;
  const std::optional<BuildRequest> request = Request(false);
  std::optional<BookAnswer> answer = request ? LookUpBook(*request) : std::nullopt;
  if (!answer) {
    if (result_ && result_->method == kFromTheBook) {  // what it showed is not for these boxes
      result_.reset();
      wheelText_->clear();
      ShowStatus({}, 0);
      use_->setEnabled(false);
    }
    return;
  }
  const BookEntry& entry = *answer->entry;
  BuildResult result;
  result.wheel = std::move(answer->wheel);
  result.numbers = std::move(answer->numbers);
  result.covered = true;
  result.lowerBound = entry.lowerBound;
  result.smallest = entry.lowerBound && entry.rows <= *entry.lowerBound;
  result.method = kFromTheBook;
  const std::vector<WinTableRow> table =
      WinTableWithin(result.wheel, result.numbers, entry.cell.drawSize, entry.cell.guarantee,
                     kBookWinTableSubsets);
  result_ = std::move(result);
  QString verdict =
      QStringLiteral(
          "From the book: %1, verified: every %2-subset of your numbers meets a row in at least "
          "%3 numbers%4.")
          .arg(Rows(entry.rows))
          .arg(entry.cell.drawSize)
          .arg(entry.cell.guarantee)
          .arg(result_->smallest ? QStringLiteral(" (the fewest possible)") : QString());
  verdict += entry.bestPublished
                 ? QStringLiteral(" Best published: %1.").arg(Rows(*entry.bestPublished))
                 : QStringLiteral(" No published size is known.");
  if (!result_->smallest) verdict += QStringLiteral(" Start searches for a smaller one.");
  ShowStatus(verdict, entry.rows);
  progressBar_->setValue(0);
  ShowWheel(table);
  use_->setEnabled(true);
}

void BuildDialog::ShowStatus(const QString& text, int64_t rows) {
  statusText_ = text;
  statusRows_ = rows;
  QString shown = text;
  if (!text.isEmpty() && rows > 0) {
    if (FindGame(game_->currentText().toStdString()))
      shown += QStringLiteral(" Game %1.").arg(game_->currentText());
    if (const double price = price_->value(); price > 0)
      shown += QStringLiteral(" Stake: %1.").arg(LocaleStake(rows, price));
  }
  status_->setText(shown);
}

void BuildDialog::ShowWheel(const std::vector<WinTableRow>& table) {
  // The wheel as a wheel file: its rows, then the win table as comment lines.
  wheelText_->setPlainText(
      QString::fromStdString(WriteWheel(result_->wheel) + WinTableText(table, "# ")));
}

void BuildDialog::Start() {
  if (running()) return;
  bookTimer_.stop();
  std::optional<BuildRequest> asked = Request(true);
  if (!asked) return;
  // A wheel the listing could not take is refused before the search, not after it.
  if (asked->rowSize > kWindowRowLength) {
    seams_.showError(this, QStringLiteral("The window lists rows of at most %1 numbers; rows of "
                                          "%2 are built by quirmel-cli build")
                               .arg(kWindowRowLength)
                               .arg(asked->rowSize));
    return;
  }
  BuildRequest request = std::move(*asked);
  const BookEntry* book = StartFromBook(request);
  bookRows_ = book ? book->rows : 0;
  const int places =
      request.poolSize > 0 ? request.poolSize : static_cast<int>(request.numbers.size());
  bound_ = SchoenheimBound(places, request.rowSize, request.guarantee, request.drawSize);
  limit_ = request.seconds;
  request.progress = [this](const BuildProgress& now) {
    bestRows_ = now.bestRows;
    return stopRequested();
  };
  bestRows_ = 0;
  result_.reset();
  wheelText_->clear();
  ShowStatus({}, 0);
  progressBar_->setValue(0);
  elapsed_.start();
  StartRun<BuiltWheel>(
      [request] {
        BuildResult result = BuildWheel(request);
        std::vector<WinTableRow> table = BuiltWinTable(request, result);
        return BuiltWheel{std::move(result), std::move(table)};
      },
      [this](RunOutcome<BuiltWheel>& outcome) { Finished(outcome); });
  ShowRunning(true);
}

void BuildDialog::Tick() {
  const int64_t bestRows = bestRows_;
  const double seconds = elapsed_.elapsed() / 1000.0;
  progressBar_->setValue(static_cast<int>(std::min(1.0, seconds / limit_) * kProgressSteps));
  const QString best = bestRows > 0 ? Rows(bestRows) : QStringLiteral("no cover yet");
  const QString bound = bound_ ? Rows(*bound_) : QStringLiteral("not known for M > T");
  ShowStatus(QStringLiteral("Best so far: %1.  Lower bound: %2.  Elapsed: %3 s")
                 .arg(best, bound)
                 .arg(seconds, 0, 'f', 1),
             bestRows);
}

void BuildDialog::Finished(RunOutcome<BuiltWheel>& outcome) {
  ShowRunning(false);
  progressBar_->setValue(kProgressSteps);
  if (!outcome.result) {
    ShowStatus({}, 0);
    seams_.showError(this, outcome.failure);
    return;
  }
  result_ = std::move(outcome.result->result);
  const std::vector<WinTableRow>& table = outcome.result->table;
  const BuildResult& result = *result_;
  const int64_t rows = static_cast<int64_t>(result.wheel.rowCount());
  const bool anyCover = result.covered || result.firstCover >= 0;
  QString verdict;
  if (result.covered) {
    verdict = QStringLiteral(
                  "%1, verified: every %2-subset of your numbers%5 meets a row in at "
                  "least %3 numbers%4.")
                  .arg(Rows(rows))
                  .arg(drawSize_->value())
                  .arg(guarantee_->value())
                  .arg(result.smallest ? QStringLiteral(" (the fewest possible)") : QString())
                  .arg(keyNumbers_->text().trimmed().isEmpty()
                           ? QString()
                           : QStringLiteral(" holding your key numbers"));
    if (mostRows_->value() > 0 && !result.reachedTarget)
      verdict += QStringLiteral(" No cover of at most %1 was found.").arg(Rows(mostRows_->value()));
  } else if (!anyCover) {
    verdict = result.stopped ? QStringLiteral("Stopped before a first cover: no wheel to use.")
                             : QStringLiteral("No cover found within the time limit.");
  } else if (result.unchecked) {
    verdict = QStringLiteral(
                  "%1, not verified: the check of every draw did not end within the "
                  "time limit.")
                  .arg(Rows(rows));
  } else {
    verdict = QStringLiteral("%1, not verified as a cover.").arg(Rows(rows));
  }
  if (result.stopped && anyCover)
    verdict += QStringLiteral(" Stopped: the best wheel found so far.");
  if (result.covered && bookRows_ > 0) {
    verdict += rows < bookRows_
                   ? QStringLiteral(" Smaller than the book's %1.").arg(Rows(bookRows_))
                   : QStringLiteral(" From the book: no smaller one was found.");
  }
  if (result.lowerBound)
    verdict += QStringLiteral(" Lower bound: %1.").arg(Rows(*result.lowerBound));
  ShowStatus(verdict + QStringLiteral(" %1 s.").arg(result.seconds, 0, 'f', 1),
             anyCover ? rows : 0);
  if (anyCover) {
    ShowWheel(table);
  } else {
    wheelText_->clear();
  }
  use_->setEnabled(result.covered);
}

void BuildDialog::UseResult() {
  if (running() || !result_ || !result_->covered) return;
  const TicketsFor made{.game = game_->currentText(),
                        .guarantee = guarantee_->value(),
                        .drawSize = drawSize_->value()};
  if (useWheel_(result_->wheel, made)) close();
}

void BuildDialog::ShowRunning(bool running) {
  start_->setEnabled(!running);
  stop_->setEnabled(running);
  use_->setEnabled(!running && result_ && result_->covered);
  for (QWidget* input : {static_cast<QWidget*>(game_), static_cast<QWidget*>(numbers_),
                         static_cast<QWidget*>(keyNumbers_), static_cast<QWidget*>(rowSize_),
                         static_cast<QWidget*>(guarantee_), static_cast<QWidget*>(drawSize_),
                         static_cast<QWidget*>(seconds_), static_cast<QWidget*>(mostRows_)})
    input->setEnabled(!running);
  (running ? stop_ : start_)->setFocus();
}

}  // namespace quirmel
