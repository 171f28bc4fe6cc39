#pragma once

// The ways the window reaches outside itself: the modal error box, the call that opens a web
// address, the file dialogs, the print dialog and the player's settings. Tests put their own in
// place; the program uses Real().

#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>

class QPrinter;
class QWidget;

namespace quirmel {

struct WindowSeams {
  // Shows `text` in a modal box with the error icon, one OK button and the caption "QUIRMEL",
  // and returns when the user has closed it.
  std::function<void(QWidget* owner, const QString& text)> showError;
  // Opens `address` the desktop's usual way; failures pass silently.
  std::function<void(const QUrl& address)> openAddress;
  // Asks for a file to open or to save under `caption`; an empty name when the user cancels.
  std::function<QString(QWidget* owner, const QString& caption)> chooseOpenFile;
  std::function<QString(QWidget* owner, const QString& caption)> chooseSaveFile;
  // Lets the user choose and set up a printer (a PDF file among them); false when cancelled.
  std::function<bool(QWidget* owner, QPrinter& printer)> setUpPrinter;
  // What the player set once and finds again next time (a game's ticket price): a value by its
  // key, invalid when never set, and the call that keeps one.
  std::function<QVariant(const QString& key)> recall;
  std::function<void(const QString& key, const QVariant& value)> remember;

  static WindowSeams Real();
};

}  // namespace quirmel
