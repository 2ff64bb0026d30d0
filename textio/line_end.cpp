#include "textio/line_end.h"

namespace textio {
namespace {

line_end g_line_end = line_end::lf;

}  // namespace

void set_line_end(line_end end) { g_line_end = end; }
line_end current_line_end() { return g_line_end; }

}  // namespace textio
