#pragma once

// Where a text that the engine reads went wrong, and why.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace quirmel {

struct TextError {
  int64_t line = 0;    // from 1
  int64_t column = 0;  // from 1, in bytes; 0 when the whole line is meant
  std::string message;
  bool nothingYet = false;  // the text held nothing to read: more of it may still bring some
};

// "name:line:column: message" (without the column when it is 0).
std::string Describe(const TextError& error, const std::string& name);

// The message with each control byte (a file's NUL, escape or bell) written as \\xNN, so that
// showing it neither drives a terminal nor cuts a message box short.
std::string EscapeControls(const std::string& message);

// What a refused text seems to be when it is not plain text, as a hint to add to the refusal:
// " (the file looks like UTF-16 text: save it as UTF-8)", " (the file looks binary, not text)",
// or nothing. Looks at the start of the text only.
std::string EncodingHint(std::string_view text);

// What a failed engine call tells the user: its refusal, or (std::bad_alloc) that this machine
// has not the memory the request needs, never the exception's bare name.
std::string FailureText(const std::exception& error);

}  // namespace quirmel
