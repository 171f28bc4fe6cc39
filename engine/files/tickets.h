#pragma once

// A wheel as tickets to play: CSV for online forms (one ticket a line) and a printable PDF of
// numbered tickets, several to a page, each with its numbers in large type, under a head that
// says what the wheel is. Page breaks never split a ticket.

#include <string>
#include <vector>

#include "engine/core/any_wheel.h"

namespace quirmel {

// One ticket a line, its numbers as two digits each, separated by `separator`.
std::string TicketsCsv(const AnyWheel& wheel, char separator = ',');

// Where each ticket stands on the pages, in points from the page's bottom left (A4 portrait).
struct TicketBox {
  int ticket = 0;  // from 1
  int page = 0;    // from 0
  double x = 0, y = 0, width = 0, height = 0;
  std::vector<std::string> lines;  // the numbers, a few to a line
};
struct TicketLayout {
  double pageWidth = 595, pageHeight = 842;  // A4
  double headTop = 806;                      // the head's first line
  int pages = 0;
  std::vector<TicketBox> boxes;
};
TicketLayout LayOutTickets(const AnyWheel& wheel, int headLines);

// The tickets as a PDF document (the standard Helvetica faces, nothing embedded), `head` (a few
// lines: the game, the guarantee, the row count, the cost, the date) on top of every page.
std::string TicketsPdf(const AnyWheel& wheel, const std::vector<std::string>& head);

}  // namespace quirmel
