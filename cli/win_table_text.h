#pragma once

// The win table of a wheel as JSON, for check and build (its text is the engine's).

#include <nlohmann/json.hpp>

#include <vector>

#include "engine/check/win_table.h"

namespace quirmel::cli {

// {"<h>": {"<best level>": <h-subsets>, ...}, ...}, levels present only.
nlohmann::ordered_json WinTableJson(const std::vector<WinTableRow>& table);

}  // namespace quirmel::cli
