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

// The name a group opened the `sharing::directory` file on `unit` under, or
// empty.
const std::string& shared_file_name(int unit);

// Points where a test acts in the middle of a group open or a wait; unset
// in the programs. `created` runs once a file the group made is in place
// under `name`; `before_wait` runs in shared_write after a lock attempt
// failed, just before the wait for the next one.
struct file_seams {
  void (*created)(const std::string& name) = nullptr;
  void (*before_wait)() = nullptr;
};
file_seams& seams();

}  // namespace textio
