#include "window/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>
#include <cerrno>
#include <cstring>

namespace quirmel {

namespace {

constexpr const char* kNotRegular = "it is not a regular file (a folder, a device or a pipe)";

}  // namespace

FileRead ReadWholeFile(const QString& fileName, qint64 maxBytes) {
  const QFileInfo info(fileName);
  if (info.exists() && !info.isFile())
    return {{}, QStringLiteral("%1 cannot be opened: %2").arg(fileName, kNotRegular)};
  const QString tooLarge =
      QStringLiteral("%1 is larger than %2 MiB, more than a wheel or a draw history holds")
          .arg(fileName)
          .arg(maxBytes >> 20);
  if (info.size() > maxBytes) return {{}, tooLarge};
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return {{}, QStringLiteral("%1: %2").arg(fileName, file.errorString())};
  QByteArray bytes = file.read(maxBytes + 1);  // a file may grow after the look at its size
  if (bytes.size() > maxBytes) return {{}, tooLarge};
  if (file.error() != QFileDevice::NoError)
    return {{}, QStringLiteral("%1: %2").arg(fileName, file.errorString())};
  return {std::move(bytes), {}};
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
