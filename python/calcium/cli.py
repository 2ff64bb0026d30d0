"""calcium: the legend of the calcium programs' files, their results read
into named columns, a check of a parameter file, a plot of a run, and
sweeps: many runs from one base parameter file."""

from __future__ import annotations

import argparse
import json
import sys
from pathlib import Path

from .layouts import LayoutError, load_layouts


def _columns(args) -> int:
    layouts = load_layouts(args.layouts)
    program = layouts.program(args.program)
    files = [program.file(args.file)] if args.file else list(program.files)
    if args.json:
        out = []
        for f in files:
            records = f.kind == "records"
            out.append({"suffix": f.suffix, "name": f.fixed_name, "title": f.title,
                        "kind": f.kind, "holds": f.holds, "written": f.written,
                        "format": f.format or None,
                        ("records" if records else "columns"): [
                            {("line" if records else "column"): c.number,
                             "name": c.name, "meaning": c.meaning} for c in f.columns]})
        json.dump({"program": program.name, "files": out}, sys.stdout, indent=2)
        print()
        return 0
    for f in files:
        name = f.fixed_name or f"run name + {f.suffix!r}"
        fmt = f", {len(f.columns)} fields {f.format}" if f.format else ""
        print(f"{program.name} {f.title}: {name}{fmt}")
        print(f"  {f.holds}; written {f.written}")
        for c in f.columns:
            print(f"  {c.number:3d}  {c.name:<22} {c.meaning}")
        print()
    return 0


def _load(args) -> int:
    import pandas as pd

    from .results import load_run

    run = load_run(args.directory, program=args.program, run_name=args.run,
                   console=args.console, layouts=load_layouts(args.layouts), show_progress=True)
    print(repr(run))
    for key, df in run.tables.items():
        print(f"\n{key} ({run.files[key].name!r}): {len(df)} rows x {len(df.columns)} columns")
        if len(df):
            with pd.option_context("display.width", 120):
                print(df.head(args.rows).to_string(max_cols=8))
    if run.messages is not None:
        print(f"\nintegrator messages in the ER file: {len(run.messages)}")
        for _, m in run.messages.head(args.rows).iterrows():
            print(f"  line {m['line']}: {m['text']}")
    if run.run_information:
        print("\ntmp: " + "; ".join(f"{k} = {v}" for k, v in run.run_information.items()))
    for name, df in run.phase_reports.items():
        if hasattr(df, "shape"):
            width = df.shape[1] if df.ndim > 1 else 1
            print(f"\nphase reports, {name}: {df.shape[0]} phases x {width}")
    if run.report:
        print("\nreport: " + "; ".join(f"{k} = {v}" for k, v in run.report.items()))
    if run.period_lists is not None:
        print(f"\nperiod lists: {len(run.period_lists)} lines; maximum echoes: {len(run.maxima)}")
    for note in run.notes:
        print(f"note: {note}")
    return 0


def _check(args) -> int:
    from .check import run_check

    return run_check(load_layouts(args.layouts), Path(args.parameter_file), args.program)


def _plot(args) -> int:
    if args.sweep:
        from .sweep_plot import save_sweep_plot

        if args.directory:
            raise ValueError("give a run's directory or --sweep DIR, not both")
        print(save_sweep_plot(args.sweep, args.output, args.x, args.y))
        return 0
    if not args.directory:
        raise ValueError("give a run's directory (or --sweep DIR)")
    if args.x or args.y:
        raise ValueError("--x and --y go with --sweep")
    from .plot import save_plot
    from .results import load_run

    run = load_run(args.directory, program=args.program, run_name=args.run,
                   layouts=load_layouts(args.layouts), show_progress=True)
    output = Path(args.output) if args.output else Path(args.directory) / (
        run.run_name.strip() + "_plot.png")
    save_plot(run, output, show_progress=True)
    print(output)
    return 0


def _sweep(args) -> int:
    from .sweep import exit_status, run_sweep

    if args.jobs is not None and args.jobs < 1:
        raise ValueError(f"-j {args.jobs}: at least 1")
    df = run_sweep(args.sweep_file, out=args.out, jobs=args.jobs, scheduler=args.scheduler,
                   layouts=load_layouts(args.layouts), progress=None,
                   command=["calcium"] + args.argv)
    return exit_status(df)


def parser() -> argparse.ArgumentParser:
    p = argparse.ArgumentParser(prog="calcium", description=__doc__)
    p.add_argument("--layouts", help="the legend to use (layouts.json of calcium-layouts)")
    sub = p.add_subparsers(dest="command", required=True)

    c = sub.add_parser("columns", help="the legend of a program's files")
    c.add_argument("program")
    c.add_argument("file", nargs="?", help="one file: its suffix (_ER.txt), name (tmp) or "
                   "title (data, ER, flux, sliding-window, ...)")
    c.add_argument("--json", action="store_true", help="as JSON")
    c.set_defaults(handler=_columns)

    lo = sub.add_parser("load", help="read a run's files and show what they hold")
    lo.add_argument("directory")
    lo.add_argument("--program")
    lo.add_argument("--run", help="the run name, where the directory holds several runs")
    lo.add_argument("--console", help="a file with the run's console output")
    lo.add_argument("--rows", type=int, default=3, help="rows shown of each table")
    lo.set_defaults(handler=_load)

    ch = sub.add_parser("check", help="what a program will read from a parameter file")
    ch.add_argument("parameter_file")
    ch.add_argument("--program", help="when the file name is not the program's")
    ch.set_defaults(handler=_check)

    pl = sub.add_parser("plot", help="a figure of a run, or of a sweep's results")
    pl.add_argument("directory", nargs="?", help="the run's directory")
    pl.add_argument("-o", "--output", help="FILE.png, .svg or .pdf (default: in the directory)")
    pl.add_argument("--program")
    pl.add_argument("--run")
    pl.add_argument("--sweep", metavar="DIR", help="the directory of a sweep: a result against "
                    "a swept parameter (a heat map for a grid of two)")
    pl.add_argument("--x", metavar="PARAM", help="with --sweep: the swept parameter across")
    pl.add_argument("--y", metavar="RESULT", help="with --sweep: the result (a column of "
                    "sweep.csv, e.g. phase2.period)")
    pl.set_defaults(handler=_plot)

    sw = sub.add_parser("sweep", help="many runs of a program from one base parameter file")
    sw.add_argument("sweep_file", help="the sweep file (TOML)")
    sw.add_argument("-j", "--jobs", type=int, help="variants at a time (default: every core)")
    sw.add_argument("--out", help="the directory of the variants and the summary (default: "
                    "the sweep file's name, in the current directory)")
    sw.add_argument("--scheduler", metavar="ADDRESS", help="run the variants on this Dask "
                    "scheduler's cluster (the directory on a file system the workers share)")
    sw.set_defaults(handler=_sweep)
    return p


def main(argv=None) -> int:
    from .results import ResultError
    from .sweepfile import SweepError

    argv = list(sys.argv[1:] if argv is None else argv)
    args = parser().parse_args(argv)
    args.argv = argv
    try:
        return args.handler(args)
    except KeyboardInterrupt:
        print(f"calcium {args.command}: interrupted", file=sys.stderr)
        return 130
    except SweepError as e:
        print(f"calcium {args.command}: {e}", file=sys.stderr)
    except KeyError as e:
        print(f"calcium {args.command}: {e.args[0]}", file=sys.stderr)
    except (LayoutError, ResultError, ValueError, OSError) as e:
        print(f"calcium {args.command}: {e}", file=sys.stderr)
    return 2
