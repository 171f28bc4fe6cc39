#pragma once

// The listing's wheel as numbered tickets on the printer's pages, laid out as the engine lays
// them out for its PDF (several to a page, none split by a page break), under a head.

#include <QString>
#include <QStringList>

#include "engine/core/any_wheel.h"

class QPrinter;

namespace quirmel {

// What a wheel was built for, as its tickets' head tells it: the game ("custom" or empty: none
// named) and the guarantee "T if M" (0: not known, as for a developed or opened wheel).
struct TicketsFor {
  QString game;
  int guarantee = 0;
  int drawSize = 0;
};

// The head of every page: the title, the tickets with their game and guarantee, the cost at
// `price` (none at 0), and the date.
QStringList TicketHead(const AnyWheel& wheel, const TicketsFor& made, double price);

void PaintTickets(QPrinter& printer, const AnyWheel& wheel, const QStringList& head);

}  // namespace quirmel
