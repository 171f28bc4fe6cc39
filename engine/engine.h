#pragma once

// The wheel engine: shared state, wheel generation, coverage analysis and its report; wheels of
// any shape read from files, their general check and their replay against past draws.

#include "engine/any_wheel.h"   // IWYU pragma: export
#include "engine/builder.h"     // IWYU pragma: export
#include "engine/check.h"       // IWYU pragma: export
#include "engine/coverage.h"    // IWYU pragma: export
#include "engine/draw_check.h"  // IWYU pragma: export
#include "engine/draw_file.h"   // IWYU pragma: export
#include "engine/funzioni.h"    // IWYU pragma: export
#include "engine/generation.h"  // IWYU pragma: export
#include "engine/limits.h"      // IWYU pragma: export
#include "engine/report.h"      // IWYU pragma: export
#include "engine/variabili.h"   // IWYU pragma: export
#include "engine/wheel.h"       // IWYU pragma: export
#include "engine/wheel_file.h"  // IWYU pragma: export
#include "engine/wheel_load.h"  // IWYU pragma: export
#include "engine/win_table.h"   // IWYU pragma: export
