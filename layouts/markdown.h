// The legends of calcium-layouts as Markdown, one section per program and
// file: the whole legend (the build's docs/results.md, installed) and one
// program's (models/<program>/results.md, committed beside the program).
#pragma once

#include <string>
#include <vector>

#include "models/calcium/layout_doc.h"

namespace layouts {

std::string legend_markdown(const std::vector<calcium::program_doc>& programs);
std::string program_markdown(const calcium::program_doc& p);

}  // namespace layouts
