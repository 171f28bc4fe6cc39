// The window under hostile conditions: pastes and drops that bring nothing, and a display that
// cannot be reached.

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QProcess>
#include <QtTest>

#include "tests/window_fixture.h"

using quirmel::testing::WindowFixture;

class WindowHostileTest : public QObject {
  Q_OBJECT

 private slots:
  // With nothing on the clipboard or the selection, every way of pasting into the two large boxes
  // leaves them as they were; before, Qt dereferenced the missing clipboard and the program died.
  void pasteWithNothingToPaste() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    for (const auto mode : {QClipboard::Clipboard, QClipboard::Selection})
      QGuiApplication::clipboard()->clear(mode);
    for (const char* name : {"txtLista", "txtReport"}) {
      QPlainTextEdit* box = f.Area(name);
      box->setPlainText("kept");
      box->setFocus();
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
      QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
      QTest::mouseClick(box->viewport(), Qt::MiddleButton);
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, nullptr, Qt::LeftButton, {});
      QApplication::sendEvent(box->viewport(), &enter);
      QDropEvent drop(QPointF(10, 10), Qt::CopyAction, nullptr, Qt::LeftButton, {});
      QApplication::sendEvent(box->viewport(), &drop);
      QCOMPARE(box->toPlainText(), QString("kept"));
    }
  }

  // Any display that cannot be used gets the program's one-line hint and status 2, not an abort.
  void unusableDisplay_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    // clang-format off
    QTest::newRow("no server on DISPLAY")   << "DISPLAY"         << ":97";
    QTest::newRow("xcb without a DISPLAY")  << "QT_QPA_PLATFORM" << "xcb";
    QTest::newRow("unknown platform")       << "QT_QPA_PLATFORM" << "nonesuch";
    QTest::newRow("no Wayland compositor")  << "WAYLAND_DISPLAY" << "wayland-97";
    // clang-format on
  }
  void unusableDisplay() {
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(name);
    environment.insert(variable, value);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QUIRMEL_PROGRAM, {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(said.contains("no display to open its window on"), qPrintable(said));
  }
};

QTEST_MAIN(WindowHostileTest)
#include "window_hostile_test.moc"
