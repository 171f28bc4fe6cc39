#pragma once

// A window on the offscreen platform whose message boxes and web-address calls are recorded
// instead of shown, so tests never wait on a modal loop.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "engine/engine.h"
#include "window/frm_amain.h"

namespace quirmel::testing {

// A file of `text` in `dir`; its path, or an empty one when it could not be written.
inline QString WriteText(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
  QFile file(dir.filePath(name));
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName() : "";
}

inline QByteArray ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct WindowFixture {
  WheelState state;
  QStringList messages;  // every error box, in order
  QList<QUrl> opened;    // every web address opened
  QString fileAnswer;    // what the file dialogs answer (empty: cancelled)
  QString pdfAnswer;     // where the print dialog prints to (empty: cancelled)
  int dialogs = 0;       // file and print dialogs shown
  QVariantMap settings;  // what the player's settings hold
  std::unique_ptr<frmAmain> window;

  WindowFixture() {
    WindowSeams seams;
    seams.showError = [this](QWidget*, const QString& text) { messages << text; };
    seams.openAddress = [this](const QUrl& address) { opened << address; };
    seams.chooseOpenFile = [this](QWidget*, const QString&) { return ++dialogs, fileAnswer; };
    seams.chooseSaveFile = [this](QWidget*, const QString&) { return ++dialogs, fileAnswer; };
    seams.setUpPrinter = [this](QWidget*, QPrinter& printer) {
      ++dialogs;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdfAnswer);
      return !pdfAnswer.isEmpty();
    };
    seams.recall = [this](const QString& key) { return settings.value(key); };
    seams.remember = [this](const QString& key, const QVariant& value) { settings[key] = value; };
    window = std::make_unique<frmAmain>(state, seams);
  }

  // Shows the window and waits until it has the keyboard focus.
  bool ShowActive() {
    window->show();
    QApplication::setActiveWindow(window.get());
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
  }

  template <typename Control = QWidget>
  Control* Find(const QString& name) const {
    if (name == QLatin1String("frmAmain")) return qobject_cast<Control*>(window.get());
    return window->findChild<Control*>(name);
  }

  QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(name); }
  QLineEdit* Key(int index) const { return Box(QStringLiteral("txtChiave(%1)").arg(index)); }
  QAbstractButton* Button(const QString& name) const { return Find<QAbstractButton>(name); }
  QAbstractButton* Gar(int index) const { return Button(QStringLiteral("cmdGar(%1)").arg(index)); }
  QLabel* Label(const QString& name) const { return Find<QLabel>(name); }
  QPlainTextEdit* Area(const QString& name) const { return Find<QPlainTextEdit>(name); }
  QString Listing() const { return Area("txtLista")->toPlainText(); }
  QString Report() const { return Area("txtReport")->toPlainText(); }

  // Fills the eight input boxes as a user would leave them (empty strings leave a box empty).
  void Fill(const QStringList& keys, const QString& pool, const QString& combinations) {
    for (int index = 1; index <= 6; ++index) {
      Key(index)->setText(index <= keys.size() ? keys[index - 1] : QString());
    }
    Box("txtNumeri")->setText(pool);
    Box("txtCombinazioni")->setText(combinations);
  }

  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
};

}  // namespace quirmel::testing
