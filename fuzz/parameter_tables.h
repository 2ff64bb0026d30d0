// Statement tables shaped like the programs' parameter files: the item kinds
// and counts, line by line, that each program reads.
#pragma once

#include <string>
#include <vector>

namespace fuzzcheck {

struct statement_shape {
  enum kind { text, real, integer };
  kind k;
  int count;     // values on the statement
  int text_len;  // for text: the blank-padded length
  std::vector<std::string> names;
};

// Table `which` modulo the number of tables: velmo67, velmo66, velmo65,
// velmo64v6, nilpora.
const std::vector<statement_shape>& parameter_table(unsigned which);
const char* parameter_table_name(unsigned which);
unsigned parameter_table_count();

}  // namespace fuzzcheck
