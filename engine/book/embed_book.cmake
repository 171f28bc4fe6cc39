# Writes the wheel book's files into one C++ source as string literals, so that the program
# carries its book wherever it is run or installed.
#   cmake -DBOOK_DIR=<book folder> -DOUTPUT=<file.cpp> -P embed_book.cmake
file(GLOB wheels "${BOOK_DIR}/*.txt")
list(SORT wheels)
set(out "// Made by embed_book.cmake from the book's folder; not edited by hand.\n")
string(APPEND out "#include \"engine/book/book_data.h\"\n\nnamespace quirmel {\n\n")
# A constant array of views: nothing is built at start-up, and the file compiles in a moment.
string(APPEND out "namespace {\n\nusing namespace std::string_view_literals;\n\nconstexpr BookFile kFiles[] = {\n")
foreach(wheel IN LISTS wheels)
  get_filename_component(name "${wheel}" NAME_WE)
  file(READ "${wheel}" text)
  string(APPEND out "    {\"${name}\"sv, R\"book(${text})book\"sv},\n")
endforeach()
string(APPEND out "};\n\n}  // namespace\n\nstd::span<const BookFile> BookFiles() { return kFiles; }\n\n")
set(index "")
if(EXISTS "${BOOK_DIR}/index.csv")
  file(READ "${BOOK_DIR}/index.csv" index)
endif()
string(APPEND out "std::string_view BookIndex() {\n  return R\"book(${index})book\";\n}\n\n}  // namespace quirmel\n")
# Rewritten only when it changes, so that an unchanged book compiles nothing.
set(previous "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
endif()
if(NOT previous STREQUAL out)
  file(WRITE "${OUTPUT}" "${out}")
endif()
