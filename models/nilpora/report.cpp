#include "models/nilpora/report.h"

#include <unistd.h>

#include <string>

#include "textio/line.h"
#include "textio/units.h"

namespace nilpora {

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
