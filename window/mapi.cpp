#include "window/mapi.h"

#include <QDesktopServices>

namespace quirmel {

void ShellOpen(const QUrl& address) {
  QDesktopServices::openUrl(address);
}

}  // namespace quirmel
