#pragma once

// The shell call that opens a web address in the desktop's default browser.

#include <QUrl>

namespace quirmel {

// Opens `address` with the desktop's usual handler (the shell's "open" operation on Windows).
// Whether it worked is not reported: a desktop without a browser just does nothing.
void ShellOpen(const QUrl& address);

}  // namespace quirmel
