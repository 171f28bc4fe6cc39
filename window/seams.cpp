#include "window/seams.h"

#include <QMessageBox>

#include "window/mapi.h"

namespace quirmel {

WindowSeams WindowSeams::Real() {
  WindowSeams seams;
  seams.showError = [](QWidget* owner, const QString& text) {
    QMessageBox::critical(owner, QStringLiteral("QUIRMEL"), text, QMessageBox::Ok);
  };
  seams.openAddress = ShellOpen;
  return seams;
}

}  // namespace quirmel
