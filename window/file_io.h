#pragma once

// Whole files for the window and its tools: read bounded, written whole or not at all.

#include <QByteArray>
#include <QString>

class QMimeData;

namespace quirmel {

struct FileRead {
  QByteArray bytes;
  QString error;  // empty when read; else the file's name and why not
};

// A regular file, read whole within the input limits (its size, its lines' lengths). A FIFO, a
// device or a folder is refused before it is opened, so nothing waits on a writer or reads
// without end.
FileRead ReadWholeFile(const QString& fileName);

// The one local file a drag brings, or an empty name.
QString DraggedFile(const QMimeData* data);

// Writes `bytes` to `fileName` through a temporary file renamed over it, so a failure leaves
// the old file as it was; something there that is not a regular file is refused. Returns an
// empty string, or the file's name and the system's reason.
QString WriteWholeFile(const QString& fileName, const QByteArray& bytes, bool text);

}  // namespace quirmel
