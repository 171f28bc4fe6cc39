#pragma once

// The book's files as the build embeds them (book_data.cpp is made from the book's folder).

#include <span>
#include <string_view>

namespace quirmel {

struct BookFile {
  std::string_view name;  // the cell, as k6-t3-m6-v24
  std::string_view text;  // the wheel file
};

std::span<const BookFile> BookFiles();  // by name
std::string_view BookIndex();           // index.csv: a line a cell

}  // namespace quirmel
