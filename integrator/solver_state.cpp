#include "integrator/solver_state.h"

namespace integrator {

solver_state_block solver_state{};
message_control_block message_control{};

}  // namespace integrator
