#include "integrator/messages.h"

#include <algorithm>
#include <string>

#include "integrator/solver_state.h"
#include "textio/exit_path.h"
#include "textio/line.h"
#include "textio/units.h"

namespace integrator {

namespace {

constexpr int chars_per_group = 4;
constexpr int max_chars = 60;  // 15 groups: a message never wraps

}  // namespace

void write_message(std::string_view MSG, int NMES, int /*NERR*/, int LEVEL, int NI, int I1, int I2,
                   int NR, double R1, double R2) {
  if (message_control.PRINT_FLAG != 0) {
    const int unit = message_control.MESSAGE_UNIT;
    const int nch = std::clamp(NMES, 0, max_chars);
    const int groups = (nch + chars_per_group - 1) / chars_per_group;
    const std::size_t width = static_cast<std::size_t>(groups * chars_per_group);

    textio::line text;
    text.x(1).lit(MSG.substr(0, std::min(width, MSG.size())));
    if (MSG.size() < width) text.x(static_cast<int>(width - MSG.size()));
    textio::write_unit(unit, text.view());

    if (NI == 1 || NI == 2) {
      textio::line values;
      values.x(6).lit("IN ABOVE MESSAGE,  I1 =").i(I1, 10);
      if (NI == 2) values.x(3).lit("I2 =").i(I2, 10);
      textio::write_unit(unit, values.view());
    }
    if (NR == 1) {
      textio::line values;
      values.x(6).lit("IN ABOVE MESSAGE,  R1 =").dexp(R1, 21, 13);
      textio::write_unit(unit, values.view());
    } else if (NR == 2) {
      textio::line values;
      values.x(6).lit("IN ABOVE,  R1 =").dexp(R1, 21, 13).x(3).lit("R2 =").dexp(R2, 21, 13);
      textio::write_unit(unit, values.view());
    }
  }
  // A fatal message is a failure of the run: a script must not see status 0.
  if (LEVEL == 2) {
    const std::string_view text = MSG.substr(0, MSG.find_last_not_of(' ') + 1);
    textio::stop_run("the integrator stopped the run: " + std::string(text));
  }
}

}  // namespace integrator
