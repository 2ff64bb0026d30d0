// The layout of a result file's rows as data: each column's name and
// meaning, and where the writer takes its value from. The writer and the
// legend (calcium-layouts, each program's results.md) read the same table,
// so a column cannot be written without being named, nor named without
// being written.
//
// A table is a constexpr array of column<Source>, where Source is what a
// row is formed from (a step's values, a run state). make_row_layout<table>
// turns it into a row_layout whose `values` routine reads the columns with
// every accessor inlined: forming a row costs what a hand-written list of
// values costs, and allocates nothing.
#pragma once

#include <cstddef>
#include <iterator>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>

#include "models/calcium/row_writer.h"

namespace calcium {

template <class Source>
struct column {
  std::string_view name;     // "Ca_cyt", as the model names it
  std::string_view meaning;  // one line for the legend
  double (*value)(const Source&);
};

// The most fields a row of any program has (velmo67's data row: 39).
inline constexpr std::size_t max_row_fields = 40;

// Rows "(1X,1PEw.d,(n-1)(',',1PEw.d))" of one result file.
template <class Source>
struct row_layout {
  int width;
  int digits;
  std::span<const column<Source>> columns;
  // Stores the values of the whole table that `columns` was taken from, in
  // column order, at out[0..]; at least columns.size(), at most
  // max_row_fields values.
  void (*values)(const Source&, double* out);
};

namespace row_layout_detail {

template <const auto& table, class Source, std::size_t... i>
void fill(const Source& s, double* out, std::index_sequence<i...>) {
  ((out[i] = table[i].value(s)), ...);
}

// Accessor functions take their source as their only parameter.
template <class F>
struct first_parameter;
template <class R, class A>
struct first_parameter<R (*)(A)> {
  using type = std::remove_cvref_t<A>;
};

}  // namespace row_layout_detail

// The layout of `table` (a constexpr array of column<Source>) in fields of
// `width` characters with `digits` digits after the point.
template <const auto& table>
constexpr auto make_row_layout(int width, int digits) {
  using Source = typename row_layout_detail::first_parameter<decltype(table[0].value)>::type;
  constexpr std::size_t n = std::size(table);
  static_assert(n <= max_row_fields, "a row has more fields than max_row_fields");
  return row_layout<Source>{width, digits, std::span<const column<Source>>(table, n),
                            [](const Source& s, double* out) {
                              row_layout_detail::fill<table>(s, out, std::make_index_sequence<n>{});
                            }};
}

// The first `n` columns of `l` (a version that writes a shorter row).
template <class Source>
constexpr row_layout<Source> first_columns(const row_layout<Source>& l, std::size_t n) {
  return {l.width, l.digits, l.columns.first(n < l.columns.size() ? n : l.columns.size()),
          l.values};
}

// Forms the row of `s` at `out` (room for `capacity` characters); returns
// its length.
template <class Source>
std::size_t form_row(char* out, std::size_t capacity, const row_layout<Source>& l,
                     const Source& s) {
  double v[max_row_fields];
  l.values(s, v);
  return form_row(out, capacity, std::span<const double>(v, l.columns.size()), l.width, l.digits);
}

// Writes the row of `s` as one line on output unit `unit`.
template <class Source>
void write_row(int unit, const row_layout<Source>& l, const Source& s) {
  double v[max_row_fields];
  l.values(s, v);
  write_row(unit, std::span<const double>(v, l.columns.size()), l.width, l.digits);
}

}  // namespace calcium
