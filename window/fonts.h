#pragma once

// The window's fonts, in pixel sizes so the layout holds at 96 dpi and scales with the desktop.
// Each face asks for its own family first and then for near substitutes, so a desktop without
// Segoe UI or Courier New gets a font of the same kind and weight.

#include <QFont>

namespace quirmel {

enum class Face {
  Ui,          // Segoe UI, else Open Sans, DejaVu Sans
  UiSemibold,  // Segoe UI Semibold, else Open Sans SemiBold
  Mono,        // Courier New, else Liberation Mono (same metrics), DejaVu Sans Mono
  Symbol,      // Webdings where present, else any font with the triangles
};

QFont DesignFont(Face face, int pixelSize, QFont::Weight weight = QFont::Normal,
                 bool underline = false);

// Whether the symbol font with the design's arrow glyphs (Webdings) is installed.
bool HasSymbolFont();

}  // namespace quirmel
