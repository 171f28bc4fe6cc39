// QUIRMEL: creates the shared state and opens the window.

#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

#include "engine/engine.h"
#include "window/frm_amain.h"

namespace {

// Qt ends the process when it cannot reach a display; say how to run instead.
bool DisplayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "quirmel: no display to open its window on; run it on a desktop, or under a "
                 "virtual one: xvfb-run %s\n",
                 argc > 0 ? argv[0] : "quirmel");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication::setApplicationName("QUIRMEL");
  QApplication::setDesktopFileName("quirmel");

  quirmel::WheelState state;
  quirmel::frmAmain window(state);
  window.show();
  return QApplication::exec();
}
