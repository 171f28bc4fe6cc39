#pragma once

// The wheel engine: shared state, wheel generation, coverage analysis and its report.

#include "engine/coverage.h"    // IWYU pragma: export
#include "engine/funzioni.h"    // IWYU pragma: export
#include "engine/generation.h"  // IWYU pragma: export
#include "engine/report.h"      // IWYU pragma: export
#include "engine/variabili.h"   // IWYU pragma: export
#include "engine/wheel.h"       // IWYU pragma: export
