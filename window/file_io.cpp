#include "window/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>
#include <cerrno>
#include <cstring>

#include "engine/core/bounded_read.h"
#include "engine/limits.h"

namespace quirmel {

namespace {

constexpr const char* kNotRegular = "it is not a regular file (a folder, a device or a pipe)";

}  // namespace

FileRead ReadWholeFile(const QString& fileName) {
  const QFileInfo info(fileName);
  if (info.exists() && !info.isFile())
    return {{}, QStringLiteral("%1 cannot be opened: %2").arg(fileName, kNotRegular)};
  const auto refused = [&fileName](const TextError& fault) {
    return FileRead{{}, QString::fromStdString(Describe(fault, fileName.toStdString()))};
  };
  if (info.size() > static_cast<qint64>(kMaxInputBytes)) return refused(TooLargeError());
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return {{}, QStringLiteral("%1: %2").arg(fileName, file.errorString())};
  // Read within the input limits like any other input: a file may grow after the look at its
  // size, or hold no line ends at all.
  BoundedText read = ReadBounded([&file](char* buffer, std::size_t size) -> int64_t {
    return file.read(buffer, static_cast<qint64>(size));
  });
  if (read.end == ReadEnd::Refused) return refused(*read.refusal);
  if (read.end != ReadEnd::Whole || file.error() != QFileDevice::NoError)
    return {{}, QStringLiteral("%1: %2").arg(fileName, file.errorString())};
  return {QByteArray::fromStdString(read.text), {}};
}

QString DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

QString WriteWholeFile(const QString& fileName, const QByteArray& bytes, bool text) {
  const QFileInfo info(fileName);
  if (info.exists() && !info.isFile())
    return QStringLiteral("%1 cannot be written: %2").arg(fileName, kNotRegular);
  QSaveFile file(fileName);
  const QIODevice::OpenMode mode =
      text ? QIODevice::WriteOnly | QIODevice::Text : QIODevice::WriteOnly;
  const auto failed = [&fileName](const QString& why) {
    return QStringLiteral("%1 cannot be written: %2").arg(fileName, why);
  };
  // Unbuffered: a write the disk cannot take fails here, not unnoticed inside commit().
  if (!file.open(mode | QIODevice::Unbuffered)) return failed(file.errorString());
  errno = 0;
  if (file.write(bytes) != bytes.size()) {
    // A write cut short (a full disk) leaves Qt with "Unknown error"; the system knows better.
    const int error = errno;
    return failed(error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString());
  }
  if (!file.commit()) return failed(file.errorString());
  return {};
}

}  // namespace quirmel
