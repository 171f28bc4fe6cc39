#pragma once

// The wheel engine: the cyclic development, its coverage analysis and report; wheels of
// any shape read from files, their general check and their replay against past draws.

#include "engine/book/book.h"           // IWYU pragma: export
#include "engine/builder/builder.h"     // IWYU pragma: export
#include "engine/check/check.h"         // IWYU pragma: export
#include "engine/check/draw_check.h"    // IWYU pragma: export
#include "engine/check/win_table.h"     // IWYU pragma: export
#include "engine/core/any_wheel.h"      // IWYU pragma: export
#include "engine/core/funzioni.h"       // IWYU pragma: export
#include "engine/design/coverage.h"     // IWYU pragma: export
#include "engine/design/development.h"  // IWYU pragma: export
#include "engine/design/report.h"       // IWYU pragma: export
#include "engine/design/wheel.h"        // IWYU pragma: export
#include "engine/files/draw_file.h"     // IWYU pragma: export
#include "engine/files/tickets.h"       // IWYU pragma: export
#include "engine/files/wheel_file.h"    // IWYU pragma: export
#include "engine/limits.h"              // IWYU pragma: export
