#pragma once

// The listing's wheel as numbered tickets on the printer's pages, laid out as the engine lays
// them out for its PDF (several to a page, none split by a page break), under a head.

#include <QStringList>

#include "engine/core/any_wheel.h"

class QPrinter;

namespace quirmel {

void PaintTickets(QPrinter& printer, const AnyWheel& wheel, const QStringList& head);

}  // namespace quirmel
