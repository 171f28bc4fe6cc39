#include "window/replay_dialog.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include "engine/check/check.h"
#include "engine/core/text_lines.h"
#include "engine/limits.h"
#include "window/file_io.h"

namespace quirmel {

namespace {

constexpr int kFixedColumns = 4;  // line, date, numbers, best
constexpr std::size_t kTrendParts = 50;

QTableWidgetItem* NumberItem(qlonglong value) {
  auto* item = new QTableWidgetItem;
  item->setData(Qt::DisplayRole, value);  // sorts as a number
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
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
  QPushButton* open = MakeButton(QStringLiteral("&Open history..."), QStringLiteral("openHistory"));
  open->setDefault(true);
  history_ = new QLabel(QStringLiteral("Choose a history file, or drop one here."), this);
  history_->setObjectName(QStringLiteral("history"));
  drawSizeBox_ = new QSpinBox(this);
  drawSizeBox_->setObjectName(QStringLiteral("drawSize"));
  drawSizeBox_->setAccessibleName(QStringLiteral("Numbers drawn"));
  drawSizeBox_->setRange(kMinDrawSize, kMaxDrawSize);
  drawSizeBox_->setValue(drawSize_);
  auto* drawLabel = new QLabel(QStringLiteral("Numbers &drawn:"), this);
  drawLabel->setBuddy(drawSizeBox_);
  export_ = MakeButton(QStringLiteral("&Export CSV..."), QStringLiteral("exportCsv"));

  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("draws"));
  table_->setAccessibleName(QStringLiteral("Draws"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  totals_ = new QLabel(this);
  totals_->setObjectName(QStringLiteral("totals"));
  totals_->setWordWrap(true);
  totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  byLevel_ = MakeChartView(this, QStringLiteral("byLevel"));
  overTime_ = MakeChartView(this, QStringLiteral("overTime"));
  auto* tabs = new QTabWidget(this);
  auto* drawsPage = new QWidget(tabs);
  auto* drawsLayout = new QVBoxLayout(drawsPage);
  drawsLayout->addWidget(table_, 1);
  drawsLayout->addWidget(totals_);
  tabs->addTab(drawsPage, QStringLiteral("Draws"));
  tabs->addTab(byLevel_, QStringLiteral("By best level"));
  tabs->addTab(overTime_, QStringLiteral("Over time"));

  auto* top = new QHBoxLayout;
  top->addWidget(open);
  top->addWidget(history_, 1);
  top->addWidget(drawLabel);
  top->addWidget(drawSizeBox_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(tabs, 1);
  layout->addLayout(ButtonRow({export_}));
  resize(760, 560);
  export_->setEnabled(false);

  connect(open, &QPushButton::clicked, this, [this] { ChooseHistory(); });
  connect(export_, &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(drawSizeBox_, &QSpinBox::valueChanged, this, [this](int value) {
    // The history is read again for the new draw size; refused, the old size comes back.
    if (historyName_.isEmpty() || value == drawSize_) return;
    if (!LoadHistory(historyName_)) drawSizeBox_->setValue(drawSize_);
  });
}

void ReplayDialog::ChooseHistory() {
  const QString fileName = seams_.chooseOpenFile(this, QStringLiteral("Open draw history"));
  if (!fileName.isEmpty()) LoadHistory(fileName);
}

bool ReplayDialog::LoadHistory(const QString& fileName) {
  const FileRead file = ReadWholeFile(fileName, kMaxInputBytes);
  if (!file.error.isEmpty()) {
    seams_.showError(this, file.error);
    return false;
  }
  const int drawSize = drawSizeBox_->value();
  DrawReadResult read = ReadDraws(std::string_view(file.bytes.constData(), file.bytes.size()),
                                  {.poolSize = kMaxWheelNumber, .drawSize = drawSize});
  if (read.error) {
    const std::string_view text(file.bytes.constData(), file.bytes.size());
    seams_.showError(
        this, QString::fromStdString(EscapeControls(Describe(*read.error, fileName.toStdString())) +
                                     EncodingHint(text)));
    return false;
  }
  historyName_ = fileName;
  drawSize_ = drawSize;
  draws_ = std::move(read.draws);
  replay_ = ReplayDraws(wheel_, draws_, drawSize_);
  ShowReplay();
  return true;
}

void ReplayDialog::ShowReplay() {
  history_->setText(
      QStringLiteral("%1: %2 draws").arg(QFileInfo(historyName_).fileName()).arg(draws_.size()));
  ShowTable();
  ShowCharts();
  QStringList best;
  for (int level = drawSize_; level >= 0; --level)
    best << QStringLiteral("%1: %2").arg(level).arg(
        replay_.bestTotals[static_cast<std::size_t>(level)]);
  QStringList rows;
  for (int j = drawSize_; j >= 2; --j)
    rows << QStringLiteral("%1: %2").arg(j).arg(replay_.rowTotals[static_cast<std::size_t>(j)]);
  totals_->setText(QStringLiteral("Draws by best level  %1\nRows matching, over all draws  %2")
                       .arg(best.join(QStringLiteral("  ")), rows.join(QStringLiteral("  "))));
  export_->setEnabled(true);
}

void ReplayDialog::ShowTable() {
  table_->setSortingEnabled(false);
  table_->clear();
  QStringList headers{QStringLiteral("Line"), QStringLiteral("Date"), QStringLiteral("Numbers"),
                      QStringLiteral("Best")};
  for (int j = drawSize_; j >= 2; --j)
    headers << QStringLiteral("In %1").arg(j);
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(draws_.size()));
  for (int i = 0; i < static_cast<int>(draws_.size()); ++i) {
    const Draw& draw = draws_[static_cast<std::size_t>(i)];
    const DrawOutcome& outcome = replay_.draws[static_cast<std::size_t>(i)];
    table_->setItem(i, 0, NumberItem(draw.line));
    table_->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(draw.label)));
    table_->setItem(i, 2, new QTableWidgetItem(QString::fromStdString(TwoDigits(draw.numbers))));
    table_->setItem(i, 3, NumberItem(outcome.best));
    for (int j = drawSize_; j >= 2; --j)
      table_->setItem(i, kFixedColumns + drawSize_ - j,
                      NumberItem(outcome.rows[static_cast<std::size_t>(j)]));
  }
  table_->resizeColumnsToContents();
  table_->setSortingEnabled(true);
}

void ReplayDialog::ShowCharts() {
  // Draws by best level, as bars from level 0 up to M.
  auto* bars = new QBarSet(QStringLiteral("Draws"));
  bars->setLabelColor(palette().color(QPalette::WindowText));  // above the bars, not on them
  QStringList levels;
  for (int level = 0; level <= drawSize_; ++level) {
    *bars << static_cast<qreal>(replay_.bestTotals[static_cast<std::size_t>(level)]);
    levels << QString::number(level);
  }
  QChart* chart = byLevel_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes())
    chart->removeAxis(axis);
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
  // the last draws (a fiftieth of them), which shows a trend where single draws fill the plot.
  const std::size_t count = replay_.draws.size();
  const std::size_t window = std::max<std::size_t>(1, count / kTrendParts);
  auto* line = new QLineSeries;
  line->setName(window == 1 ? QStringLiteral("Best level")
                            : QStringLiteral("Best level, mean of the last %1 draws").arg(window));
  int64_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    sum += replay_.draws[i].best - (i >= window ? replay_.draws[i - window].best : 0);
    line->append(static_cast<qreal>(i + 1),
                 static_cast<qreal>(sum) / static_cast<qreal>(std::min(i + 1, window)));
  }
  QChart* time = overTime_->chart();
  time->removeAllSeries();
  for (QAbstractAxis* axis : time->axes())
    time->removeAxis(axis);
  time->addSeries(line);
  auto* drawAxis = new QValueAxis;
  drawAxis->setTitleText(QStringLiteral("Draw, in the order of the file"));
  drawAxis->setLabelFormat(QStringLiteral("%d"));
  drawAxis->setRange(1, std::max<qreal>(2, static_cast<qreal>(replay_.draws.size())));
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
}

void ReplayDialog::ExportCsv() {
  if (draws_.empty()) return;
  SaveText(QStringLiteral("Export CSV"),
           QString::fromStdString(ReplayCsv(draws_, replay_, drawSize_)));
}

void ReplayDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ReplayDialog::dropEvent(QDropEvent* event) {
  const QString fileName = DraggedFile(event->mimeData());
  if (fileName.isEmpty()) return;
  event->acceptProposedAction();
  // Read once the drop has been answered, so a refusal's message box does not hold the sender.
  QTimer::singleShot(0, this, [this, fileName] { LoadHistory(fileName); });
}

}  // namespace quirmel
