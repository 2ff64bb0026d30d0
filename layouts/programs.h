// The programs of models/programs.txt with their legends and readers, as
// each program's layout_doc.cpp provides them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "models/calcium/layout_doc.h"

namespace layouts {

struct program_entry {
  const char* name;  // "velmo67"
  calcium::program_doc (*layout_doc)();
  calcium::parameter_reading (*read_as_program)(const std::string& path);
};

// Every program, in the order of the list.
std::span<const program_entry> programs();

// The program called `name`; null when there is none.
const program_entry* find_program(std::string_view name);

}  // namespace layouts
