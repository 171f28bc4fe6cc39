#pragma once

// What a wheel costs: the price of one ticket of each game, as the player last set it (kept
// between sessions), and stakes in the player's locale and currency.

#include <QString>
#include <cstdint>

#include "window/seams.h"

namespace quirmel {

// The price of one ticket of `game` ("6/49", or "custom"), as set last; 0 when never set.
double TicketPrice(const WindowSeams& seams, const QString& game);
void SetTicketPrice(const WindowSeams& seams, const QString& game, double price);

// "$326.00", "326,00 €": an amount as the player's locale writes money.
QString LocaleAmount(double amount);
// "163 tickets × $2.00 = $326.00".
QString LocaleStake(int64_t tickets, double price);

}  // namespace quirmel
