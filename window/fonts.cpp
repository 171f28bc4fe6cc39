#include "window/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace quirmel {

namespace {

QStringList FamiliesOf(Face face) {
  switch (face) {
    case Face::Ui:
      return {"Segoe UI", "Open Sans", "DejaVu Sans"};
    case Face::UiSemibold:
      return {"Segoe UI Semibold", "Segoe UI", "Open Sans", "DejaVu Sans"};
    case Face::Mono:
      return {"Courier New", "Liberation Mono", "DejaVu Sans Mono"};
    case Face::Symbol:
      return HasSymbolFont() ? QStringList{"Webdings"} : QStringList{"DejaVu Sans", "Open Sans"};
  }
  return {};
}

}  // namespace

bool HasSymbolFont() {
  return QFontDatabase::families().contains(QStringLiteral("Webdings"));
}

QFont DesignFont(Face face, int pixelSize, QFont::Weight weight, bool underline) {
  QFont font;
  font.setFamilies(FamiliesOf(face));
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  font.setUnderline(underline);
  if (face == Face::Mono) {
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
  }
  return font;
}

}  // namespace quirmel
