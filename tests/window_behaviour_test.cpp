// What each event of the window does, with the message boxes answered by the fixture.

#include <QAction>
#include <QClipboard>
#include <QTimer>
#include <QtTest>

#include "tests/window_fixture.h"

using quirmel::testing::WindowFixture;

namespace {

using namespace quirmel;  // the messages: kMsg...

// Runs `action` at the window's first turn inside a running analysis.
void DuringRun(const std::function<void()>& action) {
  QTimer::singleShot(0, action);
}

// Shows the window with a wheel whose 6-number check over 99 takes long: 1,120,529,256 subsets.
void LongWheel(WindowFixture& f) {
  QVERIFY(f.ShowActive());
  f.Fill({"1", "2", "3", "4", "5", "6"}, "99", "99");
  f.Click("cmdElabora");
}

// The window's menu items (open, save, print, the tools), each named "...".
QList<QAction*> MenuItems(WindowFixture& f) {
  QList<QAction*> items;
  for (QAction* item : f.window->findChildren<QAction*>(Qt::FindDirectChildrenOnly))
    if (item->text().endsWith("...")) items << item;
  return items;
}

// Records every caption a label shows while it is painted.
class CaptionLog : public QObject {
 public:
  explicit CaptionLog(QLabel* label) : label_(label) { label->installEventFilter(this); }
  QStringList captions;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) captions << label_->text();
    return false;
  }

 private:
  QLabel* label_;
};

}  // namespace

class WindowBehaviourTest : public QObject {
  Q_OBJECT

 private slots:
  void stepperCycles() {
    WindowFixture f;
    QStringList shown;
    for (const char* button : {"cmdMenoB", "cmdMenoB", "cmdMenoB", "cmdMenoB", "cmdMenoB",
                               "cmdPiuB", "cmdPiuB", "cmdPiuB", "cmdPiuB", "cmdPiuB"}) {
      f.Click(button);
      shown << f.Label("lblGarFlag")->text();
    }
    QCOMPARE(shown, QStringList({"6", "5", "4", "3", "2", "3", "4", "5", "6", "2"}));
    QCOMPARE(f.state.filterLevel, int16_t{2});
  }

  void resetFromEachLabel_data() {
    QTest::addColumn<QString>("label");
    for (const char* label : {"Label1(0)", "Label1(1)", "Label1(2)"})
      QTest::newRow(label) << label;
  }

  void resetFromEachLabel() {
    QFETCH(QString, label);
    WindowFixture f;
    QVERIFY(f.ShowActive());
    f.Fill({"5", "12", "27", "40"}, "49", "20");
    f.Click("cmdElabora");
    const QString listing = f.Listing();
    f.Box("txtNumeri")->setFocus();
    f.Click(label);
    for (QLineEdit* box : f.window->findChildren<QLineEdit*>())
      QVERIFY(box->text().isEmpty());
    QCOMPARE(f.state.combinationCount, int16_t{0});
    QCOMPARE(f.state.keyCount, int16_t{4});
    QVERIFY(f.state.wheel.has_value());
    QCOMPARE(f.Listing(), listing);
    QCOMPARE(QApplication::focusWidget(), f.Key(1));
    // The wheel is still listed, but the guarantee buttons want a new one.
    f.Box("txtNumeri")->setText("49");
    f.Click("cmdGar(3)");
    QCOMPARE(f.messages, QStringList{QString(kMsgDevelopFirst)});
    QVERIFY(f.Report().isEmpty());
  }

  // Only digits and backspace reach the boxes, two at most; Enter in the pool boxes does nothing.
  void digitFilters() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    for (const char* name : {"txtChiave(1)", "txtChiave(4)", "txtNumeri", "txtCombinazioni"}) {
      QLineEdit* box = f.Box(name);
      box->setFocus();
      QTest::keyClicks(box, "a-. Z0x79");
      QTest::keyClick(box, Qt::Key_Backspace);
      QCOMPARE(box->text(), QString("0"));
    }
    for (const char* name : {"txtNumeri", "txtCombinazioni"}) {
      f.Box(name)->setFocus();
      QTest::keyClick(f.Box(name), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), f.Box(name));
    }
  }

  // The digit filter lets the editing shortcuts through; a paste that is not one or two digits
  // is refused whole.
  void editingShortcutsAndPastes() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    QLineEdit* box = f.Box("txtNumeri");
    box->setFocus();
    QTest::keyClicks(box, "42");
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);  // a third digit does not fit
    QCOMPARE(box->text(), QString("42"));
    for (const char* pasted : {"4a", "-1", " 7", "x", "\u0663"}) {
      box->clear();
      box->insert(QString::fromUtf8(pasted));
      QCOMPARE(box->text(), QString());
    }
  }

  void enterWalksTheKeyBoxesAndSelects() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    for (int index = 1; index <= 6; ++index)
      f.Key(index)->setText(QString::number(10 + index));
    f.Key(3)->setFocus();
    QTest::keyClick(f.Key(3), Qt::Key_Return);
    QCOMPARE(f.Key(4)->selectedText(), QString("14"));  // the focus, its number selected
    f.Key(6)->setFocus();
    QTest::keyClick(f.Key(6), Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), f.Key(1));
    QCOMPARE(f.Key(1)->selectedText() + f.Key(6)->text(), QString("1116"));  // nothing inserted
    QTest::keyClicks(f.Key(1), "8");  // the next digit replaces the selected number
    QCOMPARE(f.Key(1)->text(), QString("8"));
    QTest::keyClick(f.Key(1), Qt::Key_Tab);  // Tab and a click select too
    QCOMPARE(f.Key(2)->selectedText(), QString("12"));
    QTest::mouseClick(f.Key(5), Qt::LeftButton, {}, QPoint(30, 16));
    QTRY_COMPARE(f.Key(5)->selectedText(), QString("15"));
  }

  void generateRefusals_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("pool");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("listingKept");
    const auto row = [](const char* name, const QStringList& keys, const char* pool,
                        const char* count, const QString& message, const char* focus, bool kept) {
      QTest::newRow(name) << keys << QString(pool) << QString(count) << message << QString(focus)
                          << kept;
    };
    // clang-format off
    row("key out of range",  {"60", "5"},      "49", "10", kMsgAllowedNumbers,   "cmdElabora",      true);  // the focus stays
    row("two keys",          {"1", "", "2"},   "49", "10", kMsgAtLeastThree, "txtChiave(1)",    false);
    row("no pool, no count", {"1", "2", "3"},  "",   "",   kMsgPoolSize,  "txtNumeri",       false);
    row("beyond the mass",   {"1", "2", "3"},  "20", "21", kMsgExceedsPool,  "txtCombinazioni", false);
    // clang-format on
  }

  void generateRefusals() {
    QFETCH(QStringList, keys);
    QFETCH(QString, pool);
    QFETCH(QString, count);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(bool, listingKept);
    WindowFixture f;
    QVERIFY(f.ShowActive());
    f.Fill({"1", "2", "3"}, "9", "3");
    f.Click("cmdElabora");
    f.Area("txtReport")->setPlainText("earlier report");
    const QString listing = f.Listing();
    const quirmel::Wheel wheel = *f.state.wheel;

    f.Fill(keys, pool, count);
    f.Box("txtCombinazioni")->setFocus();
    f.Click("cmdElabora");

    QCOMPARE(f.messages, QStringList{message});
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(f.Listing(), listingKept ? listing : QString());
    QCOMPARE(f.Report(), QString("earlier report"));
    QVERIFY(*f.state.wheel == wheel);
    if (focus.startsWith("txtChiave")) QCOMPARE(f.Key(1)->selectedText(), f.Key(1)->text());
  }

  void guaranteeRefusals() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    f.Box("txtNumeri")->setText("49");
    f.Click("cmdGar(3)");  // nothing developed yet
    QCOMPARE(f.messages.takeFirst(), QString(kMsgDevelopFirst));

    f.Fill({"1", "2", "3"}, "9", "5");
    f.Click("cmdElabora");
    f.Fill({"1", "2", "3", "4"}, "9", "12");
    f.Click("cmdElabora");  // refused after storing 4 keys and 12 combinations
    QCOMPARE(f.messages.takeFirst(), QString(kMsgExceedsPool));
    f.Box("txtNumeri")->setText("9");
    f.Click("cmdGar(3)");  // the stored wheel no longer matches the counts
    QCOMPARE(f.messages.takeFirst(), QString(kMsgDevelopFirst));

    f.Fill({"1", "2", "3"}, "9", "5");
    f.Click("cmdElabora");
    f.Label("lblCt")->setText("77");
    f.Box("txtNumeri")->clear();
    f.Click("cmdGar(3)");
    QCOMPARE(f.messages, QStringList{QString(kMsgPoolSize)});
    QCOMPARE(QApplication::focusWidget(), f.Box("txtNumeri"));
    QCOMPARE(f.Label("lblCt")->text(), QString("77"));
    QVERIFY(!f.Button("cmdAbort")->isEnabled());
    QVERIFY(f.Report().isEmpty());
  }

  void typicalUseTwiceInARow() {
    WindowFixture f;
    CaptionLog counter(f.Label("lblCt"));
    QVERIFY(f.ShowActive());
    f.Fill({"5", "12", "27", "40"}, "49", "20");
    f.Area("txtReport")->setPlainText("old");
    f.Click("cmdElabora");
    QVERIFY(f.Report().isEmpty());
    QCOMPARE(f.Listing().section('\n', 0, 0), QString("05 12 27 40"));
    QCOMPARE(f.Listing().section('\n', 10, 10), QString("01 15 22 37"));
    f.Click("cmdGar(3)");
    f.Click("cmdGar(3)");
    QVERIFY(f.messages.isEmpty());
    counter.captions.erase(std::unique(counter.captions.begin(), counter.captions.end()),
                           counter.captions.end());  // a label may be painted twice
    QCOMPARE(counter.captions.mid(0, 4), QStringList({"0", "10000", "18424", "0"}));
    QCOMPARE(f.Label("lblCt")->text(), QString("18424"));
    const QString report = f.Report();
    QVERIFY(report.startsWith("Hits 03 - Integral: 18"));
    const QString one = report.left(report.size() / 2);
    QCOMPARE(report, one + one);
    QVERIFY(one.endsWith("%\n\n"));
    QCOMPARE(one.count('\n'), 5);  // header, levels 3 and 2, covered, empty line
    QVERIFY(!f.Button("cmdAbort")->isEnabled());
    QVERIFY(!f.state.abortRequested);
  }

  void poolSmallerThanSubsetAddsAnEmptyLine() {
    WindowFixture f;
    f.Fill({"1", "2", "3"}, "5", "3");
    f.Click("cmdElabora");
    f.Box("txtNumeri")->setText("4");  // read afresh by the analysis
    f.Click("cmdGar(6)");
    QCOMPARE(f.Report(), QString("\n"));
    QCOMPARE(f.Label("lblCt")->text(), QString("0"));
    QCOMPARE(f.state.poolSize, int16_t{4});
  }

  void stopDuringALongRun() {
    WindowFixture f;
    LongWheel(f);
    f.Area("txtReport")->setPlainText("kept");
    bool enabledDuringRun = false;
    DuringRun([&] {
      enabledDuringRun = f.Button("cmdAbort")->isEnabled();
      f.Click("cmdAbort");
      QVERIFY(!f.Button("cmdAbort")->isEnabled());  // at once, before the next progress point
      QVERIFY(f.state.abortRequested);
    });
    f.Click("cmdGar(6)");
    QVERIFY(enabledDuringRun);
    QCOMPARE(f.messages, QStringList{QString(kMsgInterrupted)});
    QCOMPARE(f.Report(), QString("kept"));
    QVERIFY(!f.state.abortRequested);
    QVERIFY(!f.Button("cmdAbort")->isEnabled());
    const int shown = f.Label("lblCt")->text().toInt();
    QVERIFY(shown >= 10000 && shown % 10000 == 0);
    QVERIFY(shown < 1120529256);
  }

  void inputsThatWouldChangeTheWheelWaitDuringARun() {
    WindowFixture f;
    LongWheel(f);
    const QString listing = f.Listing();
    const quirmel::Wheel wheel = *f.state.wheel;
    f.fileAnswer = "/nonexistent/wheel.txt";
    f.pdfAnswer = "/nonexistent/report.pdf";
    DuringRun([&] {
      f.Fill({"7", "8", "9"}, "12", "5");
      f.Click("cmdElabora");
      f.Click("cmdGar(2)");
      f.Click("Label1(2)");
      QCOMPARE(f.Key(1)->text(), QString("7"));     // the reset label did nothing
      QVERIFY(!f.window->OpenWheel(f.fileAnswer));  // nor do the file actions
      f.window->OpenWheelChosen();
      f.window->SaveWheelAs();
      f.window->SaveReportAs();
      f.window->PrintReport();
      QCOMPARE(MenuItems(f).size(), 9);
      for (QAction* item : MenuItems(f))
        QVERIFY2(!item->isEnabled(), qPrintable(item->text()));
      f.Click("cmdAbort");
    });
    f.Click("cmdGar(6)");
    for (QAction* item : MenuItems(f))
      QVERIFY2(item->isEnabled(), qPrintable(item->text()));
    QCOMPARE(f.messages, QStringList{QString(kMsgInterrupted)});  // no nested analysis, no refusal
    QCOMPARE(f.dialogs, 0);
    QCOMPARE(f.Listing(), listing);
    QVERIFY(*f.state.wheel == wheel);
    QCOMPARE(f.state.combinationCount, int16_t{99});
    QVERIFY(f.Report().isEmpty());
  }

  void clearAndStepperActDuringARun() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    f.Fill({"5", "12", "27", "40"}, "49", "20");
    f.Click("cmdElabora");
    f.Area("txtReport")->setPlainText("old report");
    DuringRun([&] {
      f.Click("cmdClearAlll");
      f.Click("cmdPiuB");
    });
    f.Click("cmdGar(6)");
    QVERIFY(f.messages.isEmpty());
    QVERIFY(f.Listing().isEmpty());
    QCOMPARE(f.state.filterLevel, int16_t{3});
    const QString report = f.Report();
    QVERIFY2(report.startsWith("Hits 06 - Integral: 13"), qPrintable(report));
    QVERIFY(!report.contains("p. 2 -"));  // the level of the moment the report is made
    QCOMPARE(f.Label("lblCt")->text(), QString("13983816"));
  }

  void closingDuringARunEndsItQuietly() {
    WindowFixture f;
    LongWheel(f);
    DuringRun([&] { f.window->close(); });
    f.Click("cmdGar(6)");
    QVERIFY(f.messages.isEmpty());
    QVERIFY(!f.window->isVisible());
    QVERIFY(!f.state.abortRequested);
    QVERIFY(!f.window->analysisRunning());
    QVERIFY(f.Report().isEmpty());
  }

  // The link turns red under the pointer and back over the window's bare surface only.
  void siteLink() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    QLabel* link = f.Label("lblSito");
    const auto colour = [&] { return link->palette().color(QPalette::WindowText).name(); };
    QTest::mouseMove(link, QPoint(10, 8));
    QTRY_COMPARE(colour(), QString("#ff0000"));
    QTest::mouseMove(f.Area("txtReport"), QPoint(50, 50));
    QTest::qWait(20);
    QCOMPARE(colour(), QString("#ff0000"));
    QTest::mouseMove(f.window.get(), QPoint(3, 200));  // the bare margin left of the frames
    QTRY_COMPARE(colour(), QString("#15414f"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(f.opened, QList<QUrl>{QUrl(QString(quirmel::kSiteAddress) + "/")});
  }
};

QTEST_MAIN(WindowBehaviourTest)
#include "window_behaviour_test.moc"
