// calcium-layouts: the legend of every program's result files and parameter
// file, from the tables the programs write and read with.
//   calcium-layouts                    JSON (share/calcium/layouts.json)
//   calcium-layouts --markdown         the whole legend (the build's docs/results.md)
//   calcium-layouts --markdown PROGRAM PROGRAM's legend (models/PROGRAM/results.md)
//   calcium-layouts read PROGRAM FILE  FILE read by PROGRAM's own reader, as JSON
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "layouts/json.h"
#include "layouts/markdown.h"
#include "layouts/programs.h"

namespace {

int usage() {
  std::fputs("usage: calcium-layouts [--markdown [PROGRAM]]\n"
             "       calcium-layouts read PROGRAM FILE\n",
             stderr);
  return 2;
}

// The program called `name`; null, with a line on standard error, when
// there is none.
const layouts::program_entry* named_program(std::string_view name) {
  const layouts::program_entry* p = layouts::find_program(name);
  if (!p)
    std::fprintf(stderr, "calcium-layouts: no program '%.*s'\n", static_cast<int>(name.size()),
                 name.data());
  return p;
}

int print(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    return 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "read") {
    const layouts::program_entry* p = named_program(args[1]);
    if (!p) return 2;
    return print(layouts::reading_json(p->name, p->read_as_program(std::string(args[2]))));
  }
  if (args.size() == 2 && args[0] == "--markdown") {
    const layouts::program_entry* p = named_program(args[1]);
    if (!p) return 2;
    return print(layouts::program_markdown(p->layout_doc()));
  }
  if (args.size() > 1 || (args.size() == 1 && args[0] != "--markdown")) return usage();
  std::vector<calcium::program_doc> docs;
  for (const layouts::program_entry& p : layouts::programs()) docs.push_back(p.layout_doc());
  return print(args.empty() ? layouts::legend_json(docs) : layouts::legend_markdown(docs));
}
