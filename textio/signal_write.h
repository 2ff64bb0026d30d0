// The stop signals as they arrive, and the writes they end. The first stop
// signal asks the run to stop: a write that waits (a console pipe nobody
// reads) goes on, so that the run writes out what it has. A stop signal that
// comes while the run is already stopping ends every write at once, a waiting
// one included. What a stop signal does to the run itself (exit_path.h) is
// decided above this layer: the output units and the reader only look here.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace textio {

// The stop signals after which nothing more is written.
inline constexpr int writes_end_after = 2;

// From the stop-signal handler (async-signal-safe): records `sig` as the
// last stop signal, counts it, and leaves the waiting write it ends.
void count_stop_signal(int sig);

// A new run starts with no signal counted.
void forget_stop_signals();

// The stop signal that has arrived last, or 0.
int stop_signal();

int stop_signal_count();
inline bool writes_ended() { return stop_signal_count() >= writes_end_after; }

// write(2), except that once `limit` stop signals have come it fails with
// EINTR and writes nothing more. With `may_wait` (anything but a regular
// file) the signal that makes them `limit` leaves the call at once, even when
// it came just before the call began to wait; what the call had written is
// then not counted, which only a file to be cut back to a whole line would
// mind, and a regular file never waits.
ssize_t write_until_signals(int fd, const void* p, std::size_t n, int limit, bool may_wait);

}  // namespace textio
