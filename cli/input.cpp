#include "cli/input.h"

#include "cli/progress.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/core/bounded_read.h"
#include "engine/files/wheel_file.h"

namespace quirmel::cli {

void Complain(const std::string& message) {
  // Control bytes from a file are shown escaped, never sent to the terminal as they are.
  std::cerr << "quirmel-cli: " << EscapeControls(message) << '\n';
}

namespace {

// Where a write to `name` goes: through a symbolic link to the file it names. Refuses (with the
// cause) a folder, and an existing file its mode does not let us write, as the window's Save does.
struct OutputPlace {
  std::filesystem::path path;
  bool regular = false;  // an existing regular file, or a new one: written beside and renamed
  bool exists = false;
  mode_t mode = 0;
};

std::optional<OutputPlace> PlaceOf(const std::string& name, int& cause) {
  std::error_code error;
  OutputPlace place{.path = name, .regular = true, .exists = false, .mode = 0};
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(name, error))) {
    place.path = std::filesystem::weakly_canonical(name, error);
    if (error) {
      cause = error.value();
      return std::nullopt;
    }
  }
  struct stat info {};
  if (::stat(place.path.c_str(), &info) == 0) {
    place.exists = true;
    place.mode = info.st_mode & 07777;
    if (S_ISDIR(info.st_mode)) {
      cause = EISDIR;
      return std::nullopt;
    }
    place.regular = S_ISREG(info.st_mode);
    if (::access(place.path.c_str(), W_OK) != 0 || (place.regular && (info.st_mode & 0222) == 0)) {
      cause = EACCES;
      return std::nullopt;
    }
  }
  return place;
}

// A new file beside `path`, named so that it is no one else's; its descriptor, or -1.
int TemporaryBeside(const std::filesystem::path& path, std::string& temporary) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string leaf(1, '.');
  leaf.append(path.filename().string()).append(".quirmel-XXXXXX");
  temporary = (folder / leaf).string();
  return ::mkstemp(temporary.data());
}

bool WriteAll(int descriptor, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = ::write(descriptor, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

bool WriteOutput(const std::string& name, const std::string& text) {
  if (name.empty() || name == "-") {
    std::cout << text;
    return true;
  }
  int cause = 0;
  const auto place = PlaceOf(name, cause);
  if (!place) {
    Complain(name + ": " + std::strerror(cause));
    return false;
  }
  errno = 0;
  if (!place->regular) {  // a device or a pipe is written in place
    const int descriptor = ::open(place->path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool written = descriptor >= 0 && WriteAll(descriptor, text);
    cause = errno != 0 ? errno : EIO;
    if (descriptor >= 0) written = ::close(descriptor) == 0 && written;
    if (!written) Complain(name + ": " + std::strerror(errno != 0 ? errno : cause));
    return written;
  }
  // A regular file (or a new one) is written beside itself and renamed over it only when whole,
  // so that a failed write leaves the old file as it was; its mode stays (a new file's follows
  // the umask).
  std::string temporary;
  const int descriptor = TemporaryBeside(place->path, temporary);
  if (descriptor < 0) {
    Complain(name + ": " + std::strerror(errno != 0 ? errno : EACCES));
    return false;
  }
  mode_t mode = place->mode;
  if (!place->exists) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool written = ::fchmod(descriptor, mode) == 0 && WriteAll(descriptor, text);
  cause = errno != 0 ? errno : EIO;
  written = ::close(descriptor) == 0 && written;
  if (written && ::rename(temporary.c_str(), place->path.c_str()) != 0) {
    written = false;
    cause = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    Complain(name + ": " + std::strerror(cause));
  }
  return written;
}

// Whether `name` can be written, tried before a long search so that its result is not lost.
bool Writable(const std::string& name) {
  if (name.empty() || name == "-") return true;
  int cause = 0;
  const auto place = PlaceOf(name, cause);
  if (!place) {
    Complain(name + ": " + std::strerror(cause));
    return false;
  }
  if (!place->regular) return true;
  std::string temporary;
  const int descriptor = TemporaryBeside(place->path, temporary);
  if (descriptor < 0) {
    Complain(name + ": " + std::strerror(errno != 0 ? errno : EACCES));
    return false;
  }
  ::close(descriptor);
  ::unlink(temporary.c_str());
  return true;
}

std::string Shown(const std::string& name) {
  return name == "-" ? "<stdin>" : name;
}

std::optional<std::string> ReadInput(const std::string& name, const EarlyRefusal& refused) {
  std::error_code error;
  if (name != "-" && std::filesystem::is_directory(name, error)) {
    Complain(name + ": " + std::strerror(EISDIR));
    return std::nullopt;
  }
  errno = 0;
  std::FILE* file = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
  if (file == nullptr) {
    Complain(name + ": " + std::strerror(errno != 0 ? errno : ENOENT));
    return std::nullopt;
  }
  const ByteSource source = [file](char* buffer, std::size_t size) -> int64_t {
    const std::size_t got = std::fread(buffer, 1, size, file);
    return got == 0 && std::ferror(file) != 0 ? -1 : static_cast<int64_t>(got);
  };
  // SIGINT or SIGTERM while reading: the caller says 130.
  BoundedText read = ReadBounded(source, refused, [] { return StopSignals::Requested(); });
  const int cause = errno;
  if (file != stdin) std::fclose(file);
  switch (read.end) {
    case ReadEnd::Whole:
      return std::move(read.text);
    case ReadEnd::Refused:
      Complain(Describe(*read.refusal, Shown(name)) + EncodingHint(read.text));
      return std::nullopt;
    case ReadEnd::Failed:
      Complain(name + ": " + std::strerror(cause != 0 ? cause : EIO));
      return std::nullopt;
    case ReadEnd::Stopped:
      break;
  }
  return std::nullopt;
}

std::optional<AnyWheel> ReadWheelFile(const std::string& name, const WheelReadOptions& options) {
  const std::optional<std::string> text =
      ReadInput(name, [&options](std::string_view head) -> std::optional<TextError> {
        WheelReadResult read = ReadWheel(head, options);
        const bool final = read.error && !read.error->nothingYet;
        return final ? read.error : std::nullopt;
      });
  if (!text) return std::nullopt;
  WheelReadResult read = ReadWheel(*text, options);
  if (read.error) {
    Complain(Describe(*read.error, Shown(name)) + EncodingHint(*text));
    return std::nullopt;
  }
  return std::move(read.wheel);
}

}  // namespace quirmel::cli
