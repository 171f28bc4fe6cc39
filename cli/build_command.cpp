#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "engine/builder.h"
#include "engine/wheel_file.h"

namespace quirmel::cli {

namespace {

std::string Json(const BuildRequest& request, const BuildResult& result) {
  std::vector<int> pool = request.numbers;
  for (int v = 1; pool.empty() && v <= request.poolSize; ++v)
    pool.push_back(v);
  std::sort(pool.begin(), pool.end());
  std::vector<std::vector<int>> rows;
  for (std::size_t r = 0; r < result.wheel.rowCount(); ++r)
    rows.emplace_back(result.wheel.row(r).begin(), result.wheel.row(r).end());
  nlohmann::ordered_json json;
  json["rows"] = result.wheel.rowCount();
  json["pool"] = pool;
  json["row_size"] = request.rowSize;
  json["guarantee"] = request.guarantee;
  json["draw"] = request.drawSize;
  json["covered"] = result.covered;
  json["seconds"] = result.seconds;
  json["wheel"] = rows;
  return json.dump() + "\n";
}

}  // namespace

int Build(const BuildOptions& options) {
  BuildRequest request{.poolSize = options.pool.value_or(0),
                       .numbers = options.numbers,
                       .rowSize = options.row,
                       .guarantee = options.guarantee,
                       .drawSize = options.draw.value_or(options.guarantee),
                       .targetRows = options.rows,
                       .seconds = options.seconds,
                       .seed = options.seed};
  ProgressLine progress(true);
  StopSignals signals;
  request.progress = [&](const BuildProgress& now) {
    progress.Show(now.rows, now.cost, now.bestRows, options.seconds - now.seconds);
    return StopSignals::Requested();
  };
  BuildResult result;
  try {
    result = BuildWheel(request);
  } catch (const std::invalid_argument& error) {
    Complain(error.what());
    return kInputError;
  }
  progress.Finish();

  std::string text;
  if (options.format == "json") {
    text = Json(request, result);
  } else {
    std::ostringstream header;
    if (result.covered) {
      header << "# verified: every " << request.drawSize << "-subset meets a row in at least "
             << request.guarantee << " numbers\n";
    }
    text = header.str() + WriteWheel(result.wheel);
  }
  if (!WriteOutput(options.output, text)) return kInputError;
  const std::size_t rows = result.wheel.rowCount();
  if (result.stopped) {
    Complain("stopped: the best cover has " + std::to_string(rows) + " rows");
    return kInterrupted;
  }
  if (!result.covered || (options.rows && !result.reachedTarget)) {
    Complain("the time ran out before a cover of " + std::to_string(options.rows.value_or(0)) +
             " rows: the best cover has " + std::to_string(rows) + " rows");
    return kHoles;
  }
  std::cerr << "verified: every " << request.drawSize << "-subset meets a row in at least "
            << request.guarantee << " numbers (" << rows << " rows"
            << (result.smallest ? ", the fewest possible" : "") << ")\n";
  return kDone;
}

}  // namespace quirmel::cli
