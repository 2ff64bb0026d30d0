// What the unit table and the group open share inside textio.
#pragma once

#include <string>

#include "textio/units.h"

namespace textio {

// The sink of `unit` (1..99), made when first asked for.
sink& unit_slot(int unit);

// The file now open on unit 6, where the integrator's messages go.
void set_message_file(std::string name);

// Lets go of the locks the group opens took.
void release_locks();

// Forgets the inputs protect_input() recorded.
void forget_inputs();

}  // namespace textio
