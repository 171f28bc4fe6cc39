#include "window/ticket_print.h"

#include <QDate>
#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include "engine/core/games.h"
#include "engine/files/tickets.h"
#include "window/ticket_price.h"

namespace quirmel {

QStringList TicketHead(const AnyWheel& wheel, const TicketsFor& made, double price) {
  const auto tickets = static_cast<int64_t>(wheel.rowCount());
  QString what =
      QStringLiteral("%1 %2").arg(QLocale::system().toString(static_cast<qlonglong>(tickets)),
                                  tickets == 1 ? "ticket" : "tickets");
  if (FindGame(made.game.toStdString())) what += QStringLiteral(", game %1").arg(made.game);
  if (made.guarantee > 0)
    what += QStringLiteral(", guarantee %1 if %2").arg(made.guarantee).arg(made.drawSize);
  QStringList head{QStringLiteral("QUIRMEL tickets"), what};
  if (price > 0) head << QStringLiteral("Cost: %1").arg(LocaleStake(tickets, price));
  head << QStringLiteral("Printed %1")
              .arg(QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat));
  return head;
}

void PaintTickets(QPrinter& printer, const AnyWheel& wheel, const QStringList& head) {
  const TicketLayout layout = LayOutTickets(wheel, static_cast<int>(head.size()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter(&printer);
  if (!painter.isActive()) return;
  // The layout's points, from the page's bottom left, onto the page.
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const double scale = std::min(page.width() / layout.pageWidth, page.height() / layout.pageHeight);
  const auto at = [&](double x, double y) {
    return QPointF(x * scale, (layout.pageHeight - y) * scale);
  };
  QFont text(QStringLiteral("Helvetica"));
  text.setPixelSize(static_cast<int>(10 * scale));
  QFont title = text;
  title.setBold(true);
  title.setPixelSize(static_cast<int>(13 * scale));
  QFont label = text;
  label.setPixelSize(static_cast<int>(9 * scale));
  QFont numbers = title;
  numbers.setPixelSize(static_cast<int>(17 * scale));
  int shown = -1;
  for (const TicketBox& box : layout.boxes) {
    if (box.page != shown) {
      if (shown >= 0) printer.newPage();
      shown = box.page;
      double y = layout.headTop;
      for (int i = 0; i < head.size(); ++i, y -= 16) {
        painter.setFont(i == 0 ? title : text);
        painter.drawText(at(36, y), head[i]);
      }
    }
    painter.drawRect(QRectF(at(box.x, box.y + box.height), at(box.x + box.width, box.y)));
    painter.setFont(label);
    painter.drawText(at(box.x + 6, box.y + box.height - 13),
                     QStringLiteral("Ticket %1").arg(box.ticket));
    painter.setFont(numbers);
    double line = box.y + box.height - 36;
    for (const std::string& part : box.lines) {
      painter.drawText(at(box.x + 6, line), QString::fromStdString(part));
      line -= 22;
    }
  }
}

}  // namespace quirmel
