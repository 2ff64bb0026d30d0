"""One variant of a sweep: the program run in the variant's directory, the
record of how it ended, and its results. The same on a local thread and on a
Dask worker (the directory on a shared file system).

The program runs in a process group of its own, so that a Ctrl-C at the
terminal reaches only the sweep, which passes it on to every running
program: each writes out what it has and exits with 128 + the signal.

A variant is complete when its record (variant.json, written after the run,
atomically) says it ended normally, with the hash of the parameter file the
sweep writes for it and of the program that ran, and every result file is
there with the size it had.
"""

from __future__ import annotations

import hashlib
import json
import os
import signal
import subprocess
import threading
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

from .layouts import load_layouts
from .sweep_results import try_results

RECORD = "variant.json"
CONSOLE = "console.out"
STDERR = "stderr.out"
STOP_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


@dataclass(frozen=True)
class Task:
    index: int
    directory: str
    program: str
    executable: str
    executable_sha256: str
    parameter_file: str
    parameter_sha256: str
    layouts: str
    run_name: str  # as in the file names
    result_files: tuple  # the files a run leaves, by name
    run_files: tuple  # those of them named after the run ("tmp" is not)


def sha256_file(path) -> str:
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def write_atomically(path: Path, data: bytes):
    tmp = path.with_name(path.name + ".part")
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def read_record(directory) -> Optional[dict]:
    try:
        return json.loads((Path(directory) / RECORD).read_text(encoding="utf-8"))
    except (OSError, ValueError):
        return None


def is_complete(task: Task) -> bool:
    """Whether an earlier run of this very variant ended normally and left all its files."""
    d = Path(task.directory)
    r = read_record(d)
    if not r or r.get("status") != "ok" or r.get("parameter_sha256") != task.parameter_sha256 \
            or r.get("program_sha256") != task.executable_sha256:
        return False
    try:
        if sha256_file(d / task.parameter_file) != task.parameter_sha256:
            return False
        return all((d / name).stat().st_size == size for name, size in r["files"].items()) \
            and set(task.result_files) <= set(r["files"])
    except (OSError, KeyError, TypeError, AttributeError):
        return False


def status_of(exit_code: int) -> str:
    """ok; interrupted by a stop signal (which the programs catch: 128 + the
    signal); else failed (exit 1 or 2, or a crash)."""
    if exit_code == 0:
        return "ok"
    sig = -exit_code if exit_code < 0 else exit_code - 128
    return "interrupted" if sig in STOP_SIGNALS else "failed"


def _first_line(path: Path) -> str:
    try:
        text = path.read_bytes()
    except OSError:
        return ""
    for line in text.decode("latin-1").splitlines():
        if line.strip():
            return line.strip()
    return ""


class Control:
    """How the sweep reaches the variants that run: whether a variant may
    still start, and a hook around each program's life."""

    def may_start(self) -> bool:
        return True

    def started(self, proc: subprocess.Popen):
        pass

    def ended(self, proc: subprocess.Popen):
        pass


class LocalControl(Control):
    """Threads of the sweep's own process: stop() passes a signal on to every
    running program and lets no new one start."""

    def __init__(self):
        self._lock = threading.Lock()
        self._running = set()
        self.stop_signal = 0

    def may_start(self) -> bool:
        return not self.stop_signal

    def started(self, proc):
        with self._lock:
            self._running.add(proc)
            if self.stop_signal:
                os.kill(proc.pid, self.stop_signal)

    def ended(self, proc):
        with self._lock:
            self._running.discard(proc)

    def stop(self, sig: int):
        with self._lock:
            self.stop_signal = sig
            for proc in self._running:
                os.kill(proc.pid, sig)


def run_variant(task: Task, control: Control) -> dict:
    """Runs the program on the variant's parameter file (already written);
    the record of the run (row_from_record adds the results)."""
    if not control.may_start():
        return {"status": "not run"}
    d = Path(task.directory)
    (d / RECORD).unlink(missing_ok=True)
    t0 = time.monotonic()
    with open(d / CONSOLE, "wb") as out, open(d / STDERR, "wb") as err:
        proc = subprocess.Popen([task.executable], cwd=d, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=err, process_group=0)
    control.started(proc)
    try:
        # Waits without reaping, so that no signal can reach another process
        # that took the number.
        os.waitid(os.P_PID, proc.pid, os.WEXITED | os.WNOWAIT)
    finally:
        control.ended(proc)
    _, wait_status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - t0
    code = os.waitstatus_to_exitcode(wait_status)
    proc.returncode = code
    exit_status = code if code >= 0 else 128 - code
    status = status_of(code)
    files = {}
    for name in task.result_files + (CONSOLE, STDERR, task.parameter_file):
        try:
            files[name] = (d / name).stat().st_size
        except OSError:
            pass
    said = _first_line(d / STDERR)
    if code < 0 and not said:
        said = f"ended by {signal.Signals(-code).name}"
    record = {"status": status, "exit": exit_status, "stderr": said,
              "wall_s": round(wall, 6), "cpu_s": round(usage.ru_utime + usage.ru_stime, 6),
              "parameter_sha256": task.parameter_sha256,
              "program_sha256": task.executable_sha256, "files": files}
    write_atomically(d / RECORD, json.dumps(record, indent=1).encode("utf-8"))
    return record


def row_from_record(task: Task, record: dict) -> dict:
    """The summary row of a variant (without its swept values): how its run
    ended, and its results."""
    row = {k: record.get(k) for k in ("status", "exit", "stderr", "wall_s", "cpu_s", "note")
           if k in record}
    if row["status"] == "not run":
        return row
    layouts = load_layouts(task.layouts)
    results, note = try_results(task.directory, layouts.program(task.program), task.run_name,
                                layouts)
    if row["status"] == "ok" and note:
        row["note"] = note
    row.update(results)
    return row


def run_on_worker(task: Task, event_name: str) -> dict:
    """run_variant on a Dask worker: the sweep stops it through the named Event."""
    from distributed import Event

    return row_from_record(task, run_variant(task, _EventControl(Event(event_name))))


class _EventControl(Control):
    """On a worker: the sweep's Event, looked at twice a second while the program runs."""

    def __init__(self, event):
        self._event = event
        self._lock = threading.Lock()
        self._done = threading.Event()

    def may_start(self) -> bool:
        return not self._event.is_set()

    def started(self, proc):
        threading.Thread(target=self._watch, args=(proc,), daemon=True).start()

    def _watch(self, proc):
        while not self._done.wait(0.5):
            try:
                stop = self._event.is_set()
            except Exception:  # the scheduler went away: the program runs on alone
                return
            with self._lock:
                if stop and not self._done.is_set():
                    os.kill(proc.pid, signal.SIGINT)
                    return

    def ended(self, proc):
        with self._lock:
            self._done.set()
