"""Progress on standard error for the steps that take more than a moment:
a step says what it does only once it has taken longer than `after` seconds,
and then how long it took."""

from __future__ import annotations

import sys
import threading
import time


class step:
    def __init__(self, what: str, enabled: bool = True, after: float = 0.5, stream=None):
        self.what, self.enabled, self.after = what, enabled, after
        self.stream = stream or sys.stderr
        self._said = False
        self._lock = threading.Lock()

    def _say(self):
        with self._lock:
            if not self._done:
                self.stream.write(f"calcium: {self.what} ...\n")
                self.stream.flush()
                self._said = True

    def __enter__(self):
        self._done = False
        self._t0 = time.monotonic()
        self._timer = None
        if self.enabled:
            self._timer = threading.Timer(self.after, self._say)
            self._timer.daemon = True
            self._timer.start()
        return self

    def __exit__(self, *exc):
        with self._lock:
            self._done = True
        if self._timer:
            self._timer.cancel()
        if self._said and exc[0] is None:
            self.stream.write(f"calcium: {self.what}: done in {time.monotonic() - self._t0:.1f} s\n")
            self.stream.flush()
        return False
