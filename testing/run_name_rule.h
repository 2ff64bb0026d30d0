// The run name a program takes from the first line of its parameter file,
// by the programs' own rule (textio::read_run_name with the program's field
// length and item): the padded name that begins every result-file name, and
// the line the program writes on standard error when the name is cut.
// Tests derive the names they expect from here instead of writing them out,
// so that they hold for any run name an example has. Links textio.
#pragma once

#include <string>
#include <vector>

#include "testing/program_facts.h"
#include "testing/program_run.h"
#include "textio/run_name.h"
#include "textio/value_reader.h"

namespace testing_support {

struct taken_run_name {
  std::string padded;  // runname_length characters
  std::string notice;  // the line on standard error with its line end; empty when not cut
};

inline taken_run_name take_run_name(const program_facts& p, const std::string& first_line) {
  const scratch_dir dir;
  dir.write(p.parameter_file, first_line + "\n");
  const std::string path = (dir / p.parameter_file).string();
  std::vector<char> name(static_cast<std::size_t>(p.runname_length), ' ');
  std::string notice;
  textio::read_error err;
  {
    textio::value_reader in(path);
    textio::read_run_name(in, p.runname_item, name.data(), p.runname_length, &notice, &err);
  }
  taken_run_name t{std::string(name.begin(), name.end()), ""};
  // The program reads its file by its bare name in the working directory.
  if (!notice.empty()) t.notice = p.parameter_file + notice.substr(path.size()) + p.line_end;
  return t;
}

}  // namespace testing_support
