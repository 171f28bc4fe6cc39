// The window as it opens: every control inside its frame and clear of its neighbours, the
// captions, fonts that resolve, the tab order and the start-up state.

#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "tests/window_fixture.h"
#include "window/fonts.h"

using quirmel::testing::WindowFixture;

namespace {

// The named controls: every child with an objectName that Qt did not give it.
QList<QWidget*> Controls(const WindowFixture& f) {
  QList<QWidget*> controls;
  for (QWidget* child : f.window->findChildren<QWidget*>()) {
    if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_")) controls << child;
  }
  return controls;
}

QString TextOf(QWidget* control) {
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  return {};
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  // Each control lies inside its parent, and no two siblings overlap, but for the stepper's
  // arrows, which are drawn over the edges of the filter label between them.
  void controlsInsideTheirFramesAndApart() {
    WindowFixture f;
    const QList<QWidget*> controls = Controls(f);
    QCOMPARE(controls.size(), 35);
    for (QWidget* control : controls) {
      QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
               qPrintable(control->objectName()));
      for (QWidget* other : controls) {
        if (other == control || other->parentWidget() != control->parentWidget()) continue;
        const QStringList pair = {control->objectName(), other->objectName()};
        const bool stepper =
            pair.contains("lblGarFlag") && (pair.contains("cmdMenoB") || pair.contains("cmdPiuB"));
        QVERIFY2(stepper || !control->geometry().intersects(other->geometry()),
                 qPrintable(control->objectName() + " overlaps " + other->objectName()));
      }
    }
  }

  void captionsAndFrames() {
    WindowFixture f;
    const bool webdings = quirmel::HasSymbolFont();
    // clang-format off
    const QList<std::tuple<const char*, const char*, QString>> rows = {
        {"Label1(2)",    "Frame2",    "CLICK HERE TO RESET KEY"},
        {"Label1(0)",    "Frame2",    "Numbers"},
        {"Label1(1)",    "Frame2",    "Combinations"},
        {"cmdElabora",   "Frame1(1)", "GENERATE"},
        {"cmdGar(6)",    "Frame1(0)", "6"},
        {"cmdAbort",     "Frame1(3)", "STOP"},
        {"cmdMenoB",     "Frame1(5)", webdings ? "3" : QString(QChar(0x25C0))},
        {"lblGarFlag",   "Frame1(5)", "2"},
        {"lblSito",      "Frame5",    quirmel::kSiteAddress},
        {"lblCt",        "Frame1(2)", "0"},
        {"cmdClearAlll", "Frame1(2)", "CLEAR"}};
    // clang-format on
    for (const auto& [name, frame, text] : rows) {
      QWidget* control = f.Find(name);
      QVERIFY2(control, name);
      QCOMPARE(control->parentWidget()->objectName(), QString(frame));
      QCOMPARE(TextOf(control), text);
    }
    // The guarantee buttons run 6 to 2 from the left.
    for (int index = 6; index > 2; --index)
      QVERIFY(f.Gar(index)->x() < f.Gar(index - 1)->x());
    QCOMPARE(f.window->windowTitle(), QString("  QUIRMEL"));
    QVERIFY(f.window->minimumSize() == f.window->maximumSize() &&
            !(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));  // fixed size
  }

  // Every font resolves to an installed family at the size asked for; demi-bold ones have a
  // semibold face; the report is fixed-pitch, so its columns line up.
  void fontsResolve() {
    WindowFixture f;
    for (QWidget* control : Controls(f)) {
      const QFontInfo info(control->font());
      QVERIFY2(QFontDatabase::families().contains(info.family()), qPrintable(info.family()));
      QCOMPARE(info.pixelSize(), control->font().pixelSize());
      if (control->font().weight() == QFont::DemiBold)
        QVERIFY(QFontDatabase::styles(info.family()).join(' ').contains("Semi"));
    }
    QVERIFY(QFontInfo(f.Area("txtReport")->font()).fixedPitch());
  }

  // Every blank of a listed row leaves more ink-free room than any gap inside a number, so no
  // two numbers run together ("09 16" once read as "0916"), and a row stays on one line.
  void listingBlanksShow() {
    QTemporaryDir dir;
    QFile file(dir.filePath("rows.txt"));
    const QByteArray rows =
        "01 03 07 09 16 18\n11 12 14 16 17 19\n01 15 18 29 45 49\n"
        "06 07 11 22 24 47\n40 41 44 48 49 10\n";
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(rows) == rows.size());
    file.close();
    WindowFixture f;
    QVERIFY(f.window->OpenWheel(file.fileName()));
    QVERIFY(f.ShowActive());
    QPlainTextEdit* listing = f.Area("txtLista");
    const QImage image = listing->viewport()->grab().toImage();
    for (QTextBlock block = listing->document()->begin(); block.isValid(); block = block.next()) {
      QCOMPARE(block.layout()->lineCount(), 1);
      const QRect line = listing->cursorRect(QTextCursor(block)).adjusted(-2, 0, 0, 0);
      QList<bool> ink(image.width() / image.devicePixelRatio(), false);
      for (int x = 0; x < ink.size(); ++x)
        for (int y = line.top(); y <= line.bottom(); ++y)
          ink[x] = ink[x] || qGray(image.pixel(x, y)) < 160;
      QList<int> gaps;  // runs of ink-free columns between the first and the last ink
      for (int x = int(ink.indexOf(true)), run = 0; x <= int(ink.lastIndexOf(true)); ++x) {
        if (ink[x] && run > 0) gaps << run;
        run = ink[x] ? 0 : run + 1;
      }
      std::sort(gaps.rbegin(), gaps.rend());
      QVERIFY2(gaps.size() > 5 && gaps[4] >= gaps[5] + 2, qPrintable(block.text()));
    }
  }

  void startUp() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    QVERIFY(f.state.filterLevel == 2 && !f.state.wheel && !f.Button("cmdAbort")->isEnabled());
    for (QLineEdit* box : f.window->findChildren<QLineEdit*>())
      QVERIFY(box->text().isEmpty() && box->maxLength() == 2);
    QVERIFY(f.Listing().isEmpty() && f.Report().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.Key(1));
    for (QAbstractButton* button : f.window->findChildren<QAbstractButton*>())
      QVERIFY(!qobject_cast<QPushButton*>(button)->autoDefault());
  }

  void tabWalk() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    const QStringList order = {"txtChiave(1)", "txtChiave(2)", "txtChiave(3)", "txtChiave(4)",
                               "txtChiave(5)", "txtChiave(6)", "txtNumeri",    "txtCombinazioni",
                               "cmdElabora",   "txtLista",     "cmdGar(2)",    "cmdGar(3)",
                               "cmdGar(4)",    "cmdGar(5)",    "cmdGar(6)",    "cmdMenoB",
                               "cmdPiuB",      "txtReport",    "cmdClearAlll", "txtChiave(1)"};
    for (int step = 1; step < order.size(); ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), order[step]);
    }
    // While STOP is enabled it takes its place between "6" and the stepper.
    f.Button("cmdAbort")->setEnabled(true);
    f.Gar(6)->setFocus();
    QTest::keyClick(f.Gar(6), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("cmdAbort"));
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
