#!/usr/bin/python3
"""What calcium sweep costs beyond the program's own time.

    bench/sweep_bench.py [--variants 64] [-j N] [--repeat 3] [--phase1 SECONDS]

Builds a sweep of velmo67's example over k20 (--variants values; --phase1
lengthens phase 1 for a longer, more realistic run), runs the variants'
parameter files one after another with the program alone, then runs
`calcium sweep` on them (a fresh output directory each time), --repeat
times. Reported:
  - wall time: the sequential runs against the sweep, and the speed-up;
  - CPU time: the sweep command with every process it started, against the
    programs' own (each program's user + system time, from the summary);
    the difference is what the sweep itself costs, in all and per variant,
    and as a share of the programs' time. CPU time, unlike wall time, does
    not grow when other work shares the machine;
  - the fixed part of it: the command's start (Python and its imports) and
    a second run of the same sweep, which only checks that every variant is
    complete and reads the results.
The build's programs and legend are used (build/ or CALCIUM_LAYOUTS).
"""

from __future__ import annotations

import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "python"))

import pandas as pd  # noqa: E402

import calcium  # noqa: E402
from calcium.sweepfile import load_sweep  # noqa: E402

PHASE_LINE = b"0.0 0.1 400.0 300.0 200.0 100.0 100.0"


def children_cpu() -> float:
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def timed(command, **kw) -> tuple:
    """(wall, CPU of the process and every child it waited for)."""
    c0, t0 = children_cpu(), time.monotonic()
    subprocess.run(command, check=True, **kw)
    return time.monotonic() - t0, children_cpu() - c0


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--variants", type=int, default=64)
    ap.add_argument("-j", "--jobs", type=int, default=len(os.sched_getaffinity(0)))
    ap.add_argument("--repeat", type=int, default=3)
    ap.add_argument("--phase1", type=float, default=None,
                    help="duration of phase 1 (the example's: 400)")
    ap.add_argument("--keep", action="store_true", help="keep the scratch directory")
    args = ap.parse_args()

    layouts = calcium.load_layouts()
    exe = layouts.executable("velmo67")
    work = Path(tempfile.mkdtemp(prefix="sweep-bench-"))
    base = (ROOT / "examples" / "velmo67" / "VELMO67.INP").read_bytes()
    if args.phase1 is not None:
        base = base.replace(PHASE_LINE, b"0.0 0.1 %r 300.0 200.0 100.0 100.0" % args.phase1)
    (work / "VELMO67.INP").write_bytes(base)
    sweep_file = work / "bench.toml"
    sweep_file.write_text('program = "velmo67"\nbase = "VELMO67.INP"\n[parameters]\n'
                          f'k20 = {{ start = 0.001, stop = 0.002, count = {args.variants} }}\n')
    sweep = load_sweep(sweep_file, layouts)
    env = {**os.environ, "PYTHONPATH": str(ROOT / "python"),
           "CALCIUM_LAYOUTS": str(layouts.path.resolve())}
    command = [sys.executable, "-m", "calcium", "sweep", str(sweep_file), "-j", str(args.jobs)]

    print(f"velmo67, {args.variants} variants, -j {args.jobs}, {os.cpu_count()} cores; "
          f"load average {os.getloadavg()[0]:.1f} at the start", flush=True)
    seq_wall, seq_cpu, sw_wall, sw_cpu, prog_cpu, prog_wall, recheck = [], [], [], [], [], [], []
    for r in range(args.repeat):
        # The programs alone, one after another, each in a directory of its own.
        seq = work / f"seq{r}"
        c0, t0 = children_cpu(), time.monotonic()
        for v in sweep.variants:
            d = seq / v.name
            d.mkdir(parents=True)
            (d / "VELMO67.INP").write_bytes(sweep.editor.edit(dict(v.values)))
            with open(d / "console.out", "wb") as out:
                subprocess.run([str(exe)], cwd=d, stdout=out, stdin=subprocess.DEVNULL,
                               check=True)
        seq_wall.append(time.monotonic() - t0)
        seq_cpu.append(children_cpu() - c0)
        shutil.rmtree(seq)

        out = work / f"sweep{r}"
        wall, cpu = timed(command + ["--out", str(out)], env=env, stderr=subprocess.DEVNULL)
        df = pd.read_csv(out / "sweep.csv")
        assert (df["status"] == "ok").all(), df["status"].value_counts()
        sw_wall.append(wall)
        sw_cpu.append(cpu)
        prog_cpu.append(df["cpu_s"].sum())
        prog_wall.append(df["wall_s"].sum())
        recheck.append(timed(command + ["--out", str(out)], env=env,
                             stderr=subprocess.DEVNULL)[1])
        shutil.rmtree(out)
    start = statistics.median(timed([sys.executable, "-c", "import calcium.sweep"],
                                    env=env)[1] for _ in range(3))

    med = statistics.median
    n = args.variants
    over = [s - p for s, p in zip(sw_cpu, prog_cpu)]
    print(f"sequential runs: wall {med(seq_wall):.2f} s (min {min(seq_wall):.2f}), "
          f"CPU {med(seq_cpu):.2f} s: {1000 * med(seq_cpu) / n:.1f} ms CPU a run")
    print(f"sweep:           wall {med(sw_wall):.2f} s (min {min(sw_wall):.2f}): speed-up "
          f"{med(seq_wall) / med(sw_wall):.1f} on -j {args.jobs}")
    packed = med(prog_wall) / args.jobs
    print(f"  the programs' wall times packed on {args.jobs}: {packed:.2f} s; the sweep's wall "
          f"beyond that: {med(sw_wall) - packed:.2f} s (start, last round, results)")
    print(f"  CPU of the sweep and its children {med(sw_cpu):.2f} s; of the programs "
          f"{med(prog_cpu):.2f} s (their wall {med(prog_wall):.2f} s)")
    print(f"  beyond the programs: {med(over):.3f} s in all, {1000 * med(over) / n:.2f} ms a "
          f"variant, {100 * med(over) / med(prog_cpu):.1f}% of the programs' CPU time")
    print(f"  of which fixed: the command's start {start:.3f} s; a second run of the complete "
          f"sweep (checks and results only) {med(recheck):.3f} s")
    per_variant = (med(over) - start) / n
    print(f"  without the start: {1000 * per_variant:.2f} ms a variant, "
          f"{100 * per_variant * n / med(prog_cpu):.1f}% of the programs' CPU time")
    print(f"load average {os.getloadavg()[0]:.1f} at the end")
    if args.keep:
        print(f"kept {work}")
    else:
        shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
