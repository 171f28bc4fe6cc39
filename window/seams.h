#pragma once

// The two ways the window reaches outside itself: the modal error box and the call that opens a
// web address. Tests put their own in place; the program uses Real().

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace quirmel {

struct WindowSeams {
  // Shows `text` in a modal box with the error icon, one OK button and the caption "QUIRMEL",
  // and returns when the user has closed it.
  std::function<void(QWidget* owner, const QString& text)> showError;
  // Opens `address` the desktop's usual way; failures pass silently.
  std::function<void(const QUrl& address)> openAddress;

  static WindowSeams Real();
};

}  // namespace quirmel
