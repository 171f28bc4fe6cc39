// QUIRMEL: creates the shared state and opens the window.

#include <QApplication>
#include <QFile>
#include <QStyleFactory>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "window/frm_amain.h"

namespace {

const char* programName = "quirmel";

// Without a usable display there is no window to show: say how to run instead.
[[noreturn]] void NoDisplay() {
  std::fprintf(stderr,
               "quirmel: no display to open its window on; run it on a desktop, or under a "
               "virtual one: xvfb-run %s\n",
               programName);
  std::fflush(stderr);
  std::_Exit(2);
}

// While the application object connects to the display, Qt's messages are held back: a display
// that cannot be reached (no server, an unknown platform, no compositor) ends in a fatal message,
// which Qt would follow with an abort. The program answers it with its own hint instead.
std::vector<QString> startupMessages;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) NoDisplay();
  startupMessages.push_back(qFormatLogMessage(type, context, text));
}

// Qt ends the process when it cannot reach a display; without any display set, say so at once.
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

constexpr const char* kUsage =
    "Usage: quirmel [--] [FILE]\n"
    "Opens the QUIRMEL window: develops a key into a lottery wheel and measures its coverage.\n"
    "FILE, a wheel file (one combination per line), is opened as the window's wheel.\n"
    "  -h, --help     this text\n"
    "  -v, --version  the version\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc > 0) programName = argv[0];
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--help" || first == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (first == "--version" || first == "-v") {
    std::printf("quirmel %s\n", QUIRMEL_VERSION);
    return 0;
  }
  // "--" ends the options: the argument after it is a file name, even one that starts with "-".
  const bool endOfOptions = first == "--";
  const std::string fileName = endOfOptions ? (argc > 2 ? argv[2] : "") : first;
  if (argc > (endOfOptions ? 3 : 2) || (!endOfOptions && first.starts_with('-'))) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!DisplayAvailable()) NoDisplay();
  const QtMessageHandler usual = qInstallMessageHandler(HoldStartupMessage);
  QApplication app(argc, argv);
  qInstallMessageHandler(usual);
  for (const QString& message : startupMessages)  // the display works: say what Qt said
    std::fprintf(stderr, "%s\n", qPrintable(message));
  startupMessages.clear();
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication::setApplicationName("QUIRMEL");
  QApplication::setDesktopFileName("quirmel");

  quirmel::WheelState state;
  quirmel::frmAmain window(state);
  window.show();
  if (!fileName.empty()) window.OpenWheel(QFile::decodeName(fileName.c_str()));
  return QApplication::exec();
}
