#pragma once

// Reading the files the subcommands are given.

#include <optional>
#include <string>

#include "engine/any_wheel.h"
#include "engine/wheel_file.h"

namespace quirmel::cli {

// The whole of a file, or of standard input for "-"; without it, a message on standard error.
std::optional<std::string> ReadInput(const std::string& name);

// The wheel in a file; without it, the reader's refusal on standard error (file, line, column).
std::optional<AnyWheel> ReadWheelFile(const std::string& name, const WheelReadOptions& options);

// Writes `text` to the file `name`, or to standard output for "" or "-"; false, after a message,
// when the file cannot be written.
bool WriteOutput(const std::string& name, const std::string& text);

// Prints "quirmel-cli: message" on standard error.
void Complain(const std::string& message);

}  // namespace quirmel::cli
