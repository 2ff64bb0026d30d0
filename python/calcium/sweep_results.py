"""The results of one run of a sweep, as the columns of its summary row.

Calcium programs, from the phase reports (and, for the maxima, the console
that the sweep saves as console.out), for each phase p that ran:
  phase<p>.Ca_cyt, phase<p>.Ca_lum   the end-of-phase concentration lines
  phase<p>.period                    <period> of the species table
  phase<p>.peaks                     the Ca_cyt maxima found (Run.maxima_counts;
                                     empty where the output does not tell)
the last two only where the program analyses periods. A program of one
interval (nilpora): final.<column> of its last data row.
"""

from __future__ import annotations

import math

from .layouts import Layouts, Program
from .results import ResultError, load_run

PHASE_VALUES = ("Ca_cyt", "Ca_lum")


def result_columns(program: Program, keys) -> list:
    """`keys` (result names of some rows) in the order of the summary."""
    keys = set(keys)
    order = []
    if program.phases > 1:
        for p in range(1, program.phases + 1):
            order += [f"phase{p}.{v}" for v in PHASE_VALUES + ("period", "peaks")]
    else:
        data = program.file("data")
        order += [f"final.{c.name}" for c in data.columns]
    return [k for k in order if k in keys] + sorted(keys - set(order))


def read_results(directory, program: Program, run_name: str, layouts: Layouts) -> dict:
    """The result columns of the run in `directory`; ResultError when it cannot be read."""
    if program.phases > 1:
        run = load_run(directory, program=program.name, run_name=run_name, layouts=layouts,
                       tables=())
        out = {}
        conc = run.phase_reports.get("concentrations")
        species = run.phase_reports.get("species")
        if conc is not None:
            for p in conc.index:
                for v in PHASE_VALUES:
                    out[f"phase{p}.{v}"] = float(conc.loc[p, v])
        if program.period_analysis and species is not None and "<period>" in species:
            for p, n in run.maxima_counts().items():
                out[f"phase{p}.period"] = float(species.loc[p, "<period>"])
                out[f"phase{p}.peaks"] = math.nan if n is None else n
        return out
    run = load_run(directory, program=program.name, run_name=run_name, layouts=layouts,
                   tables=("data",))
    data = run["data"]
    if not len(data):
        return {}
    last = data.iloc[-1]
    return {f"final.{name}": float(last[name]) for name in data.columns}


def try_results(directory, program: Program, run_name: str, layouts: Layouts):
    """(results, note): the note says why there are none."""
    try:
        return read_results(directory, program, run_name, layouts), ""
    except (ResultError, OSError, KeyError, ValueError) as e:
        return {}, f"results not read: {e}"
