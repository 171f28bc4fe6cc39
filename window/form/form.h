#pragma once

// The window's form: the shared state, the generation from the boxes and the wheel it opens.

#include "engine/engine.h"           // IWYU pragma: export
#include "window/form/generation.h"  // IWYU pragma: export
#include "window/form/variabili.h"   // IWYU pragma: export
#include "window/form/wheel_load.h"  // IWYU pragma: export
