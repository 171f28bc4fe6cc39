#include "window/replay_dialog.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <stdexcept>

#include "engine/core/text_error.h"
#include "engine/core/text_lines.h"
#include "engine/limits.h"
#include "window/file_io.h"
#include "window/ticket_price.h"

namespace quirmel {

namespace {

constexpr std::size_t kTrendParts = 50;
constexpr std::size_t kTrendPoints = 2000;  // the most points the trend line draws

// The view's chart without the series and axes of what it showed before.
QChart* Emptied(QChartView* view) {
  QChart* chart = view->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes())
    chart->removeAxis(axis);
  return chart;
}

QChartView* MakeChartView(QWidget* parent, const QString& name) {
  auto* view = new QChartView(new QChart, parent);
  view->setObjectName(name);
  view->setAccessibleName(name);
  view->setRenderHint(QPainter::Antialiasing);
  view->chart()->legend()->hide();
  return view;
}

}  // namespace

ReplayDialog::ReplayDialog(WindowSeams seams, AnyWheel wheel, QWidget* parent)
    : ToolDialog(std::move(seams), QStringLiteral("Replay past draws"), parent),
      wheel_(std::move(wheel)) {
  setObjectName(QStringLiteral("ReplayDialog"));
  setAcceptDrops(true);
  open_ = MakeButton(QStringLiteral("&Open history..."), QStringLiteral("openHistory"));
  open_->setDefault(true);
  stop_ = MakeButton(QStringLiteral("S&top"), QStringLiteral("stop"));
  history_ = new QLabel(QStringLiteral("Choose a history file, or drop one here."), this);
  history_->setObjectName(QStringLiteral("history"));
  drawSizeBox_ = new QSpinBox(this);
  drawSizeBox_->setObjectName(QStringLiteral("drawSize"));
  drawSizeBox_->setAccessibleName(QStringLiteral("Numbers drawn"));
  drawSizeBox_->setRange(kMinDrawSize, kMaxDrawSize);
  drawSizeBox_->setValue(drawSize_);
  game_ = MakeGameBox([this](const Game& chosen) { drawSizeBox_->setValue(chosen.drawSize); });
  auto* game = game_;
  auto* gameLabel = new QLabel(QStringLiteral("Ga&me:"), this);
  gameLabel->setBuddy(game);
  price_ = MakePriceBox(game_);
  auto* priceLabel = new QLabel(QStringLiteral("Ticket &price:"), this);
  priceLabel->setBuddy(price_);
  auto* drawLabel = new QLabel(QStringLiteral("Numbers &drawn:"), this);
  drawLabel->setBuddy(drawSizeBox_);
  export_ = MakeButton(QStringLiteral("&Export CSV..."), QStringLiteral("exportCsv"));

  model_ = new DrawTableModel(this);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("draws"));
  table_->setAccessibleName(QStringLiteral("Draws"));
  table_->setModel(model_);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  // Rows of one height, so that a view of millions of rows never measures them.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // the file's order until a header is clicked
  totals_ = new QLabel(this);
  totals_->setObjectName(QStringLiteral("totals"));
  totals_->setWordWrap(true);
  totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  byLevel_ = MakeChartView(this, QStringLiteral("byLevel"));
  overTime_ = MakeChartView(this, QStringLiteral("overTime"));
  frequencies_ = MakeChartView(this, QStringLiteral("frequencies"));
  auto* tabs = new QTabWidget(this);
  auto* drawsPage = new QWidget(tabs);
  auto* drawsLayout = new QVBoxLayout(drawsPage);
  drawsLayout->addWidget(table_, 1);
  drawsLayout->addWidget(totals_);
  tabs->addTab(drawsPage, QStringLiteral("Draws"));
  tabs->addTab(byLevel_, QStringLiteral("By best level"));
  tabs->addTab(overTime_, QStringLiteral("Over time"));
  tabs->addTab(frequencies_, QStringLiteral("Numbers drawn"));

  auto* top = new QHBoxLayout;
  top->addWidget(open_);
  top->addWidget(stop_);
  top->addWidget(history_, 1);
  QWidget::setTabOrder(game, drawSizeBox_);  // in the order they stand
  QWidget::setTabOrder(drawSizeBox_, price_);
  top->addWidget(gameLabel);
  top->addWidget(game);
  top->addWidget(drawLabel);
  top->addWidget(drawSizeBox_);
  top->addWidget(priceLabel);
  top->addWidget(price_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(tabs, 1);
  layout->addLayout(ButtonRow({export_}));
  resize(760, 560);
  ShowRunning(false);

  connect(open_, &QPushButton::clicked, this, [this] { ChooseHistory(); });
  connect(stop_, &QPushButton::clicked, this, [this] { StopRun(); });
  connect(export_, &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(drawSizeBox_, &QSpinBox::valueChanged, this, [this](int value) {
    // The history is read again for the new draw size; refused, the old size comes back.
    if (historyName_.isEmpty() || value == drawSize_) return;
    LoadHistory(historyName_);
  });
  // Another game of the same draw size may read other extra balls: the history is read again.
  connect(game_, &QComboBox::currentIndexChanged, this, [this] {
    if (!historyName_.isEmpty() && drawSizeBox_->value() == drawSize_) LoadHistory(historyName_);
  });
  connect(price_, &QDoubleSpinBox::valueChanged, this, [this] {
    if (shown_) ShowTotals();
  });
}

void ReplayDialog::ChooseHistory() {
  const QString fileName = seams_.chooseOpenFile(this, QStringLiteral("Open draw history"));
  if (!fileName.isEmpty()) LoadHistory(fileName);
}

bool ReplayDialog::LoadHistory(const QString& fileName) {
  if (running()) return false;
  const int drawSize = drawSizeBox_->value();
  loadingName_ = fileName;
  replayed_ = 0;
  toReplay_ = 0;
  const Game* game = FindGame(game_->currentText().toStdString());
  const DrawReadOptions readOptions{.poolSize = kMaxWheelNumber,
                                    .drawSize = drawSize,
                                    .extraPool = game ? game->extraPool : 0,
                                    .extraDrawn = game ? game->extraDrawn : 0};
  using Loaded = std::shared_ptr<const ReplayedHistory>;
  StartRun<Loaded>(
      [this, fileName, drawSize, readOptions]() -> Loaded {
        const FileRead file = ReadWholeFile(fileName);
        if (!file.error.isEmpty()) throw std::runtime_error(file.error.toStdString());
        const std::string_view text(file.bytes.constData(),
                                    static_cast<std::size_t>(file.bytes.size()));
        if (stopRequested()) return nullptr;
        DrawReadResult read = ReadDraws(text, readOptions);
        if (read.error) {
          throw std::runtime_error(EscapeControls(Describe(*read.error, fileName.toStdString())) +
                                   EncodingHint(text));
        }
        auto history = std::make_shared<ReplayedHistory>();
        history->drawSize = drawSize;
        history->draws = std::move(read.draws);
        toReplay_ = static_cast<int64_t>(history->draws.size());
        history->replay =
            ReplayDraws(wheel_, history->draws, drawSize, [this](int64_t replayed, int64_t) {
              replayed_ = replayed;
              return stopRequested();
            });
        // Only a whole replay is shown.
        return stopRequested() || history->replay.totals.stopped ? nullptr : history;
      },
      [this](RunOutcome<Loaded>& outcome) { Finished(outcome); });
  ShowRunning(true);
  Tick();
  return true;
}

void ReplayDialog::Tick() {
  const QString name = QFileInfo(loadingName_).fileName();
  const int64_t total = toReplay_;
  history_->setText(total == 0 ? QStringLiteral("Reading %1...").arg(name)
                               : QStringLiteral("Replaying %1: %2 of %3 draws")
                                     .arg(name, Grouped(replayed_), Grouped(total)));
}

void ReplayDialog::Finished(RunOutcome<std::shared_ptr<const ReplayedHistory>>& outcome) {
  const std::shared_ptr<const ReplayedHistory> loaded = outcome.result.value_or(nullptr);
  const QString& failure = outcome.failure;
  ShowRunning(false);
  if (!loaded) {  // refused or stopped: what was shown stays, at its draw size
    const QSignalBlocker quiet(drawSizeBox_);
    drawSizeBox_->setValue(drawSize_);
    history_->setText(failure.isEmpty() ? ShownText() + QStringLiteral("  (reading stopped)")
                                        : ShownText());
    if (!failure.isEmpty()) seams_.showError(this, failure);
    return;
  }
  historyName_ = loadingName_;
  drawSize_ = loaded->drawSize;
  shown_ = std::move(loaded);
  ShowReplay();
}

void ReplayDialog::ShowRunning(bool running) {
  open_->setEnabled(!running);
  stop_->setEnabled(running);
  drawSizeBox_->setEnabled(!running);
  export_->setEnabled(!running && shown_ != nullptr);
  (running ? stop_ : open_)->setFocus();
}

QString ReplayDialog::ShownText() const {
  if (!shown_) return QStringLiteral("Choose a history file, or drop one here.");
  return QStringLiteral("%1: %2 draws")
      .arg(QFileInfo(historyName_).fileName(), Grouped(static_cast<int64_t>(shown_->draws.size())));
}

void ReplayDialog::ShowReplay() {
  history_->setText(ShownText());
  model_->Show(shown_);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  // Widths from the first rows, not from every row of a long history.
  table_->horizontalHeader()->setResizeContentsPrecision(200);
  table_->resizeColumnsToContents();
  ShowCharts();
  ShowTotals();
  export_->setEnabled(true);
}

void ReplayDialog::ShowTotals() {
  const ReplayTotals& totals = shown_->replay.totals;
  QStringList best;
  for (int level = drawSize_; level >= 0; --level)
    best << QStringLiteral("%1: %2").arg(level).arg(
        totals.bestTotals[static_cast<std::size_t>(level)]);
  QStringList rows;
  for (int j = drawSize_; j >= 2; --j)
    rows << QStringLiteral("%1: %2").arg(j).arg(totals.rowTotals[static_cast<std::size_t>(j)]);
  QString text = QStringLiteral("Draws by best level  %1\nRows matching, over all draws  %2")
                     .arg(best.join(QStringLiteral("  ")), rows.join(QStringLiteral("  ")));
  if (const double price = price_->value(); price > 0) {
    // Every ticket of the wheel in every draw of the history.
    const auto perDraw = static_cast<int64_t>(wheel_.rowCount());
    const auto draws = static_cast<int64_t>(shown_->draws.size());
    text += QStringLiteral("\nStake over the history  %1 (%2 a draw, %3 draws)")
                .arg(LocaleStake(perDraw * draws, price), Grouped(perDraw), Grouped(draws));
  }
  if (FindGame(game_->currentText().toStdString()))
    text += QStringLiteral("\nGame  %1").arg(game_->currentText());
  totals_->setText(text);
}

void ReplayDialog::ShowCharts() {
  // Draws by best level, as bars from level 0 up to M.
  auto* bars = new QBarSet(QStringLiteral("Draws"));
  bars->setLabelColor(palette().color(QPalette::WindowText));  // above the bars, not on them
  QStringList levels;
  for (int level = 0; level <= drawSize_; ++level) {
    *bars << static_cast<qreal>(shown_->replay.totals.bestTotals[static_cast<std::size_t>(level)]);
    levels << QString::number(level);
  }
  QChart* chart = Emptied(byLevel_);
  auto* barSeries = new QBarSeries;
  barSeries->append(bars);
  barSeries->setLabelsVisible(true);
  barSeries->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  chart->addSeries(barSeries);
  auto* levelAxis = new QBarCategoryAxis;
  levelAxis->append(levels);
  levelAxis->setTitleText(QStringLiteral("Best level"));
  auto* countAxis = new QValueAxis;
  countAxis->setTitleText(QStringLiteral("Draws"));
  countAxis->setLabelFormat(QStringLiteral("%d"));
  chart->addAxis(levelAxis, Qt::AlignBottom);
  chart->addAxis(countAxis, Qt::AlignLeft);
  barSeries->attachAxis(levelAxis);
  barSeries->attachAxis(countAxis);
  countAxis->applyNiceNumbers();
  chart->setTitle(QStringLiteral("Draws by best level"));

  // The best level draw after draw, in the order of the file; over a long history, the mean of
  // the last draws (a fiftieth of them), which shows a trend where single draws fill the plot,
  // drawn at no more than a few thousand points.
  const std::vector<DrawOutcome>& outcomes = shown_->replay.draws;
  const std::size_t count = outcomes.size();
  const std::size_t window = std::max<std::size_t>(1, count / kTrendParts);
  const std::size_t step = (count + kTrendPoints - 1) / kTrendPoints;
  auto* line = new QLineSeries;
  line->setName(window == 1 ? QStringLiteral("Best level")
                            : QStringLiteral("Best level, mean of the last %1 draws").arg(window));
  QList<QPointF> points;
  int64_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    sum += outcomes[i].best - (i >= window ? outcomes[i - window].best : 0);
    if ((i + 1) % step == 0 || i + 1 == count)
      points << QPointF(static_cast<qreal>(i + 1),
                        static_cast<qreal>(sum) / static_cast<qreal>(std::min(i + 1, window)));
  }
  line->replace(points);
  QChart* time = Emptied(overTime_);
  time->addSeries(line);
  auto* drawAxis = new QValueAxis;
  drawAxis->setTitleText(QStringLiteral("Draw, in the order of the file"));
  drawAxis->setLabelFormat(QStringLiteral("%d"));
  drawAxis->setRange(1, std::max<qreal>(2, static_cast<qreal>(count)));
  auto* bestAxis = new QValueAxis;
  bestAxis->setTitleText(QStringLiteral("Best level"));
  bestAxis->setRange(0, drawSize_);
  bestAxis->setTickCount(drawSize_ + 1);
  bestAxis->setLabelFormat(QStringLiteral("%d"));
  time->addAxis(drawAxis, Qt::AlignBottom);
  time->addAxis(bestAxis, Qt::AlignLeft);
  line->attachAxis(drawAxis);
  line->attachAxis(bestAxis);
  time->setTitle(line->name());
  ShowFrequencies();
}

void ReplayDialog::ShowFrequencies() {
  // How often each number was drawn, the wheel's numbers in a colour of their own: plain counts
  // of the past, which say nothing of the next draw.
  const std::array<int64_t, kMaxWheelNumber + 1> counts = DrawnCounts(shown_->draws);
  std::array<bool, kMaxWheelNumber + 1> mine{};
  for (const uint8_t number : wheel_.numbers)
    mine[number] = true;
  int highest = std::max(wheel_.LargestNumber(), 1);
  for (int number = 1; number <= kMaxWheelNumber; ++number) {
    if (counts[static_cast<std::size_t>(number)] > 0) highest = std::max(highest, number);
  }
  auto* yours = new QBarSet(QStringLiteral("Your numbers"));
  auto* others = new QBarSet(QStringLiteral("Other numbers"));
  QStringList labels;
  for (int number = 1; number <= highest; ++number) {
    const auto count = static_cast<qreal>(counts[static_cast<std::size_t>(number)]);
    *yours << (mine[static_cast<std::size_t>(number)] ? count : 0);
    *others << (mine[static_cast<std::size_t>(number)] ? 0 : count);
    labels << QString::number(number);
  }
  QChart* chart = Emptied(frequencies_);
  auto* series = new QStackedBarSeries;
  series->append(yours);
  series->append(others);
  chart->addSeries(series);
  auto* numberAxis = new QBarCategoryAxis;
  numberAxis->append(labels);
  numberAxis->setTitleText(QStringLiteral("Number"));
  auto* countAxis = new QValueAxis;
  countAxis->setTitleText(QStringLiteral("Times drawn"));
  countAxis->setLabelFormat(QStringLiteral("%d"));
  chart->addAxis(numberAxis, Qt::AlignBottom);
  chart->addAxis(countAxis, Qt::AlignLeft);
  series->attachAxis(numberAxis);
  series->attachAxis(countAxis);
  countAxis->applyNiceNumbers();
  chart->legend()->show();
  chart->setTitle(QStringLiteral("How often each number was drawn, over %1 draws")
                      .arg(Grouped(static_cast<int64_t>(shown_->draws.size()))));
}

void ReplayDialog::ExportCsv() {
  if (!shown_) return;
  SaveBytes(QStringLiteral("Export CSV"),
            QByteArray::fromStdString(ReplayCsv(shown_->draws, shown_->replay, drawSize_)));
}

void ReplayDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!running() && !DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ReplayDialog::dropEvent(QDropEvent* event) {
  const QString fileName = DraggedFile(event->mimeData());
  if (fileName.isEmpty()) return;
  event->acceptProposedAction();
  LoadHistory(fileName);  // read off this thread: the drop is answered at once
}

}  // namespace quirmel
