"""calcium sweep: many runs of one program from one base parameter file.

    import calcium.sweep
    summary = calcium.sweep.run_sweep("k20.toml", out="k20", jobs=8)

The sweep file (calcium.sweepfile) is checked whole before anything runs.
Each variant gets a directory of its own under `out`, named by its index
and values, holding its parameter file (the base with only the swept values
changed), the program's result files, its console (console.out), its
standard error (stderr.out) and the record of its run (variant.json). The
variants run `jobs` at a time on this machine, or on a Dask cluster
(`scheduler`, the directories on a file system that the workers share).
A variant that fails is recorded and the others go on. SIGINT or SIGTERM
starts no new variant and passes the signal on to the running ones, which
write out what they have; the summary then holds what finished, and the same
call resumes. Variants that are complete from an earlier run are not run
again. The summary, one row per variant, is written to out/sweep.csv and
returned as a DataFrame.
"""

from __future__ import annotations

import concurrent.futures
import fcntl
import hashlib
import json
import os
import shlex
import signal
import sys
import threading
import time
import uuid
from pathlib import Path
from typing import Optional

import pandas as pd

from .layouts import Layouts, load_layouts
from .paramedit import EditError
from .sweep_results import result_columns
from .sweep_run import (CONSOLE, RECORD, STDERR, LocalControl, Task, is_complete, read_record,
                        row_from_record, run_on_worker, run_variant, sha256_file,
                        write_atomically)
from .sweepfile import Sweep, SweepError, load_sweep

SUMMARY = "sweep.csv"
DESCRIPTION = "sweep.json"
LOCK = ".sweep.lock"
FIXED_COLUMNS = ("index", "directory")
RUN_COLUMNS = ("status", "exit", "stderr", "wall_s", "cpu_s")


def _run_name(sweep: Sweep, values: dict) -> str:
    """The run name as in the file names: leading blanks dropped, padding kept."""
    item = next(p for p in sweep.program.parameters if p.kind == "text")
    if item.name in values:
        text = values[item.name].encode("latin-1")[: sweep.program.run_name_length]
        text += b" " * (sweep.program.run_name_length - len(text))
    else:
        text = sweep.editor.item(item.name).value
    return text.decode("latin-1").lstrip(" ")


def _tasks(sweep: Sweep, out: Path, exe: Path, exe_sha: str, layouts: Layouts) -> list:
    """(variant, Task, parameter file bytes) of every variant; every edit is
    made before any file is written."""
    program = sweep.program
    planned = []
    for v in sweep.variants:
        values = dict(v.values)
        try:
            data = sweep.editor.edit(values)
        except EditError as e:
            raise SweepError(f"{sweep.path}: variant {v.index}: {e}") from None
        run_name = _run_name(sweep, values)
        files = tuple(f.file_name(run_name) for f in program.files)
        task = Task(index=v.index, directory=str(out / v.name), program=program.name,
                    executable=str(exe), executable_sha256=exe_sha,
                    parameter_file=program.parameter_file,
                    parameter_sha256=hashlib.sha256(data).hexdigest(),
                    layouts=str(layouts.path.resolve()), run_name=run_name,
                    result_files=files,
                    run_files=tuple(f.file_name(run_name) for f in program.files
                                    if not f.fixed_name))
        planned.append((v, task, data))
    return planned


def _prepare(task: Task, data: bytes):
    """The variant's directory with its parameter file, and without the files
    of an earlier run: results read later are this run's (a program that
    refuses its input leaves every file as it was). "tmp" stays: every run
    rewrites it, and the programs know it may be shared."""
    d = Path(task.directory)
    d.mkdir(parents=True, exist_ok=True)
    for name in (RECORD, CONSOLE, STDERR) + task.run_files:
        if name == task.parameter_file:  # the program refuses such a run name
            continue
        try:
            (d / name).unlink()
        except OSError:  # none, or a directory: the program says what it cannot use
            pass
    path = d / task.parameter_file
    try:
        same = path.read_bytes() == data
    except OSError:
        same = False
    if not same:
        write_atomically(path, data)


class _Signals:
    """SIGINT and SIGTERM, while the sweep runs, call `on_stop` (main thread only)."""

    def __init__(self, on_stop):
        self.on_stop, self.old, self.received = on_stop, {}, 0

    def _handle(self, sig, frame):
        self.received = sig
        self.on_stop(sig)

    def __enter__(self):
        if threading.current_thread() is threading.main_thread():
            for s in (signal.SIGINT, signal.SIGTERM):
                self.old[s] = signal.signal(s, self._handle)
        return self

    def __exit__(self, *exc):
        for s, h in self.old.items():
            signal.signal(s, h)
        return False


class _Progress:
    def __init__(self, total: int, initial: int, enabled: bool, stream):
        self.done, self.failed, self.interrupted = initial, 0, 0
        self.bar = None
        if enabled is not False:  # None: when the stream is a terminal
            from tqdm import tqdm
            bar = tqdm(total=total, initial=initial, file=stream, unit="variant",
                       dynamic_ncols=True, desc="calcium sweep",
                       disable=None if enabled is None else False)
            if not bar.disable:
                self.bar = bar
                self._show()

    def _show(self):
        extra = f", interrupted {self.interrupted}" if self.interrupted else ""
        self.bar.set_postfix_str(f"done {self.done}, failed {self.failed}{extra}", refresh=False)

    def count(self, row: dict):
        status = row.get("status")
        if status == "ok":
            self.done += 1
        elif status == "interrupted":
            self.interrupted += 1
        elif status == "failed":
            self.failed += 1
        if self.bar is not None:
            self._show()
            self.bar.update(1)

    def close(self):
        if self.bar is not None:
            self.bar.close()


def _failed_row(e: BaseException) -> dict:
    return {"status": "failed", "note": f"the sweep could not run it: {type(e).__name__}: {e}"}


def _run_local(tasks: list, jobs: int, progress: _Progress) -> tuple:
    """The records of the runs; the results are read after the last run, so
    that no program waits for the reading of another's to start."""
    control = LocalControl()
    rows = {}
    with _Signals(control.stop) as signals, \
            concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = {pool.submit(run_variant, t, control): t for t in tasks}
        for f in concurrent.futures.as_completed(futures):
            t = futures[f]
            try:
                rows[t.index] = f.result()
            except Exception as e:  # a fault of the sweep itself, not of the program
                rows[t.index] = _failed_row(e)
            progress.count(rows[t.index])
    return rows, signals.received


def _run_dask(tasks: list, scheduler, progress: _Progress) -> tuple:
    """The rows of the runs on a Dask cluster (results read on the workers).
    A stop sets a distributed Event: the workers pass SIGINT on to their
    programs, and the variants not started yet do not start."""
    import distributed

    client = scheduler if isinstance(scheduler, distributed.Client) else \
        distributed.Client(scheduler, timeout="30s")
    name = f"calcium-sweep-{uuid.uuid4().hex}"
    rows = {}
    requested, finished = threading.Event(), threading.Event()
    try:
        stop_event = distributed.Event(name, client=client)

        def stopper():  # not in the signal handler: it talks to the scheduler
            requested.wait()
            if not finished.is_set():
                stop_event.set()

        threading.Thread(target=stopper, daemon=True).start()
        with _Signals(lambda sig: requested.set()) as signals:
            futures = {client.submit(run_on_worker, t, name, key=f"{name}-{t.index}",
                                     pure=False): t for t in tasks}
            for f in distributed.as_completed(list(futures)):
                t = futures[f]
                try:
                    rows[t.index] = f.result()
                except Exception as e:  # on the worker, before or after the program
                    rows[t.index] = _failed_row(e)
                progress.count(rows[t.index])
    finally:
        finished.set()
        requested.set()
        if client is not scheduler:
            client.close()
    return rows, signals.received


def _frame(sweep: Sweep, rows: dict) -> pd.DataFrame:
    names = [s.name for s in sweep.parameters]
    keys = set()
    for r in rows.values():
        keys.update(k for k in r if k not in RUN_COLUMNS and k != "note")
    results = result_columns(sweep.program, keys)
    columns = list(FIXED_COLUMNS) + names + list(RUN_COLUMNS) + results + ["note"]
    records = []
    for v in sweep.variants:
        r = {"index": v.index, "directory": v.name, **dict(v.values)}
        r.update(rows.get(v.index, {"status": "not run"}))
        records.append(r)
    df = pd.DataFrame.from_records(records, columns=columns)
    for c in ["exit"] + [c for c in results if c.endswith(".peaks")]:
        df[c] = df[c].astype("Int64")
    df["stderr"] = df["stderr"].fillna("")
    df["note"] = df["note"].fillna("")
    return df


def run_sweep(sweep_file, out=None, jobs: Optional[int] = None, scheduler=None,
              layouts: Optional[Layouts] = None, progress: Optional[bool] = False, command=None,
              stream=None) -> pd.DataFrame:
    """Runs the sweep of `sweep_file` into `out` (default: the sweep file's
    name without .toml, in the current directory); the summary DataFrame.
    `jobs`: variants at a time (default: every core); `scheduler`: a Dask
    scheduler's address (or a distributed.Client) to run them on instead;
    `progress`: a progress bar on `stream` (None: when it is a terminal).
    The DataFrame's attrs hold "ran", "reused" and "stopped_by" (a signal
    number, 0 when the sweep was not stopped)."""
    stream = stream or sys.stderr
    layouts = layouts or load_layouts()
    sweep = load_sweep(sweep_file, layouts)
    out = Path(out) if out is not None else Path.cwd() / sweep.path.stem
    exe = layouts.executable(sweep.program.name)
    planned = _tasks(sweep, out.resolve(), exe, sha256_file(exe), layouts)
    out.mkdir(parents=True, exist_ok=True)
    lock = open(out / LOCK, "w")
    try:
        try:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            raise SweepError(f"{out}: another sweep is running into this directory") from None
        return _run_locked(sweep, out, exe, planned, jobs, scheduler, progress, command, stream)
    finally:
        lock.close()


def _run_locked(sweep, out, exe, planned, jobs, scheduler, progress, command, stream):
    reused = [(v, t) for v, t, _ in planned if is_complete(t)]
    reused_index = {t.index for _, t in reused}
    to_run = []
    for v, t, data in planned:
        if t.index not in reused_index:
            _prepare(t, data)
            to_run.append(t)
    description = sweep.describe()
    description["executable"] = str(exe)
    write_atomically(out / DESCRIPTION, json.dumps(description, indent=1).encode("utf-8"))

    jobs = jobs or len(os.sched_getaffinity(0))
    where = f" on the Dask cluster at {scheduler}" if scheduler is not None else \
        f", {min(jobs, max(len(to_run), 1))} at a time"
    earlier = f", {len(reused)} complete from an earlier run" if reused else ""
    running = f"running {len(to_run)}{where}" if to_run else "nothing to run"
    print(f"calcium sweep: {len(planned)} variants of {sweep.program.name} in {out}{earlier}; "
          f"{running}", file=stream, flush=True)
    bar = _Progress(len(planned), len(reused), progress, stream)
    t0 = time.monotonic()
    try:
        if not to_run:
            rows, stopped = {}, 0
        elif scheduler is not None:
            rows, stopped = _run_dask(to_run, scheduler, bar)
        else:
            rows, stopped = _run_local(to_run, jobs, bar)
    finally:
        bar.close()
    wall = time.monotonic() - t0
    if scheduler is None:
        rows = {t.index: row_from_record(t, rows[t.index]) for t in to_run}
    for v, t in reused:
        rows[t.index] = row_from_record(t, read_record(t.directory))
    df = _frame(sweep, rows)
    df.attrs.update(ran=len(to_run), reused=len(reused), stopped_by=stopped, wall_s=wall)
    write_atomically(out / SUMMARY, df.to_csv(index=False).encode("utf-8"))
    _report(df, out, stopped, command, stream)
    return df


def _report(df: pd.DataFrame, out: Path, stopped: int, command, stream):
    counts = df["status"].value_counts()
    said = ", ".join(f"{counts[s]} {s}" for s in ("ok", "failed", "interrupted", "not run")
                     if s in counts)
    print(f"calcium sweep: {said}; the summary: {out / SUMMARY}", file=stream)
    failed = df[df["status"] == "failed"]
    for _, r in failed.head(5).iterrows():
        print(f"calcium sweep: {r['directory']}: exit {r['exit']}: {r['stderr'] or r['note']}",
              file=stream)
    if len(failed) > 5:
        print(f"calcium sweep: ... and {len(failed) - 5} more failed", file=stream)
    if stopped:
        again = shlex.join(command) if command else "the same sweep"
        print(f"calcium sweep: stopped by {signal.Signals(stopped).name}: the summary holds "
              f"what finished; to resume, run {again} again (complete variants are not run "
              "again)", file=stream)
    stream.flush()


def exit_status(df: pd.DataFrame) -> int:
    """0 when every variant ran to its end, 128 + the signal that stopped
    the sweep, else 1."""
    if df.attrs.get("stopped_by"):
        return 128 + df.attrs["stopped_by"]
    return 0 if (df["status"] == "ok").all() else 1
