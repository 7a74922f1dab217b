#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kiv::ctl {

// A column of a text table, and what may be done to it when the table is
// wider than the console.
struct TableColumn {
  std::string heading;
  // Free text, wrapped onto continuation lines when the table needs the
  // room; the others are always shown whole.
  bool wraps = false;
  // 0: always shown. Else the column is left out when the table does not
  // fit, columns with a lower number first: one that does not wrap when the
  // whole table is too wide, one that wraps only when it would have to be
  // narrower than its heading or than a few words.
  int leftOutOrder = 0;
};

// Writes the rows under their columns' headings, each column two blanks
// from the next and as wide as its widest text in characters, a row's
// trailing blanks left out. With a width, columns are left out and wrapped
// until the table fits, as TableColumn says; the columns always shown are
// never cut, so a console too narrow even for them gets longer lines.
// Without one every column is shown whole. Control characters in the texts
// are shown escaped.
void writeFittedTable(const std::vector<TableColumn>& columns,
                      std::vector<std::vector<std::string>> rows, std::optional<std::size_t> width,
                      std::ostream& out);

}  // namespace kiv::ctl
