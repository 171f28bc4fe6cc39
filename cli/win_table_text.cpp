#include "cli/win_table_text.h"

#include <cstdio>

namespace quirmel::cli {

std::string WinTableText(const std::vector<WinTableRow>& table, const std::string& prefix) {
  std::string text;
  for (const WinTableRow& row : table) {
    text += prefix + "If " + std::to_string(row.drawn) + " of your numbers are drawn:";
    int64_t atLeast = row.subsets;  // the h-subsets at this level or above
    bool first = true;
    for (const auto& [level, subsets] : row.byBest) {
      char share[32];
      std::snprintf(share, sizeof share, "%.4f%%",
                    100.0 * static_cast<double>(atLeast) / static_cast<double>(row.subsets));
      text += (first ? " at least " : ", ") + std::to_string(level) + " in " + share +
              (first ? " of cases" : "");
      first = false;
      atLeast -= subsets;
    }
    text += '\n';
  }
  return text;
}

nlohmann::ordered_json WinTableJson(const std::vector<WinTableRow>& table) {
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  for (const WinTableRow& row : table) {
    nlohmann::ordered_json levels = nlohmann::ordered_json::object();
    for (const auto& [level, subsets] : row.byBest)
      levels[std::to_string(level)] = subsets;
    json[std::to_string(row.drawn)] = levels;
  }
  return json;
}

}  // namespace quirmel::cli
