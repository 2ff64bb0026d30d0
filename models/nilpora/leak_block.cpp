#include "models/nilpora/leak_block.h"

namespace nilpora {

leakpar_block LEAKPAR = {0.0, 0.0};

}  // namespace nilpora
