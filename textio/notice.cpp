#include "textio/notice.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "textio/units.h"

namespace textio {

void write_notice(std::string_view line) {
  std::string out(line);
  out += current_line_end() == line_end::crlf ? "\r\n" : "\n";
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::write(STDERR_FILENO, out.data() + done, out.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace textio
