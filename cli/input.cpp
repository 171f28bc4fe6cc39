#include "cli/input.h"

#include "cli/progress.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "engine/files/wheel_file.h"

namespace quirmel::cli {

void Complain(const std::string& message) {
  // Control bytes from a file are shown escaped, never sent to the terminal as they are.
  std::cerr << "quirmel-cli: " << EscapeControls(message) << '\n';
}

bool WriteOutput(const std::string& name, const std::string& text) {
  if (name.empty() || name == "-") {
    std::cout << text;
    return true;
  }
  // A regular file (or a new one) is written beside itself and renamed over, so that a failed
  // write leaves the old file as it was; anything else (a device, a pipe) is written in place.
  std::error_code error;
  const auto status = std::filesystem::status(name, error);
  const bool inPlace = std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
  const std::string target = inPlace ? name : name + ".part";
  errno = 0;
  std::FILE* file = std::fopen(target.c_str(), "wb");
  bool written = file != nullptr;
  if (written) {
    written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
  }
  const int cause = errno != 0 ? errno : EIO;
  if (written && !inPlace) {
    std::filesystem::rename(target, name, error);
    written = !error;
    if (error) {
      std::filesystem::remove(target, error);
      Complain(name + ": " + error.message());
      return false;
    }
  }
  if (!written) {
    if (!inPlace && file != nullptr) std::filesystem::remove(target, error);
    Complain(name + ": " + std::strerror(cause));
  }
  return written;
}

// Whether `name` can be written, tried before a long search so that its result is not lost.
bool Writable(const std::string& name) {
  if (name.empty() || name == "-") return true;
  std::error_code error;
  if (std::filesystem::exists(name, error) && !std::filesystem::is_regular_file(name, error))
    return true;
  const std::string probe = name + ".part";
  errno = 0;
  std::FILE* file = std::fopen(probe.c_str(), "wb");
  if (file == nullptr) {
    Complain(name + ": " + std::strerror(errno != 0 ? errno : EACCES));
    return false;
  }
  std::fclose(file);
  std::filesystem::remove(probe, error);
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
  std::string text;
  const auto refuse = [&](const TextError& fault) {
    if (file != stdin) std::fclose(file);
    Complain(Describe(fault, Shown(name)) + EncodingHint(text));
    return std::nullopt;
  };
  int64_t line = 1;
  std::size_t lineStart = 0;       // where the current line starts in `text`
  std::size_t nextLook = 1 << 20;  // when `refused` looks again
  std::vector<char> block(1 << 16);
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), file);
    if (StopSignals::Requested()) {  // SIGINT or SIGTERM while reading: the caller says 130
      if (file != stdin) std::fclose(file);
      return std::nullopt;
    }
    if (got == 0) break;
    const std::size_t from = text.size();
    if (from + got > kMaxInputBytes) {
      return refuse({line, 0,
                     "the file is larger than " + std::to_string(kMaxInputBytes) +
                         " bytes, more than any wheel or history"});
    }
    text.append(block.data(), got);
    for (std::size_t at = from; at < text.size(); ++at) {
      if (text[at] != '\n') continue;
      ++line;
      lineStart = at + 1;
    }
    if (text.size() - lineStart > kMaxLineBytes) {
      return refuse({line, static_cast<int64_t>(kMaxLineBytes) + 1,
                     "the line is longer than " + std::to_string(kMaxLineBytes) +
                         " bytes (is this a text file?)"});
    }
    if (refused && text.size() >= nextLook) {
      nextLook = text.size() * 2;
      if (const auto fault = refused(std::string_view(text).substr(0, lineStart)))
        return refuse(*fault);
    }
  }
  const bool failed = std::ferror(file) != 0;
  const int cause = errno;
  if (file != stdin) std::fclose(file);
  if (failed) {
    Complain(name + ": " + std::strerror(cause != 0 ? cause : EIO));
    return std::nullopt;
  }
  return text;
}

std::optional<AnyWheel> ReadWheelFile(const std::string& name, const WheelReadOptions& options) {
  const std::optional<std::string> text =
      ReadInput(name, [&options](std::string_view head) -> std::optional<TextError> {
        WheelReadResult read = ReadWheel(head, options);
        const bool final = read.error && read.error->message.find("no rows") == std::string::npos;
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
