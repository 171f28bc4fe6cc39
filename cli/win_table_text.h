#pragma once

// The win table of a wheel as text and as JSON, for check and build.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "engine/win_table.h"

namespace quirmel::cli {

// "If 6 of your numbers are drawn: at least 3 in 100.0000% of cases, 4 in 12.3457%, ..." per
// row, each line starting with `prefix`.
std::string WinTableText(const std::vector<WinTableRow>& table, const std::string& prefix);

// {"<h>": {"<best level>": <h-subsets>, ...}, ...}, levels present only.
nlohmann::ordered_json WinTableJson(const std::vector<WinTableRow>& table);

}  // namespace quirmel::cli
