#include "layouts/programs.h"

#include "calcium_programs.h"  // generated from models/programs.txt

#define CALCIUM_DECLARE_LAYOUTS(name)                                  \
  namespace name {                                                     \
  calcium::program_doc layout_doc();                                   \
  calcium::parameter_reading read_as_program(const std::string& path); \
  }
CALCIUM_PROGRAMS(CALCIUM_DECLARE_LAYOUTS)
#undef CALCIUM_DECLARE_LAYOUTS

namespace layouts {

namespace {

#define CALCIUM_ENTRY(name) {#name, name::layout_doc, name::read_as_program},
const program_entry entries[] = {CALCIUM_PROGRAMS(CALCIUM_ENTRY)};
#undef CALCIUM_ENTRY

}  // namespace

std::span<const program_entry> programs() { return entries; }

const program_entry* find_program(std::string_view name) {
  for (const program_entry& p : entries)
    if (name == p.name) return &p;
  return nullptr;
}

}  // namespace layouts
