#include "fitted_table.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "base/text_characters.h"
#include "terminal_text.h"

namespace kiv::ctl {
namespace {

using Row = std::vector<std::string>;

constexpr std::size_t kGap = 2;
// Narrower than this, a wrapped column holds a word or two a line and the
// row grows taller than it is worth.
constexpr std::size_t kNarrowestWrapped = 12;

// The lines `text` takes in a column `width` characters wide: broken between
// words where it can be, inside a word longer than a line where it must.
std::vector<std::string> wrappedLines(std::string_view text, std::size_t width) {
  if (characterCount(text) <= width) return {std::string(text)};
  std::vector<std::string> lines;
  std::string line;
  const auto endLine = [&] {
    if (!line.empty()) lines.push_back(std::exchange(line, {}));
  };
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    std::string_view word = text.substr(0, blank);
    text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
    if (word.empty()) continue;
    while (characterCount(word) > width) {
      endLine();
      const std::string_view piece = leadingCharacters(word, width);
      lines.emplace_back(piece);
      word.remove_prefix(piece.size());
    }
    if (word.empty()) continue;
    if (!line.empty() && characterCount(line) + 1 + characterCount(word) > width) endLine();
    if (!line.empty()) line += ' ';
    line += word;
  }
  endLine();
  return lines;
}

class TableLayout {
 public:
  TableLayout(const std::vector<TableColumn>& columns, const std::vector<Row>& rows)
      : columns_(columns), shown_(columns.size(), true), natural_(columns.size(), 0) {
    for (const Row& row : rows) {
      for (std::size_t column = 0; column < row.size(); ++column) {
        natural_[column] = std::max(natural_[column], characterCount(row[column]));
      }
    }
    widths_ = natural_;
  }

  // Leaves out columns in their order, then shares the room left among the
  // wrapped ones.
  void fitInto(std::size_t width) {
    std::vector<std::size_t> order(columns_.size());
    std::iota(order.begin(), order.end(), 0);
    std::erase_if(order, [&](std::size_t column) { return columns_[column].leftOutOrder == 0; });
    std::ranges::stable_sort(order, {},
                             [&](std::size_t column) { return columns_[column].leftOutOrder; });
    for (const std::size_t column : order) {
      const bool narrowed = columns_[column].wraps;
      if (tableWidth(narrowed) > width) shown_[column] = false;
    }
    shareRoom(width);
  }

  const std::vector<bool>& shown() const { return shown_; }
  std::size_t width(std::size_t column) const { return widths_[column]; }
  bool wraps(std::size_t column) const { return columns_[column].wraps; }

 private:
  std::size_t narrowest(std::size_t column) const {
    if (!columns_[column].wraps) return natural_[column];
    return std::max(characterCount(columns_[column].heading),
                    std::min(natural_[column], kNarrowestWrapped));
  }

  // The shown columns' widths and the gaps between them, with the wrapped
  // columns at their narrowest or at their natural width.
  std::size_t tableWidth(bool narrowed) const {
    std::size_t total = 0;
    std::size_t count = 0;
    for (std::size_t column = 0; column < columns_.size(); ++column) {
      if (!shown_[column]) continue;
      total += narrowed ? narrowest(column) : natural_[column];
      ++count;
    }
    return total + (count > 0 ? (count - 1) * kGap : 0);
  }

  // The narrowest wrapped columns first take what they need of an even
  // share, so what they leave goes to the wider ones.
  void shareRoom(std::size_t width) {
    std::vector<std::size_t> wrapped;
    std::size_t room = width + kGap;
    for (std::size_t column = 0; column < columns_.size(); ++column) {
      if (!shown_[column]) continue;
      room -= std::min(room, kGap);
      if (columns_[column].wraps) {
        wrapped.push_back(column);
      } else {
        room -= std::min(room, natural_[column]);
      }
    }
    std::ranges::stable_sort(wrapped, {}, [&](std::size_t column) { return natural_[column]; });
    for (std::size_t index = 0; index < wrapped.size(); ++index) {
      const std::size_t column = wrapped[index];
      const std::size_t share = room / (wrapped.size() - index);
      widths_[column] = std::max(narrowest(column), std::min(natural_[column], share));
      room -= std::min(room, widths_[column]);
    }
  }

  const std::vector<TableColumn>& columns_;
  std::vector<bool> shown_;
  std::vector<std::size_t> natural_;
  std::vector<std::size_t> widths_;
};

void writeRow(const TableLayout& layout, const Row& row, std::ostream& out) {
  std::vector<std::vector<std::string>> cells;
  std::vector<std::size_t> columns;
  std::size_t height = 1;
  for (std::size_t column = 0; column < row.size(); ++column) {
    if (!layout.shown()[column]) continue;
    columns.push_back(column);
    cells.push_back(layout.wraps(column) ? wrappedLines(row[column], layout.width(column))
                                         : Row{row[column]});
    height = std::max(height, cells.back().size());
  }
  for (std::size_t index = 0; index < height; ++index) {
    std::string line;
    for (std::size_t shown = 0; shown < columns.size(); ++shown) {
      const std::string_view text =
          index < cells[shown].size() ? std::string_view(cells[shown][index]) : std::string_view();
      line += text;
      line.append(layout.width(columns[shown]) - characterCount(text) + kGap, ' ');
    }
    out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
  }
}

}  // namespace

void writeFittedTable(const std::vector<TableColumn>& columns, std::vector<Row> rows,
                      std::optional<std::size_t> width, std::ostream& out) {
  Row headings;
  for (const TableColumn& column : columns) headings.push_back(column.heading);
  rows.insert(rows.begin(), std::move(headings));
  for (Row& row : rows) {
    for (std::string& cell : row) cell = shownOnTerminal(cell);
  }
  TableLayout layout(columns, rows);
  if (width) layout.fitInto(*width);
  for (const Row& row : rows) writeRow(layout, row, out);
}

}  // namespace kiv::ctl
