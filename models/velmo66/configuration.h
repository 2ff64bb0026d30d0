// velmo66 as a configuration of the calcium run frame: velmo67's network,
// result files and analyses with a 158-line parameter file, a k23 switch in
// phase 2, a 35-line rate-constant table, no CPU-time lines and CR LF line
// ends.
#pragma once

#include "models/calcium/frame_config.h"

namespace velmo66 {

const calcium::frame_config& configuration();

}  // namespace velmo66
