#include "engine/text_error.h"

namespace quirmel {

std::string Describe(const TextError& error, const std::string& name) {
  std::string where = name;
  where += ':';
  where += std::to_string(error.line);
  if (error.column > 0) {
    where += ':';
    where += std::to_string(error.column);
  }
  where += ": ";
  where += error.message;
  return where;
}

}  // namespace quirmel
