#include "textio/error_line.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "textio/line_end.h"
#include "textio/signal_write.h"

namespace textio {
namespace {

bool g_usable = true;

}  // namespace

void set_error_lines_usable(bool usable) { g_usable = usable; }

void write_error_line(std::string_view text) {
  if (!g_usable) return;
  std::string out(text);
  out += current_line_end() == line_end::crlf ? "\r\n" : "\n";
  const int limit = std::max(writes_end_after, stop_signal_count() + 1);
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n =
        write_until_signals(STDERR_FILENO, out.data() + done, out.size() - done, limit, true);
    if (n < 0 && errno == EINTR && stop_signal_count() < limit) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace textio
