// The wheel tools through the window: build a wheel and use it, replay it on a history, list its
// holes. Each dialog is reached the way a player reaches it, and checked against the engine.

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineSeries>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/oracle.h"
#include "tests/window_fixture.h"
#include "window/build_dialog.h"
#include "window/holes_dialog.h"
#include "window/replay_dialog.h"
#include "window/ticket_price.h"

using quirmel::testing::ReadText;
using quirmel::testing::WindowFixture;
using quirmel::testing::WriteText;

namespace {

// The Fano plane: every pair of 1..7 in exactly one row.
const QByteArray kFano = "1 2 3\n1 4 5\n1 6 7\n2 4 6\n2 5 7\n3 4 7\n3 5 6\n";

const QByteArray kHistory =
    "Date,N1,N2,N3,N4,N5,N6,Bonus\n"
    "2026-01-03,1,2,3,20,21,22,9\n"
    "2026-01-10,4,5,6,7,30,31,8\n"
    "2026-01-17,10,11,12,13,14,15,16\n";

template <typename Dialog>
Dialog* OpenDialog(WindowFixture& f, void (quirmel::frmAmain::*open)()) {
  (f.window.get()->*open)();
  return f.window->findChild<Dialog*>();
}

// The Replay dialog over the key 1 2 3 developed into 10 rows over 49.
quirmel::ReplayDialog* ReplayOfTheKey123(WindowFixture& f) {
  f.Fill({"1", "2", "3"}, "49", "10");
  f.Click("cmdElabora");
  return OpenDialog<quirmel::ReplayDialog>(f, &quirmel::frmAmain::OpenReplayDialog);
}

}  // namespace

class WindowToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void typedNumbers_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<int>("pool");
    QTest::addColumn<bool>("refused");
    // clang-format off
    QTest::newRow("blanks")      << "3 7  12"         << QList<int>{3, 7, 12}       << 0  << false;
    QTest::newRow("mixed")       << "3,7;12\t15|18/2" << QList<int>{3, 7, 12, 15, 18, 2} << 0 << false;
    QTest::newRow("ranges")      << "1-3, 8 .. 10"    << QList<int>{1, 2, 3, 8, 9, 10} << 0 << false;
    QTest::newRow("pool")        << " 20 "            << QList<int>{}               << 20 << false;
    QTest::newRow("not numbers") << "3 7 x"           << QList<int>{}               << 0  << true;
    QTest::newRow("empty")       << ""                << QList<int>{}               << 0  << false;
    // clang-format on
  }
  void typedNumbers() {
    QFETCH(QString, typed);
    QFETCH(QList<int>, numbers);
    QFETCH(int, pool);
    QFETCH(bool, refused);
    const quirmel::TypedNumbers read = quirmel::ReadTypedNumbers(typed);
    QCOMPARE(!read.error.isEmpty(), refused);
    if (refused) return;
    QCOMPARE(QList<int>(read.numbers.begin(), read.numbers.end()), numbers);
    QCOMPARE(read.poolSize, pool);
  }

  // The Fano plane is the smallest 2-if-2 wheel of rows of 3 on 7 numbers; the dialog finds it
  // and Use this wheel lists the very rows the engine returned.
  void builtWheelIsUsed() {
    WindowFixture f;
    f.Fill({"1", "2", "3"}, "7", "");
    auto* dialog = OpenDialog<quirmel::BuildDialog>(f, &quirmel::frmAmain::OpenBuildDialog);
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->findChild<QLineEdit*>("numbers")->text(), QString("7"));
    QCOMPARE(dialog->findChild<QSpinBox*>("rowSize")->value(), 3);
    dialog->findChild<QSpinBox*>("guarantee")->setValue(2);
    dialog->findChild<QSpinBox*>("drawSize")->setValue(2);
    QTest::mouseClick(dialog->findChild<QPushButton*>("start"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->running() && dialog->result(), 15000);
    const quirmel::BuildResult& result = *dialog->result();
    QVERIFY(result.covered && result.smallest);
    QCOMPARE(result.wheel.rowCount(), std::size_t{7});

    f.Area("txtReport")->setPlainText("old report");
    QTest::mouseClick(dialog->findChild<QPushButton*>("use"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    const quirmel::WheelLoadResult expected = quirmel::LoadWheel(quirmel::WriteWheel(result.wheel));
    QCOMPARE(f.Listing() + "\n", QString::fromStdString(expected.loaded->listing));
    QCOMPARE(f.Report(), QString());
    QCOMPARE(quirmel::StateWheel(f.state), result.wheel);
    QVERIFY(f.messages.isEmpty());
  }

  // What the status says when no cover was found or the "At most" was not reached; the wheel's
  // text is a wheel file.
  void buildStatusSaysWhatWasFound_data() {
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<int>("guarantee");
    QTest::addColumn<int>("drawn");
    QTest::addColumn<int>("atMost");
    QTest::addColumn<QString>("says");
    QTest::addColumn<bool>("usable");
    // clang-format off
    QTest::newRow("no cover")       << "60" << 5 << 6 << 0 << "No cover found within the time limit." << false;
    QTest::newRow("at most missed") << "7"  << 2 << 2 << 6 << "No cover of at most 6 rows was found." << true;
    // clang-format on
  }
  void buildStatusSaysWhatWasFound() {
    QFETCH(QString, numbers);
    QFETCH(int, guarantee);
    QFETCH(int, drawn);
    QFETCH(int, atMost);
    QFETCH(QString, says);
    QFETCH(bool, usable);
    WindowFixture f;
    auto* dialog = OpenDialog<quirmel::BuildDialog>(f, &quirmel::frmAmain::OpenBuildDialog);
    dialog->findChild<QLineEdit*>("numbers")->setText(numbers);
    dialog->findChild<QSpinBox*>("rowSize")->setValue(guarantee == 2 ? 3 : 6);
    dialog->findChild<QSpinBox*>("drawSize")->setValue(drawn);
    dialog->findChild<QSpinBox*>("guarantee")->setValue(guarantee);
    dialog->findChild<QSpinBox*>("seconds")->setValue(1);
    dialog->findChild<QSpinBox*>("mostRows")->setValue(atMost);
    dialog->Start();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->running() && dialog->result(), 15000);
    const QString status = dialog->findChild<QLabel*>("status")->text();
    QVERIFY2(status.contains(says), qPrintable(status));
    QCOMPARE(dialog->findChild<QPushButton*>("use")->isEnabled(), usable);
    const QString text = dialog->findChild<QPlainTextEdit*>("wheel")->toPlainText();
    QCOMPARE(text.isEmpty(), !usable);
    if (usable) QVERIFY(!quirmel::ReadWheel(text.toStdString()).error);
  }

  // The book's wheel is there as soon as the numbers and the guarantee are typed, without Start;
  // numbers the book holds no wheel for take it away again.
  void bookWheelShownWithoutStart() {
    WindowFixture f;
    auto* dialog = OpenDialog<quirmel::BuildDialog>(f, &quirmel::frmAmain::OpenBuildDialog);
    dialog->findChild<QComboBox*>("game")->setCurrentText("5/90");  // a game fills the boxes
    QCOMPARE(dialog->findChild<QLineEdit*>("numbers")->text(), QString("90"));
    QCOMPARE(dialog->findChild<QSpinBox*>("rowSize")->value(), 5);
    QCOMPARE(dialog->findChild<QSpinBox*>("drawSize")->value(), 5);
    dialog->findChild<QSpinBox*>("rowSize")->setValue(6);
    dialog->findChild<QSpinBox*>("drawSize")->setValue(2);
    dialog->findChild<QSpinBox*>("guarantee")->setValue(2);
    dialog->findChild<QLineEdit*>("numbers")->setText("2 4 6 8 10 12 14 16 18 20 22 24");
    auto* use = dialog->findChild<QPushButton*>("use");
    QTRY_VERIFY(use->isEnabled());
    QVERIFY(!dialog->running());
    QVERIFY(dialog->findChild<QLabel*>("status")->text().startsWith("From the book"));
    const quirmel::AnyWheel shown =
        quirmel::ReadWheel(dialog->findChild<QPlainTextEdit*>("wheel")->toPlainText().toStdString())
            .wheel;
    QCOMPARE(shown, dialog->result()->wheel);
    QVERIFY(quirmel::testing::SimpleCovers(shown, dialog->result()->numbers, 2, 2));
    dialog->findChild<QLineEdit*>("numbers")->setText("1-98");
    QTRY_VERIFY(!use->isEnabled());
    QVERIFY(!dialog->result());
  }

  // A ticket price is kept for its game and gives the stake beside the wheel's rows, in the
  // Build dialog, the replay's totals and the tickets' head.
  void ticketPriceGivesTheStake() {
    QTemporaryDir dir;
    WindowFixture f;
    auto* dialog = OpenDialog<quirmel::BuildDialog>(f, &quirmel::frmAmain::OpenBuildDialog);
    auto* game = dialog->findChild<QComboBox*>("game");
    auto* price = dialog->findChild<QDoubleSpinBox*>("ticketPrice");
    game->setCurrentText("6/49");
    dialog->findChild<QSpinBox*>("guarantee")->setValue(2);
    price->setValue(2.5);
    QCOMPARE(f.settings.value("ticketPrice/6-49").toDouble(), 2.5);
    QTRY_VERIFY(dialog->findChild<QLabel*>("status")->text().endsWith(
        QString(" Game 6/49. Stake: %1.").arg(quirmel::LocaleStake(19, 2.5))));
    game->setCurrentText("6/45");
    QCOMPARE(price->value(), 0.0);
    game->setCurrentText("6/49");
    QCOMPARE(price->value(), 2.5);
    QCOMPARE(f.settings.size(), 1);  // a game looked at is not a price set
    for (const QVariant& edited : {QVariant("lots"), QVariant(-3), QVariant(1e9)}) {
      f.settings["ticketPrice/6-45"] = edited;  // a settings file edited by hand
      game->setCurrentText("6/45");
      QCOMPARE(price->value(), 0.0);
      game->setCurrentText("6/49");
    }
    f.settings.remove("ticketPrice/6-45");

    const QStringList head = quirmel::TicketHead(dialog->result()->wheel, {"6/49", 2, 6}, 2.5);
    QCOMPARE(head.at(1), QString("19 tickets, game 6/49, guarantee 2 if 6"));
    QCOMPARE(head.at(2), "Cost: " + quirmel::LocaleStake(19, 2.5));
    QCOMPARE(quirmel::TicketHead(dialog->result()->wheel, {}, 0).size(), 3);  // no cost line

    QVERIFY(dialog->findChild<QPushButton*>("use")->isEnabled());
    QTest::mouseClick(dialog->findChild<QPushButton*>("use"), Qt::LeftButton);
    auto* replay = OpenDialog<quirmel::ReplayDialog>(f, &quirmel::frmAmain::OpenReplayDialog);
    replay->findChild<QComboBox*>("game")->setCurrentText("6/49");
    QCOMPARE(replay->findChild<QDoubleSpinBox*>("ticketPrice")->value(), 2.5);
    QVERIFY(replay->LoadHistory(WriteText(dir, "history.csv", kHistory)));
    QTRY_VERIFY(!replay->busy());
    const QString totals = replay->findChild<QLabel*>("totals")->text();
    QVERIFY2(totals.contains("Stake over the history  " + quirmel::LocaleStake(19 * 3, 2.5) +
                             " (19 a draw, 3 draws)"),
             qPrintable(totals));
    QVERIFY(totals.endsWith("Game  6/49"));
  }

  // Rows longer than the listing takes (the game 7/35) are refused before a search, not after it.
  void rowsTheWindowCannotListAreRefusedAtStart() {
    WindowFixture f;
    auto* dialog = OpenDialog<quirmel::BuildDialog>(f, &quirmel::frmAmain::OpenBuildDialog);
    dialog->findChild<QComboBox*>("game")->setCurrentText("7/35");
    dialog->Start();
    QVERIFY(!dialog->running());
    QCOMPARE(f.messages, QStringList{"The window lists rows of at most 6 numbers; rows of 7 are "
                                     "built by quirmel-cli build"});
  }

  // Stop, and closing the dialog, end a long search at once and keep the best wheel found.
  void stopKeepsTheBestWheel() {
    WindowFixture f;
    auto* dialog = OpenDialog<quirmel::BuildDialog>(f, &quirmel::frmAmain::OpenBuildDialog);
    dialog->findChild<QLineEdit*>("numbers")->setText("1-25");
    dialog->findChild<QSpinBox*>("seconds")->setValue(600);
    for (const bool byClosing : {false, true}) {
      dialog->Start();
      QTRY_VERIFY(dialog->findChild<QLabel*>("status")->text().contains("rows."));
      QElapsedTimer stopping;
      stopping.start();
      if (byClosing) {
        dialog->close();
        QVERIFY(dialog->result().has_value());
      } else {
        QTest::mouseClick(dialog->findChild<QPushButton*>("stop"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->result().has_value(), 1000);
      }
      QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
      QVERIFY(dialog->result()->stopped && dialog->result()->covered);
      QVERIFY(!dialog->running());
    }
  }

  // With a game of extra balls, the replay reads them and its table shows them after the draw.
  void replayShowsTheExtraBalls() {
    QTemporaryDir dir;
    WindowFixture f;
    auto* dialog = ReplayOfTheKey123(f);
    dialog->findChild<QComboBox*>("game")->setCurrentText("5/50+2/12");
    QVERIFY(dialog->LoadHistory(
        WriteText(dir, "euro.csv", "Date,N1,N2,N3,N4,N5,E1,E2\n2026-12-01,3,9,17,28,33,4,11\n")));
    QTRY_VERIFY(!dialog->busy());
    QAbstractItemModel* table = dialog->findChild<QTableView*>("draws")->model();
    QCOMPARE(table->index(0, 2).data().toString(), QString("03 09 17 28 33 + 04 11"));
    QVERIFY(f.messages.isEmpty());
  }

  // The table and both charts show the engine's replay; Export CSV writes the command line's CSV;
  // a refused history changes nothing.
  void replayShowsTheEngineFigures() {
    QTemporaryDir dir;
    WindowFixture f;
    auto* dialog = ReplayOfTheKey123(f);
    QVERIFY(dialog != nullptr);
    f.fileAnswer = WriteText(dir, "history.csv", kHistory);
    QTest::mouseClick(dialog->findChild<QPushButton*>("openHistory"), Qt::LeftButton);
    QTRY_VERIFY(!dialog->busy());

    const quirmel::DrawReadResult read = quirmel::ReadDraws(kHistory.toStdString(), {});
    const quirmel::AnyWheel wheel = quirmel::StateWheel(f.state);
    const quirmel::DrawReplay replay = quirmel::ReplayDraws(wheel, read.draws, 6);
    QAbstractItemModel* table = dialog->findChild<QTableView*>("draws")->model();
    const auto cell = [table](int row, int column) { return table->index(row, column).data(); };
    QCOMPARE(table->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
      const quirmel::DrawOutcome& outcome = replay.draws[static_cast<std::size_t>(row)];
      QCOMPARE(cell(row, 3).toInt(), outcome.best);
      for (int j = 6; j >= 2; --j)
        QCOMPARE(cell(row, 4 + 6 - j).toLongLong(), outcome.rows[static_cast<std::size_t>(j)]);
    }
    QCOMPARE(cell(0, 2).toString(), QString("01 02 03 20 21 22"));
    table->sort(3, Qt::DescendingOrder);  // the best draw first, as a click on Best shows it
    QCOMPARE(cell(0, 3).toInt(),
             std::max_element(replay.draws.begin(), replay.draws.end(), [](auto& a, auto& b) {
               return a.best < b.best;
             })->best);

    auto* bars = qobject_cast<QBarSeries*>(
        dialog->findChild<QChartView*>("byLevel")->chart()->series().front());
    for (int level = 0; level <= 6; ++level)
      QCOMPARE(bars->barSets().front()->at(level), qreal(replay.totals.bestTotals[level]));
    auto* line = qobject_cast<QLineSeries*>(
        dialog->findChild<QChartView*>("overTime")->chart()->series().front());
    QCOMPARE(line->count(), 3);
    for (int i = 0; i < 3; ++i)
      QCOMPARE(line->at(i).y(), qreal(replay.draws[static_cast<std::size_t>(i)].best));
    // Each number's times drawn, counted from the file, under the wheel's numbers or the others.
    auto* drawn = qobject_cast<QAbstractBarSeries*>(
        dialog->findChild<QChartView*>("frequencies")->chart()->series().front());
    const QBarSet* yours = drawn->barSets().at(0);
    const QBarSet* others = drawn->barSets().at(1);
    for (int number = 1; number <= yours->count(); ++number) {
      int64_t times = 0;
      for (const quirmel::Draw& d : read.draws)
        times += std::count(d.numbers.begin(), d.numbers.end(), number);
      const bool inWheel = std::count(wheel.numbers.begin(), wheel.numbers.end(), number) > 0;
      QCOMPARE(yours->at(number - 1), inWheel ? qreal(times) : 0);
      QCOMPARE(others->at(number - 1), inWheel ? 0 : qreal(times));
    }

    f.fileAnswer = dir.filePath("replay.csv");
    QTest::mouseClick(dialog->findChild<QPushButton*>("exportCsv"), Qt::LeftButton);
    QCOMPARE(ReadText(f.fileAnswer).toStdString(), quirmel::ReplayCsv(read.draws, replay, 6));

    QVERIFY(dialog->LoadHistory(WriteText(dir, "bad.csv", "1 2 3 4 5 6\n1 2 3 4 5 100\n")));
    QTRY_VERIFY(!dialog->busy());
    QVERIFY2(f.messages.size() == 1 && f.messages.front().contains("bad.csv:2:"),
             qPrintable(f.messages.join('|')));
    QCOMPARE(table->rowCount(), 3);
  }

  // The listed wheel as tickets: a PDF of whole pages, one ticket per row, and the CSV the engine
  // writes for online forms.
  void ticketsPrintedAndExported() {
    QTemporaryDir dir;
    WindowFixture f;
    f.Fill({"1", "2", "3"}, "49", "100");
    f.Click("cmdElabora");
    const quirmel::AnyWheel wheel = quirmel::StateWheel(f.state);
    f.pdfAnswer = dir.filePath("tickets.pdf");
    f.window->PrintTickets();
    QFile pdf(f.pdfAnswer);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.endsWith("%%EOF\n") || bytes.trimmed().endsWith("%%EOF"));
    const auto pages =
        QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
    QCOMPARE(pages, quirmel::LayOutTickets(wheel, 3).pages);
    f.fileAnswer = dir.filePath("tickets.csv");
    f.window->ExportTickets();
    QCOMPARE(ReadText(f.fileAnswer).toStdString(), quirmel::TicketsCsv(wheel));
    QVERIFY(f.messages.isEmpty());
  }

  // The Fano plane meets every pair; at 3 if 3 its holes are the 28 triples that are not rows.
  void holesOfTheFanoPlane() {
    QTemporaryDir dir;
    WindowFixture f;
    QVERIFY(f.window->OpenWheel(WriteText(dir, "fano.txt", kFano)));
    auto* dialog = OpenDialog<quirmel::HolesDialog>(f, &quirmel::frmAmain::OpenHolesDialog);
    QVERIFY(dialog != nullptr);
    dialog->findChild<QSpinBox*>("drawSize")->setValue(3);
    for (const int guarantee : {2, 3}) {
      dialog->findChild<QSpinBox*>("guarantee")->setValue(guarantee);
      dialog->Start();
      QTRY_VERIFY(!dialog->running() && dialog->result());
      QStringList expected;
      for (int a = 1; a <= 7; ++a)
        for (int b = a + 1; b <= 7; ++b)
          for (int c = b + 1; c <= 7; ++c) {
            const QByteArray triple = QByteArray::number(a) + ' ' + QByteArray::number(b) + ' ' +
                                      QByteArray::number(c) + '\n';
            if (guarantee == 3 && !kFano.contains(triple))
              expected << QString::asprintf("%02d %02d %02d", a, b, c);
          }
      QCOMPARE(dialog->result()->holes, qint64(expected.size()));
      QString listed = dialog->findChild<QPlainTextEdit*>("holes")->toPlainText();
      QCOMPARE(listed.split('\n', Qt::SkipEmptyParts), expected);
    }
    QVERIFY(f.messages.isEmpty());
  }
};

QTEST_MAIN(WindowToolsTest)
#include "window_tools_test.moc"
