// docs/results.md: the legends of calcium-layouts as Markdown, one section
// per program and file.
#pragma once

#include <string>
#include <vector>

#include "models/calcium/layout_doc.h"

namespace layouts {

std::string legend_markdown(const std::vector<calcium::program_doc>& programs);

}  // namespace layouts
