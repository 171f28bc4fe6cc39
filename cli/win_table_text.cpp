#include "cli/win_table_text.h"

namespace quirmel::cli {

nlohmann::ordered_json WinTableJson(const std::vector<WinTableRow>& table) {
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  for (const WinTableRow& row : table) {
    nlohmann::ordered_json levels = nlohmann::ordered_json::object();
    for (const auto& [level, subsets] : row.byBest)
      levels[std::to_string(level)] = subsets;
    // With key numbers, "6/2": six of the numbers drawn, two of them key numbers.
    std::string key = std::to_string(row.drawn);
    if (row.keysDrawn >= 0) key += '/' + std::to_string(row.keysDrawn);
    json[key] = levels;
  }
  return json;
}

}  // namespace quirmel::cli
