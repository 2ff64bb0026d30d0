#include "models/nilpora/report.h"

#include <unistd.h>

#include <string>

#include "textio/units.h"

namespace nilpora {

void concentration_line(textio::line& out, double y1, double y2) {
  out.clear();
  out.x(1).sci(y1, 10, 3).lit(",").sci(y2, 10, 3);
}

void data_row(textio::line& out, double t, double y1, double y2, double vmax) {
  out.clear();
  out.x(1).sci(t, 12, 5).lit(",").sci(y1, 12, 5).lit(",").sci(y2, 12, 5).lit(",").sci(vmax, 12, 5);
}

void stop_before_output(std::string_view message) {
  std::string text(message);
  text += textio::current_line_end() == textio::line_end::crlf ? "\r\n" : "\n";
  // Standard error is unbuffered here on purpose: the process ends right after.
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  textio::stop(2);
}

void error_halt(int ISTATE) {
  textio::console().write_line("");
  textio::console().write_line("");
  textio::console().write_line("");
  textio::line halt;
  halt.lit(" ERROR HALT.. ISTATE =").i(ISTATE, 3);
  textio::console().write_line(halt.view());
  textio::stop(1);
}

}  // namespace nilpora
