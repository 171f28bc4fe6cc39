#pragma once

// Reading the files the subcommands are given.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/core/any_wheel.h"
#include "engine/core/bounded_read.h"
#include "engine/core/text_error.h"
#include "engine/files/wheel_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

// The whole of a file, or of standard input for "-", read in blocks and refused as soon as it
// passes the limits above or `refused` refuses what came so far (looked at each time the text
// has doubled), so that endless or binary input costs little; without it, a message on standard
// error, or none when SIGINT or SIGTERM stopped the reading (StopSignals::Requested()).
std::optional<std::string> ReadInput(const std::string& name, const EarlyRefusal& refused = {});

// "<stdin>" for "-", else the name itself.
std::string Shown(const std::string& name);

// The wheel in a file; without it, the reader's refusal on standard error (file, line, column).
std::optional<AnyWheel> ReadWheelFile(const std::string& name, const WheelReadOptions& options);

// Writes `text` to the file `name`, or to standard output for "" or "-"; false, after a message,
// when the file cannot be written.
bool WriteOutput(const std::string& name, const std::string& text);

// Whether `name` can be written (tried with a scratch file beside it); without it, a message.
bool Writable(const std::string& name);

// Prints "quirmel-cli: message" on standard error.
void Complain(const std::string& message);

}  // namespace quirmel::cli
