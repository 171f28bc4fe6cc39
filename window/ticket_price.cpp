#include "window/ticket_price.h"

#include <QLocale>

#include "engine/limits.h"

namespace quirmel {

namespace {

// "ticketPrice/6-49": a settings key holds no '/' or '+' of a game's name.
QString PriceKey(const QString& game) {
  QString name = game;
  name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('+'), QLatin1Char('-'));
  return QStringLiteral("ticketPrice/") + name;
}

}  // namespace

double TicketPrice(const WindowSeams& seams, const QString& game) {
  if (!seams.recall) return 0;
  bool number = false;
  const double price = seams.recall(PriceKey(game)).toDouble(&number);
  // A settings file edited by hand may hold anything: only a price the box could have set counts.
  return number && price > 0 && price <= kMaxTicketPrice ? price : 0;
}

void SetTicketPrice(const WindowSeams& seams, const QString& game, double price) {
  if (seams.remember) seams.remember(PriceKey(game), price);
}

QString LocaleAmount(double amount) {
  return QLocale::system().toCurrencyString(amount);
}

QString LocaleStake(int64_t tickets, double price) {
  return QStringLiteral("%1 %2 × %3 = %4")
      .arg(QLocale::system().toString(static_cast<qlonglong>(tickets)),
           tickets == 1 ? QStringLiteral("ticket") : QStringLiteral("tickets"), LocaleAmount(price),
           LocaleAmount(price * static_cast<double>(tickets)));
}

}  // namespace quirmel
