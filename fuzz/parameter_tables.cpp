#include "fuzz/parameter_tables.h"

#include <algorithm>

namespace fuzzcheck {
namespace {

struct builder {
  std::vector<statement_shape> t;
  void add(statement_shape::kind k, int count, int text_len = 0) {
    statement_shape s{k, count, text_len, {}};
    int line = static_cast<int>(t.size()) + 1;
    for (int j = 1; j <= count; ++j)
      s.names.push_back(count == 1 ? "line" + std::to_string(line)
                                   : "line" + std::to_string(line) + "." + std::to_string(j));
    t.push_back(std::move(s));
  }
  void reals(int lines, int per_line) {
    for (int i = 0; i < lines; ++i) add(statement_shape::real, per_line);
  }
  // Phase-change block: one real a line, two on the listed lines.
  void phase_lines(int first, int last, std::initializer_list<int> two) {
    for (int line = first; line <= last; ++line)
      add(statement_shape::real, std::find(two.begin(), two.end(), line) != two.end() ? 2 : 1);
  }
  // Run name, time line, rate constants and cooperativity.
  void head(int name_len, int rate_lines) {
    add(statement_shape::text, 1, name_len);
    reals(1, 7);
    reals(rate_lines, 1);
  }
  // Initial state, NOUT, window, thresholds and bands.
  void tail(int state_lines, bool nout) {
    reals(state_lines, 4);
    if (nout) add(statement_shape::integer, 5);
    add(statement_shape::integer, 1);
    reals(3, 1);
    reals(3, 3);
  }
};

std::vector<std::vector<statement_shape>> make_tables() {
  std::vector<std::vector<statement_shape>> all;
  {
    builder b;  // velmo67: 161 lines
    b.head(10, 79);
    b.phase_lines(82, 145, {82, 84, 107, 113, 130, 132, 135, 139});
    b.tail(8, true);
    all.push_back(b.t);
  }
  for (int name_len : {10, 11}) {
    builder b;  // velmo66 (run name of 10) and velmo65 (11): 158 lines
    b.head(name_len, 79);
    b.phase_lines(82, 142, {82, 84, 106, 110, 127, 129, 132, 136});
    b.tail(8, true);
    all.push_back(b.t);
  }
  {
    builder b;  // velmo64v6: 110 lines
    b.head(12, 68);
    b.phase_lines(71, 96, {71, 73, 82, 89, 91, 95});
    b.tail(7, false);
    all.push_back(b.t);
  }
  {
    builder b;  // nilpora: 6 lines
    b.add(statement_shape::text, 1, 10);
    b.reals(1, 3);
    b.reals(3, 1);
    b.reals(1, 2);
    all.push_back(b.t);
  }
  return all;
}

const std::vector<std::vector<statement_shape>>& tables() {
  static const auto all = make_tables();
  return all;
}

}  // namespace

const std::vector<statement_shape>& parameter_table(unsigned which) {
  return tables()[which % tables().size()];
}

const char* parameter_table_name(unsigned which) {
  static const char* names[] = {"velmo67", "velmo66", "velmo65", "velmo64v6", "nilpora"};
  return names[which % tables().size()];
}

unsigned parameter_table_count() { return static_cast<unsigned>(tables().size()); }

}  // namespace fuzzcheck
