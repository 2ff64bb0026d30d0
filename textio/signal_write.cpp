// Writes that the stop signals end. Checking the count and then calling
// write(2) leaves a gap: a signal in between would be seen only after a write
// that may wait for ever. So a write that may wait is armed first, and the
// handler of the signal that ends it jumps out of it.
#include "textio/signal_write.h"

#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <csignal>

namespace textio {
namespace {

volatile std::sig_atomic_t g_last = 0;
volatile std::sig_atomic_t g_count = 0;
// While a write that may wait is armed: the count that ends it; else 0.
volatile std::sig_atomic_t g_armed_limit = 0;
sigjmp_buf g_leave_write;

ssize_t interrupted() {
  errno = EINTR;
  return -1;
}

}  // namespace

void count_stop_signal(int sig) {
  g_last = sig;
  const int count = g_count + 1;
  g_count = count;
  if (g_armed_limit != 0 && count >= g_armed_limit) {
    g_armed_limit = 0;
    siglongjmp(g_leave_write, 1);  // restores the signal mask of the write
  }
}

void forget_stop_signals() {
  g_armed_limit = 0;
  g_count = 0;
  g_last = 0;
}

int stop_signal() { return g_last; }

int stop_signal_count() { return g_count; }

ssize_t write_until_signals(int fd, const void* p, std::size_t n, int limit, bool may_wait) {
  if (!may_wait) return g_count >= limit ? interrupted() : ::write(fd, p, n);
  if (sigsetjmp(g_leave_write, 1) != 0) return interrupted();
  g_armed_limit = limit;
  // Armed before the check: a signal after it leaves the write below.
  const ssize_t k = g_count >= limit ? interrupted() : ::write(fd, p, n);
  g_armed_limit = 0;
  return k;
}

}  // namespace textio
