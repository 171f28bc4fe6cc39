#pragma once

// The wheel engine: shared state, wheel generation, coverage analysis and its report; wheels of
// any shape read from files, their general check and their replay against past draws.

#include "engine/book/book.h"          // IWYU pragma: export
#include "engine/builder/builder.h"    // IWYU pragma: export
#include "engine/check/check.h"        // IWYU pragma: export
#include "engine/check/draw_check.h"   // IWYU pragma: export
#include "engine/check/win_table.h"    // IWYU pragma: export
#include "engine/core/any_wheel.h"     // IWYU pragma: export
#include "engine/design/coverage.h"    // IWYU pragma: export
#include "engine/design/funzioni.h"    // IWYU pragma: export
#include "engine/design/generation.h"  // IWYU pragma: export
#include "engine/design/report.h"      // IWYU pragma: export
#include "engine/design/variabili.h"   // IWYU pragma: export
#include "engine/design/wheel.h"       // IWYU pragma: export
#include "engine/design/wheel_load.h"  // IWYU pragma: export
#include "engine/files/draw_file.h"    // IWYU pragma: export
#include "engine/files/tickets.h"      // IWYU pragma: export
#include "engine/files/wheel_file.h"   // IWYU pragma: export
#include "engine/limits.h"             // IWYU pragma: export
