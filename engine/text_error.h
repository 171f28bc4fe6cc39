#pragma once

// Where a text that the engine reads went wrong, and why.

#include <cstdint>
#include <string>

namespace quirmel {

struct TextError {
  int64_t line = 0;    // from 1
  int64_t column = 0;  // from 1, in bytes; 0 when the whole line is meant
  std::string message;
};

// "name:line:column: message" (without the column when it is 0).
std::string Describe(const TextError& error, const std::string& name);

}  // namespace quirmel
