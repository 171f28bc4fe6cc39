// The window as it opens: every control where the design puts it, its fonts, the tab order and
// the start-up state.

#include <QFontDatabase>
#include <QFontInfo>
#include <QtTest>

#include "tests/window_fixture.h"
#include "window/fonts.h"

using quirmel::testing::WindowFixture;

namespace {

QString TextOf(QWidget* control) {
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text();
  if (auto* area = qobject_cast<QPlainTextEdit*>(control)) return area->toPlainText();
  if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
  return QStringLiteral("<unknown kind>");
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void controls_data() {
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    const auto row = [](const char* name, const char* in, int x, int y, int w, int h,
                        const QString& text = QString(), bool enabled = true) {
      QTest::newRow(name) << QString(in) << QRect(x, y, w, h) << text << enabled;
    };
    row("Frame2", "frmAmain", 10, 12, 439, 165);
    row("Frame5", "frmAmain", 10, 178, 439, 243);
    row("Frame1(2)", "frmAmain", 452, 12, 203, 409);
    row("Label1(2)", "Frame2", 18, 14, 241, 17, "CLICK HERE TO RESET KEY");
    row("Frame1(4)", "Frame2", 12, 32, 253, 57);
    row("Label1(0)", "Frame2", 298, 40, 65, 17, "Numbers");
    row("txtNumeri", "Frame2", 386, 32, 33, 25);
    row("Label1(1)", "Frame2", 286, 68, 77, 17, "Combinations");
    row("txtCombinazioni", "Frame2", 386, 60, 33, 25);
    row("Frame1(1)", "Frame2", 12, 94, 101, 51);
    row("Frame1(0)", "Frame2", 118, 94, 173, 51);
    row("Frame1(3)", "Frame2", 296, 94, 63, 51);
    row("Frame1(5)", "Frame2", 364, 94, 65, 51);
    row("txtChiave(1)", "Frame1(4)", 8, 18, 37, 32);
    row("txtChiave(2)", "Frame1(4)", 48, 18, 37, 32);
    row("txtChiave(3)", "Frame1(4)", 88, 18, 37, 32);
    row("txtChiave(4)", "Frame1(4)", 128, 18, 37, 32);
    row("txtChiave(5)", "Frame1(4)", 168, 18, 37, 32);
    row("txtChiave(6)", "Frame1(4)", 208, 18, 37, 32);
    row("cmdElabora", "Frame1(1)", 12, 14, 79, 31, "GENERATE");
    row("cmdGar(6)", "Frame1(0)", 8, 14, 31, 31, "6");
    row("cmdGar(5)", "Frame1(0)", 40, 14, 31, 31, "5");
    row("cmdGar(4)", "Frame1(0)", 72, 14, 31, 31, "4");
    row("cmdGar(3)", "Frame1(0)", 104, 14, 31, 31, "3");
    row("cmdGar(2)", "Frame1(0)", 136, 14, 31, 31, "2");
    row("cmdAbort", "Frame1(3)", 6, 14, 47, 31, "STOP", false);
    const bool webdings = quirmel::HasSymbolFont();
    row("cmdMenoB", "Frame1(5)", 8, 20, 14, 24, webdings ? "3" : QString(QChar(0x25C0)));
    row("lblGarFlag", "Frame1(5)", 20, 20, 25, 24, "2");
    row("cmdPiuB", "Frame1(5)", 44, 20, 14, 24, webdings ? "4" : QString(QChar(0x25B6)));
    row("txtReport", "Frame5", 14, 20, 409, 191);
    row("Image1", "Frame5", 16, 218, 156, 16);
    row("lblSito", "Frame5", 186, 220, 187, 17, quirmel::kSiteAddress);
    row("txtLista", "Frame1(2)", 10, 16, 181, 357);
    row("lblCt", "Frame1(2)", 12, 380, 103, 21, "0");
    row("cmdClearAlll", "Frame1(2)", 122, 380, 68, 23, "CLEAR");
  }

  void controls() {
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    WindowFixture f;
    QWidget* control = f.Find(QTest::currentDataTag());
    QVERIFY2(control, "no control of that objectName");
    QVERIFY(control->parentWidget());
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(TextOf(control), text);
    QCOMPARE(control->isEnabled(), enabled);
  }

  void everyControlIsInTheTable() {
    WindowFixture f;
    int named = 0;
    for (QWidget* child : f.window->findChildren<QWidget*>()) {
      if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_")) ++named;
    }
    QCOMPARE(named, 35);  // the rows above
  }

  void window() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QString("  QUIRMEL"));
    QCOMPARE(f.window->size(), QSize(668, 433));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(f.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(f.window->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(f.window->palette().color(QPalette::Window), QColor("#C0C0C0"));
    QVERIFY(f.window->windowIcon().availableSizes().contains(QSize(48, 48)));
    QCOMPARE(f.Label("Image1")->pixmap().size(), QSize(156, 16));
  }

  void colours() {
    WindowFixture f;
    const auto colour = [&](const char* name, QPalette::ColorRole role) {
      return f.Find(name)->palette().color(role).name().toUpper();
    };
    QCOMPARE(colour("txtChiave(3)", QPalette::Base), QString("#EAC564"));
    QCOMPARE(colour("txtChiave(3)", QPalette::Text), QString("#404040"));
    QCOMPARE(colour("txtNumeri", QPalette::Text), QString("#187889"));
    QCOMPARE(colour("txtCombinazioni", QPalette::Text), QString("#E86F26"));
    QCOMPARE(colour("cmdAbort", QPalette::Button), QString("#EAC564"));
    QCOMPARE(colour("cmdGar(4)", QPalette::Button), QString("#E0E0E0"));
    QCOMPARE(colour("lblGarFlag", QPalette::Window), QString("#FFFFFF"));
    QCOMPARE(colour("lblGarFlag", QPalette::WindowText), QString("#E86F26"));
    QCOMPARE(colour("lblCt", QPalette::WindowText), QString("#C04000"));
    QCOMPARE(colour("lblSito", QPalette::WindowText), QString("#15414F"));
    QCOMPARE(colour("Label1(2)", QPalette::WindowText), QString("#404040"));
  }

  void boxes() {
    WindowFixture f;
    for (const char* name : {"txtChiave(1)", "txtChiave(6)", "txtNumeri", "txtCombinazioni"}) {
      QCOMPARE(f.Box(name)->maxLength(), 2);
      QCOMPARE(f.Box(name)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    for (const char* name : {"txtLista", "txtReport"}) {
      QPlainTextEdit* area = f.Area(name);
      QCOMPARE(area->lineWrapMode(), QPlainTextEdit::WidgetWidth);
      QCOMPARE(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      QCOMPARE(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
      QVERIFY(!area->isReadOnly());
    }
    QCOMPARE(f.Button("cmdMenoB")->toolTip(), QString("Filtro precedente"));
    QCOMPARE(f.Button("cmdPiuB")->toolTip(), QString("Filtro successivo"));
    for (QAbstractButton* button : f.window->findChildren<QAbstractButton*>()) {
      auto* push = qobject_cast<QPushButton*>(button);
      QVERIFY(push && !push->isDefault() && !push->autoDefault());
    }
  }

  void accessibleNames() {
    WindowFixture f;
    for (int index = 1; index <= 6; ++index) {
      QCOMPARE(f.Key(index)->accessibleName(), QString("Key number %1").arg(index));
    }
    QCOMPARE(f.Box("txtNumeri")->accessibleName(), QString("Numbers"));
    QCOMPARE(f.Box("txtCombinazioni")->accessibleName(), QString("Combinations"));
    QCOMPARE(f.Area("txtLista")->accessibleName(), QString("Wheel listing"));
    QCOMPARE(f.Area("txtReport")->accessibleName(), QString("Coverage report"));
  }

  void fonts_data() {
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("weight");
    QTest::newRow("Label1(0)") << 11 << int(QFont::Normal);
    QTest::newRow("Label1(2)") << 11 << int(QFont::Bold);
    QTest::newRow("lblSito") << 12 << int(QFont::Normal);
    QTest::newRow("cmdAbort") << 12 << int(QFont::Bold);
    QTest::newRow("cmdGar(2)") << 15 << int(QFont::Normal);
    QTest::newRow("lblGarFlag") << 15 << int(QFont::Bold);
    QTest::newRow("txtNumeri") << 16 << int(QFont::Normal);
    QTest::newRow("txtLista") << 16 << int(QFont::Normal);
    QTest::newRow("txtChiave(1)") << 19 << int(QFont::Normal);
    QTest::newRow("cmdElabora") << 11 << int(QFont::DemiBold);
    QTest::newRow("lblCt") << 13 << int(QFont::DemiBold);
    QTest::newRow("cmdMenoB") << 13 << int(QFont::Normal);
    QTest::newRow("txtReport") << 16 << int(QFont::Normal);
  }

  void fonts() {
    QFETCH(int, pixels);
    QFETCH(int, weight);
    WindowFixture f;
    QWidget* control = f.Find(QTest::currentDataTag());
    const QFontInfo info(control->font());
    QCOMPARE(control->font().pixelSize(), pixels);
    QCOMPARE(int(control->font().weight()), weight);
    QVERIFY2(QFontDatabase::families().contains(info.family()),
             qPrintable("resolved to a family that is not installed: " + info.family()));
    QCOMPARE(info.pixelSize(), pixels);
    if (weight == QFont::DemiBold) {
      QVERIFY2(QFontDatabase::styles(info.family()).join(' ').contains("Semi"),
               qPrintable(info.family() + " has no semibold face"));
    }
  }

  void reportFontIsFixedPitch() {
    WindowFixture f;
    const QFontInfo info(f.Area("txtReport")->font());
    QVERIFY2(info.fixedPitch(), qPrintable(info.family()));
    QVERIFY(f.Find("lblSito")->font().underline());
  }

  void startUp() {
    WindowFixture f;
    QVERIFY(f.ShowActive());
    QCOMPARE(f.state.filterLevel, int16_t{2});
    QCOMPARE(f.state.combinationCount, int16_t{0});
    QVERIFY(!f.state.wheel.has_value());
    QCOMPARE(f.Label("lblGarFlag")->text(), QString("2"));
    QCOMPARE(f.Label("lblCt")->text(), QString("0"));
    QVERIFY(!f.Button("cmdAbort")->isEnabled());
    for (QLineEdit* box : f.window->findChildren<QLineEdit*>())
      QVERIFY(box->text().isEmpty());
    QVERIFY(f.Listing().isEmpty() && f.Report().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.Key(1));
    for (QWidget* passive : {f.Find("Frame2"), f.Find("Frame1(4)"), f.Find("Label1(2)"),
                             f.Find("Image1"), f.Find("lblSito"), f.Find("lblCt")}) {
      QCOMPARE(passive->focusPolicy(), Qt::NoFocus);
    }
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
