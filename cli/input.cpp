#include "cli/input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "engine/wheel_file.h"

namespace quirmel::cli {

void Complain(const std::string& message) {
  std::cerr << "quirmel-cli: " << message << '\n';
}

bool WriteOutput(const std::string& name, const std::string& text) {
  if (name.empty() || name == "-") {
    std::cout << text;
    return true;
  }
  std::ofstream file(name, std::ios::binary);
  file << text;
  file.close();
  if (!file) Complain(name + ": cannot be written");
  return static_cast<bool>(file);
}

std::optional<std::string> ReadInput(const std::string& name) {
  if (name == "-") {
    std::ostringstream text;
    text << std::cin.rdbuf();
    return text.str();
  }
  std::error_code error;
  if (std::filesystem::is_directory(name, error)) {
    Complain(name + ": " + std::strerror(EISDIR));
    return std::nullopt;
  }
  errno = 0;
  std::ifstream file(name, std::ios::binary);
  if (!file) {
    Complain(name + ": " + std::strerror(errno != 0 ? errno : ENOENT));
    return std::nullopt;
  }
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    Complain(name + ": " + std::strerror(errno != 0 ? errno : EIO));
    return std::nullopt;
  }
  return text;
}

std::optional<AnyWheel> ReadWheelFile(const std::string& name, const WheelReadOptions& options) {
  const std::optional<std::string> text = ReadInput(name);
  if (!text) return std::nullopt;
  WheelReadResult read = ReadWheel(*text, options);
  if (read.error) {
    Complain(Describe(*read.error, name == "-" ? "<stdin>" : name));
    return std::nullopt;
  }
  return std::move(read.wheel);
}

}  // namespace quirmel::cli
