// What each event of the window does.

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "window/controls.h"
#include "window/frm_amain.h"

namespace quirmel {

namespace {

// During an analysis the window gets a turn (pending events, the counter) at most this often;
// progress points come far more often than a screen can show them.
constexpr qint64 kTurnIntervalMs = 15;

constexpr int16_t kBackspace = 8;
constexpr int16_t kEnter = 13;

bool IsDigitOrBackspace(int16_t code) {
  return code == kBackspace || (code >= '0' && code <= '9');
}

// Engine texts end their lines with CR LF; a text box wants one line break each.
QString ForBox(const std::string& text) {
  return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string FromBox(const QLineEdit* box) {
  return box->text().toStdString();
}

// The user's regional separators; the usual English ones where the locale has none.
NumberFormat RegionalFormat() {
  const QLocale locale = QLocale::system();
  NumberFormat format;
  if (!locale.groupSeparator().isEmpty())
    format.groupSeparator = locale.groupSeparator().toStdString();
  if (!locale.decimalPoint().isEmpty())
    format.decimalSeparator = locale.decimalPoint().toStdString();
  return format;
}

void AppendTo(QPlainTextEdit* box, const QString& text) {
  QTextCursor end(box->document());
  end.movePosition(QTextCursor::End);
  end.insertText(text);
}

}  // namespace

void frmAmain::ConnectHandlers() {
  for (int index = 1; index <= 6; ++index)
    txtChiave[index]->installEventFilter(this);
  txtNumeri->installEventFilter(this);
  txtCombinazioni->installEventFilter(this);

  connect(cmdElabora, &QPushButton::clicked, this, [this] { cmdElabora_Click(); });
  for (int index = 2; index <= 6; ++index) {
    connect(cmdGar[index], &QPushButton::clicked, this,
            [this, index] { cmdGar_Click(static_cast<int16_t>(index)); });
  }
  connect(cmdAbort, &QPushButton::clicked, this, [this] { cmdAbort_Click(); });
  connect(cmdMenoB, &QPushButton::clicked, this, [this] { cmdMenoB_Click(); });
  connect(cmdPiuB, &QPushButton::clicked, this, [this] { cmdPiuB_Click(); });
  connect(cmdClearAlll, &QPushButton::clicked, this, [this] { cmdClearAlll_Click(); });
  for (int index = 0; index <= 2; ++index) {
    connect(Label1[index], &ClickLabel::clicked, this,
            [this, index] { Label1_Click(static_cast<int16_t>(index)); });
  }
  connect(lblSito, &ClickLabel::clicked, this, [this] { lblSito_Click(); });
  connect(lblSito, &ClickLabel::pointerMoved, this, [this] { lblSito_MouseMove(); });
  ConnectFileActions();
  ConnectToolActions();
}

void frmAmain::Form_Load() {
  state_.filterLevel = 2;
}

void frmAmain::Form_MouseMove() {
  SetSiteColour(kLinkColour);
}

void frmAmain::lblSito_MouseMove() {
  SetSiteColour(kLinkHoverColour);
}

void frmAmain::SetSiteColour(QRgb colour) {
  const QColor wanted(colour);
  if (lblSito->palette().color(QPalette::WindowText) == wanted) return;  // moves come often
  QPalette palette = lblSito->palette();
  palette.setColor(QPalette::WindowText, wanted);
  lblSito->setPalette(palette);
}

void frmAmain::lblSito_Click() {
  if (!MayAct(Action::SiteLink)) return;
  if (seams_.openAddress) seams_.openAddress(QUrl(QString(kSiteAddress) + "/"));
}

void frmAmain::cmdMenoB_Click() {
  if (!MayAct(Action::StepFilter)) return;
  StepFilterLevel(-1);
}

void frmAmain::cmdPiuB_Click() {
  if (!MayAct(Action::StepFilter)) return;
  StepFilterLevel(+1);
}

// One step down or up; below 2 comes 6 and above 6 comes 2. The label shows it at once.
void frmAmain::StepFilterLevel(int step) {
  state_.filterLevel = static_cast<int16_t>(state_.filterLevel + step);
  if (state_.filterLevel < 2) state_.filterLevel = 6;
  if (state_.filterLevel > 6) state_.filterLevel = 2;
  lblGarFlag->setText(QString::number(state_.filterLevel));
  lblGarFlag->repaint();
}

bool frmAmain::MayAct(Action action) const {
  if (!analysisRunning_) return true;
  switch (action) {
    case Action::Stop:
    case Action::StepFilter:
    case Action::Clear:
    case Action::SiteLink:
      return true;
    default:
      return false;
  }
}

void frmAmain::cmdAbort_Click() {
  if (!MayAct(Action::Stop)) return;
  state_.abortRequested = true;
  cmdAbort->setEnabled(false);
}

void frmAmain::cmdClearAlll_Click() {
  if (!MayAct(Action::Clear)) return;
  txtLista->setPlainText(QString());
  txtReport->setPlainText(QString());
}

void frmAmain::Label1_Click(int16_t /*index*/) {
  if (!MayAct(Action::ResetInputs)) return;
  for (int index = 1; index <= 6; ++index)
    txtChiave[index]->setText(QString());
  txtNumeri->setText(QString());
  txtCombinazioni->setText(QString());
  state_.combinationCount = 0;
  FocusKeyBox1();
}

// Key box 1 takes the focus with its text selected, also when it had the focus already.
void frmAmain::FocusKeyBox1() {
  txtChiave[1]->setFocus(Qt::OtherFocusReason);
  txtChiave_GotFocus(1);
}

void frmAmain::txtChiave_GotFocus(int16_t index) {
  QLineEdit* box = txtChiave[index];
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void frmAmain::txtChiave_KeyPress(int16_t index, int16_t& keyAscii) {
  if (IsDigitOrBackspace(keyAscii)) return;
  if (keyAscii == kEnter) {
    txtChiave[index >= 6 ? 1 : index + 1]->setFocus(Qt::TabFocusReason);
    return;  // the single-line box inserts nothing for it
  }
  keyAscii = 0;
}

void frmAmain::txtNumeri_KeyPress(int16_t& keyAscii) {
  if (!IsDigitOrBackspace(keyAscii)) keyAscii = 0;
}

void frmAmain::txtCombinazioni_KeyPress(int16_t& keyAscii) {
  if (!IsDigitOrBackspace(keyAscii)) keyAscii = 0;
}

void frmAmain::cmdElabora_Click() {
  if (!MayAct(Action::Generate)) return;
  std::array<std::string, 6> keys;
  for (int index = 1; index <= 6; ++index)
    keys[index - 1] = FromBox(txtChiave[index]);
  const GenerationResult result =
      GenerateWheel(state_, keys, FromBox(txtNumeri), FromBox(txtCombinazioni));
  if (result.succeeded) {
    origin_ = WheelOrigin::Developed;
    txtLista->setPlainText(ForBox(result.listing));
    txtReport->setPlainText(QString());
    return;
  }
  if (result.clearsListing) txtLista->setPlainText(QString());
  seams_.showError(this, QString::fromStdString(result.message));
  switch (result.focusTarget) {
    case FocusTarget::KeyBox1:
      FocusKeyBox1();
      break;
    case FocusTarget::PoolSizeBox:
      txtNumeri->setFocus(Qt::OtherFocusReason);
      break;
    case FocusTarget::CombinationsBox:
      txtCombinazioni->setFocus(Qt::OtherFocusReason);
      break;
    case FocusTarget::None:
      break;
  }
}

void frmAmain::cmdGar_Click(int16_t index) {
  if (!MayAct(Action::Analyse)) return;
  const bool wheelMatches = state_.combinationCount >= 1 && state_.wheel.has_value() &&
                            state_.wheel->rows() == state_.combinationCount &&
                            state_.wheel->positions() == state_.keyCount;
  if (!wheelMatches) {
    seams_.showError(this, kMsgDevelopFirst);
    return;
  }
  const std::optional<int16_t> poolSize = ReadBoxValue(FromBox(txtNumeri));
  if (!poolSize) {
    seams_.showError(this, kMsgPoolSize);
    txtNumeri->setFocus(Qt::OtherFocusReason);
    return;
  }

  ShowCount(0);
  cmdAbort->setEnabled(true);
  state_.poolSize = *poolSize;
  analysisRunning_ = true;
  EnableActions();
  sinceLastTurn_.invalidate();  // the first progress point always gets a turn
  // A wheel from a file may hold thousands of rows: it gets exact match counts, not capped ones.
  const bool exactly = origin_ != WheelOrigin::Developed && state_.poolSize >= index;
  ReportAnalysis(exactly ? AnalyseExactly(index) : AnalyseAsDesigned(index));
  state_.abortRequested = false;
  cmdAbort->setEnabled(false);
  analysisRunning_ = false;
  EnableActions();
  if (closeAfterAnalysis_) {
    closeAfterAnalysis_ = false;
    close();
  }
}

std::optional<std::string> frmAmain::AnalyseAsDesigned(int16_t index) {
  CoverageStats stats;
  try {
    stats = AnalyseCoverage(*state_.wheel, state_.combinationCount, state_.keyCount,
                            state_.poolSize, index,
                            [this](int32_t subsetCount) { return AnalysisProgress(subsetCount); });
  } catch (const std::exception& error) {  // the checks before leave the engine nothing to refuse
    seams_.showError(this, QString::fromStdString(FailureText(error)));
    return std::nullopt;
  }
  ShowCount(stats.subsetCount);
  if (stats.stopped) return std::nullopt;
  return BuildCoverageReport(index, stats, state_.filterLevel, RegionalFormat());
}

std::optional<std::string> frmAmain::AnalyseExactly(int16_t index) {
  const AnyWheel wheel = StateWheel(state_);
  CheckResult result;
  try {
    result = CheckWheel({.wheel = wheel,
                         .poolSize = state_.poolSize,
                         .drawSize = index,
                         .progress = [this](int64_t examined, int64_t) {
                           return AnalysisProgress(static_cast<int32_t>(examined));
                         }});
  } catch (const std::exception& error) {  // tables too large for this machine's memory
    seams_.showError(this, QString::fromStdString(FailureText(error)));
    return std::nullopt;
  }
  ShowCount(static_cast<int32_t>(result.examined));
  if (result.stopped) return std::nullopt;
  return BuildCoverageReport(index, result, state_.filterLevel, RegionalFormat());
}

// What a finished run leaves: the report appended, or the message of a stop. A run ended by
// closing the window says nothing, and one the engine refused was reported already.
void frmAmain::ReportAnalysis(const std::optional<std::string>& report) {
  if (closeAfterAnalysis_) return;
  if (state_.abortRequested) {
    seams_.showError(this, kMsgInterrupted);
    return;
  }
  if (report) AppendTo(txtReport, ForBox(*report) + "\n");
}

bool frmAmain::AnalysisProgress(int32_t subsetCount) {
  if (!sinceLastTurn_.isValid() || sinceLastTurn_.elapsed() >= kTurnIntervalMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ShowCount(subsetCount);
    sinceLastTurn_.restart();
  }
  return state_.abortRequested;
}

void frmAmain::ShowCount(int32_t subsetCount) {
  lblCt->setText(QString::number(subsetCount));
  lblCt->repaint();
}

void frmAmain::mouseMoveEvent(QMouseEvent* event) {
  Form_MouseMove();
  QWidget::mouseMoveEvent(event);
}

void frmAmain::closeEvent(QCloseEvent* event) {
  if (!analysisRunning_) {
    event->accept();
    return;
  }
  // Ends the running analysis as a stop would; the window closes once it has returned.
  closeAfterAnalysis_ = true;
  state_.abortRequested = true;
  event->ignore();
}

int frmAmain::TypedCode(const QKeyEvent& event) {
  for (QKeySequence::StandardKey command :
       {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Paste, QKeySequence::Cut,
        QKeySequence::Undo, QKeySequence::Redo}) {
    if (event.matches(command)) return -1;
  }
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return -1;
  switch (event.key()) {
    case Qt::Key_Backspace:
      return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kEnter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return -1;  // focus navigation, not a character
    default:
      break;
  }
  const QString text = event.text();
  if (text.isEmpty()) return -1;  // arrows, Delete, Home and the like edit as usual
  return std::min<int>(text.at(0).unicode(), INT16_MAX);
}

bool frmAmain::FilterTypedKey(QObject* box, QKeyEvent& event) {
  const int typed = TypedCode(event);
  if (typed < 0) return false;
  auto code = static_cast<int16_t>(typed);
  if (box == txtNumeri) {
    txtNumeri_KeyPress(code);
  } else if (box == txtCombinazioni) {
    txtCombinazioni_KeyPress(code);
  } else {
    for (int16_t index = 1; index <= 6; ++index) {
      if (box == txtChiave[index]) txtChiave_KeyPress(index, code);
    }
  }
  return code == 0;  // 0 swallows the key
}

bool frmAmain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    return FilterTypedKey(watched, *static_cast<QKeyEvent*>(event));
  }
  if (event->type() == QEvent::FocusIn) {
    for (int16_t index = 1; index <= 6; ++index) {
      if (watched != txtChiave[index]) continue;
      txtChiave_GotFocus(index);
      // A click places the cursor after the focus arrives: select again once it has.
      if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
        QTimer::singleShot(0, txtChiave[index], [this, index] { txtChiave_GotFocus(index); });
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quirmel
