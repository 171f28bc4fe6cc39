#include <array>
#include <iostream>

#include "cli/commands.h"
#include "cli/input.h"
#include "engine/generation.h"

namespace quirmel::cli {

int Develop(const DevelopOptions& options) {
  if (options.key.size() > 6) {
    Complain("a key has at most 6 numbers");
    return kInputError;
  }
  std::array<std::string, 6> keys;
  std::copy(options.key.begin(), options.key.end(), keys.begin());
  WheelState state;
  const GenerationResult result = GenerateWheel(state, keys, options.pool, options.combinations);
  if (!result.succeeded) {
    std::cerr << result.message << '\n';
    return kInputError;
  }
  std::string listing = result.listing;  // the listing's CR LF line ends become LF
  std::erase(listing, '\r');
  return WriteOutput(options.output, listing) ? kDone : kInputError;
}

}  // namespace quirmel::cli
