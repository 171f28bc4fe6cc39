// Wheels and reports in files: the context menus of the listing and the report, the window's
// Ctrl+O and Ctrl+S, a file dropped on the window, and printing. All of them do nothing while an
// analysis runs (see the re-entry rule in frm_amain.h).

#include <QAction>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/core/games.h"
#include "engine/files/tickets.h"
#include "window/file_io.h"
#include "window/frm_amain.h"
#include "window/ticket_price.h"
#include "window/ticket_print.h"

namespace quirmel {

namespace {

using Painting = std::function<void(QPrinter& printer)>;

QString PrintToPrinter(const Painting& paint, QPrinter& printer, const QString& what) {
  paint(printer);
  if (printer.printerState() != QPrinter::Error) return {};
  return QString("%1 cannot print %2").arg(printer.printerName(), what);
}

// Printed beside the file and renamed over it once whole, like a saved file: a failure leaves an
// existing file as it was. A PDF is whole when it ends with its end-of-file mark.
QString PrintToFile(const Painting& paint, QPrinter& printer, const QString& target) {
  const QFileInfo info(target);
  if (info.exists() && !info.isFile()) {
    return QString("%1 cannot be written: it is not a regular file (a folder, a device or a pipe)")
        .arg(target);
  }
  QTemporaryFile part(target + ".XXXXXX.part");
  if (!part.open()) return QString("%1 cannot be written: %2").arg(target, part.errorString());
  part.close();
  part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                      QFileDevice::ReadOther);
  printer.setOutputFileName(part.fileName());
  paint(printer);
  QFile printed(part.fileName());
  const bool opened = printed.open(QIODevice::ReadOnly);
  const qint64 size = printed.size();
  const bool whole =
      opened && size > 0 &&
      (printer.outputFormat() != QPrinter::PdfFormat ||
       (printed.seek(std::max<qint64>(0, size - 16)) && printed.readAll().contains("%%EOF")));
  printed.close();
  if (printer.printerState() == QPrinter::Error || !whole)
    return QString("%1 cannot be written: the printed file came out incomplete (is the disk full?)")
        .arg(target);
  if (std::rename(QFile::encodeName(part.fileName()).constData(),
                  QFile::encodeName(target).constData()) != 0)
    return QString("%1 cannot be written: %2")
        .arg(target, QString::fromLocal8Bit(std::strerror(errno)));
  part.setAutoRemove(false);  // it is the target now
  return {};
}

}  // namespace

void frmAmain::ConnectFileActions() {
  openWheelAction = new QAction("Open wheel...", this);
  openWheelAction->setShortcut(QKeySequence::Open);
  saveWheelAction = new QAction("Save wheel as...", this);
  saveWheelAction->setShortcut(QKeySequence::Save);
  saveReportAction = new QAction("Save report as...", this);
  printAction = new QAction("Print...", this);
  for (QAction* action : {openWheelAction, saveWheelAction}) {
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);  // the shortcuts work anywhere in the window
  }
  connect(openWheelAction, &QAction::triggered, this, [this] { OpenWheelChosen(); });
  connect(saveWheelAction, &QAction::triggered, this, [this] { SaveWheelAs(); });
  connect(saveReportAction, &QAction::triggered, this, [this] { SaveReportAs(); });
  connect(printAction, &QAction::triggered, this, [this] { PrintReport(); });
  printTicketsAction = new QAction("Print tickets...", this);
  exportTicketsAction = new QAction("Export tickets...", this);
  connect(printTicketsAction, &QAction::triggered, this, [this] { PrintTickets(); });
  connect(exportTicketsAction, &QAction::triggered, this, [this] { ExportTickets(); });

  txtLista->setContextMenuPolicy(Qt::CustomContextMenu);
  txtReport->setContextMenuPolicy(Qt::CustomContextMenu);
  // Shift+F10 opens a text area's menu at its cursor, as the Menu key does.
  for (QPlainTextEdit* area : {txtLista, txtReport}) {
    auto* menuKey = new QAction(area);
    menuKey->setShortcut(Qt::SHIFT | Qt::Key_F10);
    menuKey->setShortcutContext(Qt::WidgetShortcut);
    area->addAction(menuKey);
    connect(menuKey, &QAction::triggered, area,
            [area] { emit area->customContextMenuRequested(area->cursorRect().center()); });
  }
  connect(txtLista, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowListingMenu(at); });
  connect(txtReport, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowReportMenu(at); });
  setAcceptDrops(true);
}

// The standard edit actions, then the file actions.
void frmAmain::ShowListingMenu(const QPoint& at) {
  std::unique_ptr<QMenu> menu(txtLista->createStandardContextMenu(at));
  menu->addSeparator();
  menu->addAction(openWheelAction);
  saveWheelAction->setEnabled(MayAct(Action::Save) && StateWheel(state_).rowCount() > 0);
  menu->addAction(saveWheelAction);
  menu->addSeparator();
  menu->addAction(buildAction);
  menu->addAction(replayAction);
  menu->addSeparator();
  const bool tickets = StateWheel(state_).rowCount() > 0;
  printTicketsAction->setEnabled(tickets && MayAct(Action::PrintTickets));
  exportTicketsAction->setEnabled(tickets && MayAct(Action::ExportTickets));
  menu->addAction(printTicketsAction);
  menu->addAction(exportTicketsAction);
  menu->exec(txtLista->viewport()->mapToGlobal(at));
  // Ctrl+S stays on without a wheel: Save says so itself.
  saveWheelAction->setEnabled(MayAct(Action::Save));
}

void frmAmain::ShowReportMenu(const QPoint& at) {
  std::unique_ptr<QMenu> menu(txtReport->createStandardContextMenu(at));
  menu->addSeparator();
  menu->addAction(saveReportAction);
  menu->addAction(printAction);
  menu->addSeparator();
  menu->addAction(holesAction);
  menu->exec(txtReport->viewport()->mapToGlobal(at));
}

void frmAmain::OpenWheelChosen() {
  if (!MayAct(Action::Open)) return;
  const QString fileName = seams_.chooseOpenFile(this, "Open wheel");
  if (!fileName.isEmpty()) OpenWheel(fileName);
}

bool frmAmain::OpenWheel(const QString& fileName) {
  if (!MayAct(Action::Open)) return false;
  const FileRead read = ReadWholeFile(fileName);
  if (!read.error.isEmpty()) {
    seams_.showError(this, read.error);
    return false;
  }
  return UseWheelText(std::string_view(read.bytes.constData(), read.bytes.size()), fileName);
}

bool frmAmain::UseWheelText(std::string_view text, const QString& name) {
  return UseLoadedWheel(LoadWheel(text), name, text);
}

bool frmAmain::UseLoadedWheel(const WheelLoadResult& load, const QString& name,
                              std::string_view text) {
  if (load.error) {
    seams_.showError(
        this, QString::fromStdString(EscapeControls(Describe(*load.error, name.toStdString())) +
                                     EncodingHint(text)));
    return false;
  }
  UseWheel(state_, *load.loaded);
  origin_ = WheelOrigin::Opened;
  txtLista->setPlainText(QString::fromStdString(load.loaded->listing).chopped(1));
  txtReport->setPlainText(QString());
  // An empty pool box, or one below the wheel's numbers, takes the wheel's largest number: the
  // analysis would otherwise leave the numbers above it out without a word.
  const std::optional<int16_t> pool = ReadBoxValue(txtNumeri->text().toStdString());
  if (txtNumeri->text().isEmpty() || (pool && *pool < load.loaded->largestNumber))
    txtNumeri->setText(QString::number(load.loaded->largestNumber));
  return true;
}

void frmAmain::SaveWheelAs() {
  if (!MayAct(Action::Save)) return;
  const AnyWheel wheel = StateWheel(state_);
  if (wheel.rowCount() == 0) {
    seams_.showError(this, kMsgDevelopFirst);
    return;
  }
  if (const auto reopened = WheelFileRefusal(wheel, {})) {
    seams_.showError(this, QString("The wheel cannot be saved: a wheel file could not be opened "
                                   "again (row %1: %2)")
                               .arg(reopened->line)
                               .arg(QString::fromStdString(reopened->message)));
    return;
  }
  const QString fileName = seams_.chooseSaveFile(this, "Save wheel as");
  if (fileName.isEmpty()) return;
  WriteFile(fileName, QByteArray::fromStdString(WriteWheel(wheel)), false);
}

void frmAmain::SaveReportAs() {
  if (!MayAct(Action::SaveReport)) return;
  const QString fileName = seams_.chooseSaveFile(this, "Save report as");
  if (fileName.isEmpty()) return;
  QString text = txtReport->toPlainText();
  if (!text.isEmpty() && !text.endsWith('\n')) text += '\n';
  WriteFile(fileName, text.toUtf8(), true);
}

bool frmAmain::WriteFile(const QString& fileName, const QByteArray& bytes, bool text) {
  const QString error = WriteWholeFile(fileName, bytes, text);
  if (!error.isEmpty()) seams_.showError(this, error);
  return error.isEmpty();
}

void frmAmain::PrintReport() {
  if (!MayAct(Action::Print)) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName("QUIRMEL report");
  if (!seams_.setUpPrinter(this, printer)) return;
  QTextDocument document;
  document.setDefaultFont(txtReport->font());  // the report's fixed-pitch font
  document.setPlainText(txtReport->toPlainText());
  Print(
      printer, [&document](QPrinter& to) { document.print(&to); }, "the report");
}

void frmAmain::Print(QPrinter& printer, const std::function<void(QPrinter&)>& paint,
                     const QString& what) {
  const QString target = printer.outputFileName();
  const QString error =
      target.isEmpty() ? PrintToPrinter(paint, printer, what) : PrintToFile(paint, printer, target);
  if (!error.isEmpty()) seams_.showError(this, error);
}

void frmAmain::PrintTickets() {
  const AnyWheel wheel = StateWheel(state_);
  if (!MayAct(Action::PrintTickets) || wheel.rowCount() == 0) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName("QUIRMEL tickets");
  if (!seams_.setUpPrinter(this, printer)) return;
  // A wheel built in the Build dialog is printed with its game, guarantee and that game's price;
  // another wheel (developed or opened) with the price of "custom".
  const TicketsFor made = origin_ == WheelOrigin::Built ? builtFor_ : TicketsFor{};
  const QString game =
      FindGame(made.game.toStdString())
          ? made.game
          : QString::fromUtf8(kCustomGame.data(), static_cast<qsizetype>(kCustomGame.size()));
  const QStringList head = TicketHead(wheel, made, TicketPrice(seams_, game));
  Print(
      printer, [&](QPrinter& to) { PaintTickets(to, wheel, head); }, "the tickets");
}

void frmAmain::ExportTickets() {
  const AnyWheel wheel = StateWheel(state_);
  if (!MayAct(Action::ExportTickets) || wheel.rowCount() == 0) return;
  const QString target = seams_.chooseSaveFile(this, QStringLiteral("Export tickets"));
  if (target.isEmpty()) return;
  const QString error = WriteWholeFile(target, QByteArray::fromStdString(TicketsCsv(wheel)), true);
  if (!error.isEmpty()) seams_.showError(this, error);
}

void frmAmain::dragEnterEvent(QDragEnterEvent* event) {
  if (MayAct(Action::Open) && !DraggedFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void frmAmain::dropEvent(QDropEvent* event) {
  const QString fileName = DraggedFile(event->mimeData());
  if (fileName.isEmpty() || !MayAct(Action::Open)) return;
  event->acceptProposedAction();
  // Opened once the drop has been answered, so that a refusal's message box does not keep the
  // program the file came from waiting.
  QTimer::singleShot(0, this, [this, fileName] { OpenWheel(fileName); });
}

void frmAmain::EnableActions() {
  const std::pair<QAction*, Action> items[] = {{openWheelAction, Action::Open},
                                               {saveWheelAction, Action::Save},
                                               {saveReportAction, Action::SaveReport},
                                               {printAction, Action::Print},
                                               {buildAction, Action::Build},
                                               {replayAction, Action::Replay},
                                               {holesAction, Action::Holes},
                                               {printTicketsAction, Action::PrintTickets},
                                               {exportTicketsAction, Action::ExportTickets}};
  for (const auto& [item, action] : items)
    item->setEnabled(MayAct(action));
}

}  // namespace quirmel
