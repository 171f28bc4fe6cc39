// Wheels and reports in files, through the window: open, drop, save and print. (That none of it
// acts while an analysis runs is in the behaviour test, with the rest of the re-entry rule.)

#include <sys/resource.h>
#include <sys/stat.h>

#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "tests/window_fixture.h"
#include "window/file_io.h"

using quirmel::testing::ReadText;
using quirmel::testing::WindowFixture;
using quirmel::testing::WriteText;

namespace {

const QByteArray kDesign = "# a ragged design\n1 2 3 4 5 6\n7,8,9\n10-11-12-13\n";

}  // namespace

class WindowFilesTest : public QObject {
  Q_OBJECT

 private slots:
  // An opened wheel is analysed by the guarantee buttons exactly as the engine analyses it.
  void openedWheelIsAnalysed() {
    QTemporaryDir dir;
    WindowFixture f;
    f.Fill({"5"}, "", "7");
    f.Area("txtReport")->setPlainText("old report");
    QVERIFY(f.window->OpenWheel(WriteText(dir, "design.txt", kDesign)));
    QCOMPARE(f.Listing(), QString("01 02 03 04 05 06\n07 08 09\n10 11 12 13"));
    QCOMPARE(f.Report(), QString());
    QCOMPARE(f.Box("txtNumeri")->text(), QString("13"));  // the largest number, as it was empty
    QCOMPARE(f.Key(1)->text() + f.Box("txtCombinazioni")->text(), QString("57"));  // as they were

    f.Click("cmdGar(3)");
    const quirmel::CoverageStats stats = quirmel::AnalyseCoverage(*f.state.wheel, 3, 6, 13, 3, {});
    const std::string report = quirmel::BuildCoverageReport(3, stats, 2, {});
    QCOMPARE(f.Report(), QString::fromStdString(report).replace("\r\n", "\n") + "\n");
    QVERIFY(f.messages.isEmpty());
  }

  // An opened wheel's match counts are exact: 100 copies of one row are 100 rows at level 6,
  // where the capped table of a developed wheel would say 60.
  void openedWheelCountsAreExact() {
    QTemporaryDir dir;
    WindowFixture f;
    QVERIFY(f.window->OpenWheel(
        WriteText(dir, "copies.txt", QByteArray("1 2 3 4 5 6\n").repeated(100))));
    f.Click("cmdGar(6)");
    QVERIFY2(f.Report().startsWith("Hits 06 - Integral: 1\np. 6 - min. 100 | max. 100 ..."),
             qPrintable(f.Report()));
  }

  void largestWheelOpens() {
    QTemporaryDir dir;
    WindowFixture f;
    QVERIFY(
        f.window->OpenWheel(WriteText(dir, "largest.txt", QByteArray("1 2\n").repeated(32767))));
    QCOMPARE(f.state.combinationCount, int16_t{32767});
    QCOMPARE(quirmel::StateWheel(f.state).rowCount(), std::size_t{32767});
  }

  // Hostile files: refused with the file's name and why, the window's wheel left as it was.
  // A "special" row opens that instead of a file holding the text: a pipe without a writer, a
  // device without end, a folder.
  void refusedFilesChangeNothing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("special");
    QTest::addColumn<QString>("says");
    const QString notRegular =
        " cannot be opened: it is not a regular file (a folder, a device or a pipe)";
    QByteArray utf16 = "\xFF\xFE";
    for (const char c : QByteArray("1 2 3\n4 5 6\n"))
      utf16 += QByteArray(1, c) + '\0';
    // clang-format off
    QTest::newRow("seven numbers") << QByteArray("1 2 3\n\n1 2 3 4 5 6 7\n") << "" << ":3: the window takes rows of at most 6 numbers";
    QTest::newRow("not a number")  << QByteArray("1 2 3\n4 five 6\n")        << "" << ":2:3: 'five' is not a whole decimal number";
    QTest::newRow("no rows")       << QByteArray("# nothing\n")              << "" << ":1: the wheel holds no rows";
    QTest::newRow("32,768 rows")   << QByteArray("1 2\n").repeated(32768)    << "" << ":32768: the window takes at most 32,767 rows";
    QTest::newRow("UTF-16")        << utf16                                  << "" << "...(the file looks like UTF-16 text: save it as UTF-8)";
    QTest::newRow("binary")        << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8).repeated(64) << "" << "...(the file looks binary, not text)";
    QTest::newRow("pipe")          << QByteArray()                           << "fifo"      << notRegular;
    QTest::newRow("device")        << QByteArray()                           << "/dev/zero" << notRegular;
    QTest::newRow("folder")        << QByteArray()                           << "."         << notRegular;
    // clang-format on
  }
  void refusedFilesChangeNothing() {
    QFETCH(QByteArray, text);
    QFETCH(QString, special);
    QFETCH(QString, says);
    QTemporaryDir dir;
    WindowFixture f;
    f.Fill({"1", "2", "3"}, "10", "5");
    f.Click("cmdElabora");
    const QString listing = f.Listing();
    QString path = WriteText(dir, "refused.txt", text);
    if (special == "fifo") {
      path = dir.filePath("fifo");
      QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (special == ".") {
      path = dir.path();
    } else if (!special.isEmpty()) {
      path = special;
    }
    QVERIFY(!f.window->OpenWheel(path));
    QCOMPARE(f.messages.size(), 1);
    if (says.startsWith("..."))  // the end of the message only
      QVERIFY2(f.messages.front().endsWith(says.mid(3)), qPrintable(f.messages.front()));
    else
      QCOMPARE(f.messages.front(), path + says);
    QCOMPARE(f.Listing(), listing);
    QCOMPARE(f.state.combinationCount, int16_t{5});
  }

  void dropOpensTheFile() {
    QTemporaryDir dir;
    WindowFixture f;
    QVERIFY(f.ShowActive());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(WriteText(dir, "dropped.txt", kDesign))});
    const QPoint inside(300, 300);
    QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(f.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(inside, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(f.window.get(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(f.state.combinationCount, int16_t{0});  // opened once the drop has been answered
    QTRY_COMPARE(f.state.combinationCount, int16_t{3});
    QCOMPARE(f.state.keyCount, int16_t{6});
  }

  void savedWheelReadsBackEqual() {
    QTemporaryDir dir;
    WindowFixture f;
    f.fileAnswer = dir.filePath("wheel.txt");
    f.window->SaveWheelAs();  // no wheel yet
    QCOMPARE(f.messages, QStringList{quirmel::kMsgDevelopFirst});
    f.Fill({"5", "12", "27", "40"}, "49", "20");
    f.Click("cmdElabora");
    f.Area("txtLista")->setPlainText("edited by hand");  // the state's wheel is saved, not the box
    f.window->SaveWheelAs();
    const quirmel::WheelReadResult read = quirmel::ReadWheel(ReadText(f.fileAnswer).toStdString());
    QVERIFY(!read.error);
    QCOMPARE(read.wheel.rowCount(), std::size_t{20});
    QVERIFY(read.wheel == quirmel::StateWheel(f.state));

    // Opened again and saved again: the same file. A developed row repeating a number (key 11 1 5
    // over 10 gives 02 02 06) cannot be opened from a file, so it is not saved.
    const QByteArray saved = ReadText(f.fileAnswer);
    QVERIFY(f.window->OpenWheel(f.fileAnswer));
    f.fileAnswer = dir.filePath("again.txt");
    f.window->SaveWheelAs();
    QCOMPARE(ReadText(f.fileAnswer), saved);
    f.Fill({"11", "1", "5"}, "10", "5");
    f.Click("cmdElabora");
    QVERIFY(f.Listing().contains("02 02 06"));
    f.fileAnswer = dir.filePath("repeated.txt");
    f.window->SaveWheelAs();
    QVERIFY(!QFile::exists(f.fileAnswer));
    QCOMPARE(f.messages.size(), 2);
    QVERIFY2(f.messages.back().contains("number 02 is repeated"), qPrintable(f.messages.back()));
  }

  // A disk that fills part-way through a save: a failure with the system's reason, and the old
  // file as it was. (A file size limit stands in for the full disk.)
  void fullDiskKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = WriteText(dir, "old.txt", "old\n");
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
    rlimit usual{};
    getrlimit(RLIMIT_FSIZE, &usual);
    rlimit small = usual;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const QString error = quirmel::WriteWholeFile(path, QByteArray(4000, 'x'), true);
    setrlimit(RLIMIT_FSIZE, &usual);
    QCOMPARE(error, path + " cannot be written: File too large");
    QCOMPARE(ReadText(path), QByteArray("old\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
  }

  // The report saved and printed; a place that cannot be written is reported, losing nothing.
  void reportSavedAndPrinted() {
    QTemporaryDir dir;
    WindowFixture f;
    f.Area("txtReport")->setPlainText("a report");
    f.fileAnswer = dir.path();  // a folder
    f.window->SaveReportAs();
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages.front().startsWith(dir.path() + " cannot be written: "));
    QCOMPARE(f.Report(), QString("a report"));
    f.fileAnswer = dir.filePath("report.txt");
    f.window->SaveReportAs();
    QCOMPARE(ReadText(f.fileAnswer), QByteArray("a report\n"));
    f.pdfAnswer = dir.filePath("report.pdf");
    f.window->PrintReport();
    QVERIFY(ReadText(f.pdfAnswer).startsWith("%PDF"));
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no part file left behind
    for (const QString& unwritable : {dir.path(), dir.filePath("missing/report.pdf")}) {
      f.pdfAnswer = unwritable;
      f.window->PrintReport();
      QVERIFY2(f.messages.back().startsWith(unwritable + " cannot be written: "),
               qPrintable(f.messages.back()));
    }
    QCOMPARE(f.messages.size(), 3);
  }
};

QTEST_MAIN(WindowFilesTest)
#include "window_files_test.moc"
