#include "engine/files/tickets.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/text_lines.h"

namespace quirmel {
namespace {

constexpr double kMargin = 36;
constexpr double kHeadLine = 16;    // points a head line takes
constexpr int kColumns = 3;         // tickets across a page
constexpr int kNumbersPerLine = 6;  // of a ticket, in large type
constexpr double kNumberLine = 22;  // points a line of numbers takes
constexpr double kLabelSpace = 20;  // the ticket's number above its numbers
constexpr double kGap = 8;          // between tickets

// Text for a PDF string: backslashes and parentheses escaped, bytes outside ASCII left out.
std::string PdfText(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\' || c == '(' || c == ')') escaped += '\\';
    if (static_cast<unsigned char>(c) >= 32 && static_cast<unsigned char>(c) < 127) escaped += c;
  }
  return escaped;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

std::string TicketsCsv(const AnyWheel& wheel, char separator) {
  std::string csv;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    std::string line = TwoDigits(wheel.row(r));
    std::replace(line.begin(), line.end(), ' ', separator);
    csv += line + '\n';
  }
  return csv;
}

TicketLayout LayOutTickets(const AnyWheel& wheel, int headLines) {
  TicketLayout layout;
  const int longest = std::max(wheel.LongestRow(), 1);
  const int lines = (longest + kNumbersPerLine - 1) / kNumbersPerLine;
  const double width = (layout.pageWidth - 2 * kMargin - (kColumns - 1) * kGap) / kColumns;
  const double height = kLabelSpace + lines * kNumberLine + 6;
  const double top = layout.headTop - headLines * kHeadLine - kGap;
  const int rowsOnPage = std::max(1, static_cast<int>((top - kMargin + kGap) / (height + kGap)));
  const int perPage = rowsOnPage * kColumns;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    const int index = static_cast<int>(r);
    const int place = index % perPage;
    TicketBox box{.ticket = index + 1,
                  .page = index / perPage,
                  .x = kMargin + (place % kColumns) * (width + kGap),
                  .y = top - (place / kColumns + 1) * height - (place / kColumns) * kGap,
                  .width = width,
                  .height = height,
                  .lines = {}};
    const auto row = wheel.row(r);
    for (std::size_t i = 0; i < row.size(); i += kNumbersPerLine)
      box.lines.push_back(
          TwoDigits(row.subspan(i, std::min<std::size_t>(kNumbersPerLine, row.size() - i))));
    layout.boxes.push_back(std::move(box));
  }
  layout.pages = layout.boxes.empty() ? 1 : layout.boxes.back().page + 1;
  return layout;
}

std::string TicketsPdf(const AnyWheel& wheel, const std::vector<std::string>& head) {
  const TicketLayout layout = LayOutTickets(wheel, static_cast<int>(head.size()));
  // Objects: 1 catalog, 2 page tree, 3 and 4 the fonts, then a page and its content each.
  std::vector<std::string> contents(static_cast<std::size_t>(layout.pages));
  for (std::string& page : contents) {
    double y = layout.headTop;
    for (std::size_t i = 0; i < head.size(); ++i, y -= kHeadLine) {
      page += "BT /" + std::string(i == 0 ? "F2 13" : "F1 10") + " Tf " + Number(kMargin) + " " +
              Number(y) + " Td (" + PdfText(head[i]) + ") Tj ET\n";
    }
  }
  for (const TicketBox& box : layout.boxes) {
    std::string& page = contents[static_cast<std::size_t>(box.page)];
    page += Number(box.x) + " " + Number(box.y) + " " + Number(box.width) + " " +
            Number(box.height) + " re S\n";
    page += "BT /F1 9 Tf " + Number(box.x + 6) + " " + Number(box.y + box.height - 13) +
            " Td (Ticket " + std::to_string(box.ticket) + ") Tj ET\n";
    double line = box.y + box.height - kLabelSpace - 16;
    for (const std::string& numbers : box.lines) {
      page += "BT /F2 17 Tf " + Number(box.x + 6) + " " + Number(line) + " Td (" + numbers +
              ") Tj ET\n";
      line -= kNumberLine;
    }
  }
  std::vector<std::string> objects;
  objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int p = 0; p < layout.pages; ++p)
    kids += std::to_string(5 + 2 * p) + " 0 R ";
  objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(layout.pages) +
                    " >>");
  objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>");
  for (int p = 0; p < layout.pages; ++p) {
    objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(layout.pageWidth) +
                      " " + Number(layout.pageHeight) +
                      "] /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents " +
                      std::to_string(6 + 2 * p) + " 0 R >>");
    const std::string& stream = contents[static_cast<std::size_t>(p)];
    objects.push_back("<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream +
                      "endstream");
  }
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::size_t offset : offsets) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace quirmel
