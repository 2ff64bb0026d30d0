"""Reading a run's result files into pandas DataFrames with named columns.

load_run(directory) finds the run's files (the run name blank-padded inside
the file names, the program's line ends), reads every row file with the
column names of the legend, keeps the integrator's messages of the ER file
apart from its rows, reads "tmp" and the phase reports of the summary file,
and, where the parameter file in the directory is the run's own, gives each
row its phase. A saved console (console=) adds the period lists and the
maximum echoes, which only the console shows.
"""

from __future__ import annotations

import math
import os
import re
from dataclasses import dataclass, field
from pathlib import Path
from typing import Optional

import numpy as np
import pandas as pd

from . import progress
from .fields import is_row, parse_field, row_values
from .layouts import Layouts, Program, ResultFile, load_layouts
from .parameters import read_parameters


class ResultError(Exception):
    """A run that cannot be read: no run, several, a torn row, another program's file."""


@dataclass
class Run:
    directory: Path
    program: Program
    run_name: str  # as in the file names: leading blanks dropped, padding kept
    files: dict = field(default_factory=dict)  # key -> Path
    tables: dict = field(default_factory=dict)  # key of a row file -> DataFrame
    messages: Optional[pd.DataFrame] = None  # the integrator's messages in the ER file
    run_information: Optional[dict] = None  # the records of "tmp" by name
    phase_reports: dict = field(default_factory=dict)  # block -> DataFrame indexed by phase
    report: dict = field(default_factory=dict)  # nilpora's report values
    period_lists: Optional[pd.DataFrame] = None  # from a saved console
    maxima: Optional[pd.DataFrame] = None  # maximum echoes, from a saved console
    notes: list = field(default_factory=list)  # what could not be derived, and why

    def __getitem__(self, key: str) -> pd.DataFrame:
        return self.tables[key]

    def __contains__(self, key: str) -> bool:
        return key in self.tables

    @property
    def data(self) -> pd.DataFrame:
        return self.tables["data"]

    def maxima_counts(self) -> dict:
        """phase -> the number of Ca_cyt maxima the phase's period analysis
        found, where the run's output tells it: 0 in a phase where the
        program seeks none; the echoes of the saved console in a phase whose
        maxima it echoes; else 2 for "no maximum found", the listed periods
        + 5 (a list begins at six maxima), and None when it does not tell
        (fewer than six maxima, not two) or there is no console."""
        species = self.phase_reports.get("species")
        if not self.program.period_analysis or species is None:
            return {}
        none_found = set(self.phase_reports.get("no maximum found", []))
        counts = {}
        for phase in (int(p) for p in species.index):
            n = None
            if phase not in self.program.maxima_phases:
                n = 0
            elif self.period_lists is not None and phase in self.program.echoed_phases:
                n = int((self.maxima["phase"] == phase).sum())
            elif phase in none_found:
                n = 2
            elif self.period_lists is not None:
                listed = int((self.period_lists["phase"] == phase).sum())
                n = listed + 5 if listed else None
            counts[phase] = n
        return counts

    def __repr__(self) -> str:
        shapes = ", ".join(f"{k}: {len(v)} rows" for k, v in self.tables.items())
        return f"<{self.program.name} run {self.run_name.strip()!r} in {self.directory}: {shapes}>"


def _split_lines(path: Path, program: Program) -> list:
    """The lines of a file without their line ends; a line end that is not
    the program's, or a last line without one, is an error naming the line."""
    data = path.read_bytes()
    if not data:
        return []
    parts = data.split(b"\n")
    if parts[-1] != b"":
        raise ResultError(f"{path} line {len(parts)}: the last line has no line end: a torn "
                          "line (a run that is still writing, or one that was stopped)")
    parts.pop()
    crlf = program.line_end == "CRLF"
    out = []
    for n, p in enumerate(parts, 1):
        has_cr = p.endswith(b"\r")
        if has_cr != crlf:
            raise ResultError(
                f"{path} line {n}: the line ends with {'CR LF' if has_cr else 'LF alone'}, "
                f"{program.name} ends every line with {'CR LF' if crlf else 'LF'}: a file of "
                "another program?")
        out.append((p[:-1] if has_cr else p).decode("latin-1"))
    return out


_MESSAGE_VALUE = re.compile(r"\b(I1|I2|R1|R2) =\s*(\S+)")


def _is_message(line: str) -> bool:
    return line.startswith((" INTEG--", " INTRP--")) or (
        line.startswith("      ") and line.strip() != "")


def _read_rows(path: Path, program: Program, f: ResultFile):
    """Rows as a DataFrame, and the integrator's messages where the file has them."""
    lines = _split_lines(path, program)
    n, w = len(f.columns), f.width
    rows, messages, blocks = [], [], []
    block = 1
    current = None
    for number, line in enumerate(lines, 1):
        if is_row(line, n, w):
            try:
                rows.append(row_values(line, n, w))
            except ValueError:
                raise ResultError(f"{path} line {number}: a field is not a number: {line!r}")
            blocks.append(block)
            current = None
            continue
        if f.kind == "spectrum" and line.strip() == "":
            block += 1
            continue
        if f.integrator_messages and _is_message(line):
            if line.startswith((" INTEG--", " INTRP--")) or current is None:
                current = {"line": number, "after_row": len(rows) - 1, "text": line.strip(),
                           "I1": math.nan, "I2": math.nan, "R1": math.nan, "R2": math.nan}
                messages.append(current)
            elif "IN ABOVE" in line:
                for name, value in _MESSAGE_VALUE.findall(line):
                    try:
                        current[name] = parse_field(value)
                    except ValueError:
                        pass
            else:
                current["text"] += " " + line.strip()
            continue
        if number == len(lines) and len(line) < f.row_length and line.startswith(" "):
            raise ResultError(f"{path} line {number}: a torn row ({len(line)} characters, "
                              f"a row of the {f.title} has {f.row_length})")
        raise ResultError(
            f"{path} line {number}: not a row of {program.name}'s {f.title} ({n} fields "
            f"{f.format}, {f.row_length} characters; this line has {len(line)} characters and "
            f"{line.count(',') + 1} fields): a file of another program?")
    names = [c.name for c in f.columns]
    df = pd.DataFrame(np.array(rows, dtype=float).reshape(len(rows), n), columns=names)
    if f.kind == "spectrum":
        df.insert(0, "block", np.array(blocks, dtype=int))
    msg = None
    if f.integrator_messages:
        msg = pd.DataFrame(messages, columns=["line", "after_row", "text", "I1", "I2", "R1", "R2"])
    return df, msg


def _read_records(path: Path, program: Program, f: ResultFile) -> dict:
    lines = _split_lines(path, program)
    out = {}
    for col, line in zip(f.columns, lines):
        text = line[1:] if line.startswith(" ") else line
        try:
            out[col.name] = float(text)
        except ValueError:
            # The run name keeps its padding; other texts lose the blanks around them.
            out[col.name] = text if col.number == 1 else text.strip()
    return out


def _label(line: str) -> Optional[tuple]:
    """A label line "(1X,A20,1PE12.4)" (or the flux table's like layout): label and value."""
    if len(line) != 33 or not line.startswith(" ") or line[21] != " ":
        return None
    try:
        value = parse_field(line[21:33])
    except ValueError:
        return None
    label = line[1:21].strip().rstrip(".").strip()
    return (label, value) if label else None


def _read_report(path: Path, program: Program, run: Run):
    lines = _split_lines(path, program)
    blocks = {"species": {}, "rate constants": {}, "fluxes": {}, "concentrations": {}}
    nout = {}
    no_maximum = set()
    phase = None
    section = None
    conc = 0
    eop = program.end_of_phase_lines
    width = 12
    for line in lines:
        words = line.split()
        if words[:1] == ["Phase"] and len(words) == 2 and words[1].isdigit():
            phase, section = int(words[1]), "species"
            continue
        if phase is None:
            if program.phases == 1:
                _nilpora_report_line(line, run)
            continue
        if "rate constants ki at end of phase" in line:
            section = "rate constants"
        elif "Ca-fluxes at end of phase" in line:
            section = "fluxes"
        elif "concentrations at end of phase" in line:
            section, conc = "concentrations", 0
        elif line.strip().startswith("NOUT....") and words[-1].lstrip("-").isdigit():
            nout[phase] = int(words[-1])
        elif line.strip() == "no maximum found":
            no_maximum.add(phase)
        elif section == "concentrations" and conc < len(eop):
            values = row_values(line[: 1 + 4 * width + 3], 4, width)
            blocks["concentrations"].setdefault(phase, {}).update(zip(eop[conc].values, values))
            conc += 1
        else:
            lv = _label(line)
            if lv and section in ("species", "rate constants", "fluxes"):
                blocks[section].setdefault(phase, {})[lv[0]] = lv[1]
    for name, by_phase in blocks.items():
        if by_phase:
            # As DataFrame.from_dict(orient="index") makes it, in a fraction of the time.
            columns = list(dict.fromkeys(k for row in by_phase.values() for k in row))
            values = np.array([[row.get(c, math.nan) for c in columns]
                               for row in by_phase.values()], dtype=float)
            df = pd.DataFrame(values, index=pd.Index(list(by_phase), name="phase"),
                              columns=columns)
            run.phase_reports[name] = df
    if nout:
        run.phase_reports["NOUT"] = pd.Series(nout, name="NOUT").rename_axis("phase")
    if run.phase_reports.get("species") is not None or no_maximum:
        run.phase_reports["no maximum found"] = sorted(no_maximum)


def _nilpora_report_line(line: str, run: Run):
    stripped = line.strip()
    if stripped.endswith("concentrations:"):
        run.report["_heading"] = stripped[:-1]
        return
    heading = run.report.get("_heading")
    if heading and "," in line:
        try:
            run.report[heading] = [parse_field(v) for v in line.split(",")]
        except ValueError:
            return
        del run.report["_heading"]
        return
    if len(line) == 37 and line.startswith(" "):
        try:
            run.report[line[1:25].strip().rstrip(".")] = parse_field(line[25:37])
        except ValueError:
            pass


def _read_console(path: Path, program: Program, run: Run):
    """Period lists and maximum echoes from a saved console."""
    text = Path(path).read_bytes().decode("latin-1").replace("\r\n", "\n")
    periods, maxima = [], []
    phase = None
    for line in text.split("\n"):
        words = line.split()
        if words[:1] == ["Phase"] and len(words) == 2 and words[1].isdigit():
            phase = int(words[1])
            continue
        if phase is None or "," in line or _label(line):
            continue
        if len(line) in (28, 24) and line[1:4].strip().isdigit():
            w = 12 if len(line) == 28 else 10
            try:
                periods.append({"phase": phase, "interval": int(line[1:4]),
                                "period": parse_field(line[4:4 + w]),
                                "angular frequency": parse_field(line[4 + w:4 + 2 * w])})
                continue
            except ValueError:
                pass
        if line.startswith("  ") and words:
            try:
                values = [float(x) for x in words]
            except ValueError:
                continue
            if 1 <= len(values) <= 2:
                maxima.append({"phase": phase, "time": values[0],
                               "Ca_cyt": values[1] if len(values) == 2 else math.nan})
    run.period_lists = pd.DataFrame(periods, columns=["phase", "interval", "period",
                                                      "angular frequency"])
    run.maxima = pd.DataFrame(maxima, columns=["phase", "time", "Ca_cyt"])


def _simulate_steps(program: Program, values: dict, every_limit: int, due_limit: int,
                    cap: int = 2_000_000) -> list:
    """(phase, TPRINT, rows due) of every output step, as the run driver steps:
    TOUT from 0 by DTOUT while TOUT <= the phase duration, TPRINT counted on,
    the NOUT rule's count carried over, a zero duration of phases 2 to 5
    ending the run, and the output interval changed after phase 2 where the
    program does that."""
    tprint, dtout = values["TPRINT"], values["DTOUT"]
    nout_rule = program.row_control == "NOUT"
    ncount = 0
    due_count = 0
    steps = []
    for p in range(1, program.phases + 1):
        duration = values[f"TPHASE({p})"]
        if p >= 2 and duration == 0.0:
            break
        nout = values.get(f"NOUT({p})", 0)
        tout = 0.0
        while True:
            due = True
            if nout_rule:
                if nout < 0:
                    due = False
                elif nout > 0:
                    ncount += 1
                    due = ncount >= nout
                    if due:
                        ncount = 0
            steps.append((p, tprint, due))
            due_count += due
            # Enough for the rows there are (an interval of 0 never ends a phase).
            if (len(steps) > every_limit and due_count > due_limit) or len(steps) > cap:
                return steps
            tout += dtout
            tprint += dtout
            if not (tout <= duration):
                break
        if p == 2 and program.output_interval_after_phase_2:
            dtout = program.output_interval_after_phase_2
    return steps


def _derive_phases(run: Run):
    program = run.program
    if program.phases <= 1:
        return
    for key, f in ((f.key, f) for f in program.files if f.rows == "phase end"):
        if key in run.tables:
            run.tables[key].insert(0, "phase", np.arange(1, len(run.tables[key]) + 1))
    stepped = [(f.key, f) for f in program.files
               if f.rows in ("every output step", "NOUT") and f.key in run.tables]
    if not stepped:
        return
    path = run.directory / program.parameter_file
    if not path.is_file():
        run.notes.append(f"no phase column: {program.parameter_file} is not in the directory")
        return
    reading = read_parameters(path, program)
    if not reading.accepted:
        run.notes.append(f"no phase column: {reading.message}")
        return
    name = reading.value("RUNNAME").decode("latin-1").lstrip(" ")
    if name != run.run_name:
        run.notes.append(f"no phase column: {program.parameter_file} is for the run "
                         f"{name.strip()!r}, not this one")
        return
    values = {it.name: it.value for it in reading.items}
    every = [len(run.tables[k]) for k, f in stepped if f.rows == "every output step"]
    due = [len(run.tables[k]) for k, f in stepped if f.rows == "NOUT"]
    steps = _simulate_steps(program, values, max(every, default=0), max(due, default=0))
    assigned = {}
    for key, f in stepped:
        chosen = steps if f.rows == "every output step" else [s for s in steps if s[2]]
        df = run.tables[key]
        if len(df) > len(chosen):
            run.notes.append(f"no phase column: the {f.title} has more rows than "
                             f"{program.parameter_file} gives output steps")
            return
        times = np.array([s[1] for s in chosen[: len(df)]], dtype=float)
        written = df["TPRINT"].to_numpy(dtype=float)
        ok = np.isclose(written, times, rtol=10.0 ** -f.digits, atol=0.0) | (
            np.isnan(written) & np.isnan(times))
        if not ok.all():
            first = int(np.argmin(ok))
            run.notes.append(f"no phase column: row {first + 1} of the {f.title} has TPRINT "
                             f"{written[first]!r}, {program.parameter_file} gives "
                             f"{times[first]!r}: the parameter file is not this run's")
            return
        assigned[key] = np.array([s[0] for s in chosen[: len(df)]], dtype=int)
    for key, phases in assigned.items():
        run.tables[key].insert(0, "phase", phases)


def _file_path(directory: Path, f: ResultFile, run_name: str) -> Path:
    return directory / f.file_name(run_name)


def find_runs(directory, layouts: Layouts, program: Optional[str] = None,
              run_name: Optional[str] = None) -> list:
    """(Program, run name) of every run whose files are all in `directory`,
    the likeliest first."""
    directory = Path(directory)
    names = set(os.listdir(directory))
    progs = [layouts.program(program)] if program else list(layouts.programs.values())
    found = []
    for p in progs:
        report = next((f for f in p.files if f.kind == "report"), None)
        if report is None:
            continue
        for name in names:
            if not name.endswith(report.suffix):
                continue
            r = name[: -len(report.suffix)]
            if not r or len(r) > p.run_name_length:
                continue
            if run_name is not None and r.strip() != run_name.strip():
                continue
            if not all(f.file_name(r) in names for f in p.files):
                continue
            score = [len(r) == p.run_name_length]
            try:
                lines = _split_lines(directory / name, p)
                score.append(True)
            except ResultError:
                score.append(False)
                lines = None
            data = next((f for f in p.files if f.key == "data"), None)
            if data is not None:
                with open(directory / data.file_name(r), "rb") as f:
                    first = f.readline(data.row_length + 2).split(b"\n", 1)[0]
                score.append(not first or len(first.rstrip(b"\r")) == data.row_length)
            score.append(len(p.files))
            found.append((score, p, r, lines is not None))
    found.sort(key=lambda x: x[0], reverse=True)
    return [(p, r) for _, p, r, _ in found]


def load_run(directory, program: Optional[str] = None, run_name: Optional[str] = None,
             console=None, layouts: Optional[Layouts] = None, show_progress: bool = False,
             tables=None) -> Run:
    """Reads the run in `directory`: `program` and `run_name` (without its
    padding) when the directory holds several runs, `console` a file with
    the run's console output for the period lists and maximum echoes.
    `tables`, when given, names the row files to read ("data", "ER", ...;
    () for none): the report, "tmp" and the console are read all the same,
    which is quick where the row files are large."""
    layouts = layouts or load_layouts()
    directory = Path(directory)
    if not directory.is_dir():
        raise ResultError(f"{directory}: not a directory")
    runs = find_runs(directory, layouts, program, run_name)
    if not runs:
        what = f"of {program}" if program else "of any program"
        who = f" named {run_name!r}" if run_name else ""
        raise ResultError(f"{directory}: no complete run{who} {what} (every file of the run "
                          "must be there)")
    distinct = {(p.name, r.strip()) for p, r in runs}
    best_p, best_r = runs[0]
    if len(distinct) > 1 and not (program and run_name):
        others = [(p.name, r.strip()) for p, r in runs]
        same_name = {r for _, r in others}
        if len(same_name) > 1:
            raise ResultError(f"{directory}: several runs: "
                              + ", ".join(f"{r!r} ({n})" for n, r in others)
                              + "; name one with run_name= (--run)")
    run = Run(directory=directory, program=best_p, run_name=best_r)
    for f in best_p.files:
        path = _file_path(directory, f, best_r)
        run.files[f.key] = path
        if f.kind in ("rows", "spectrum"):
            if tables is not None and f.key not in tables:
                continue
            with progress.step(f"reading {path.name} ({path.stat().st_size // 1024} kB)",
                               show_progress):
                df, msg = _read_rows(path, best_p, f)
            run.tables[f.key] = df
            if msg is not None:
                run.messages = msg
        elif f.kind == "records":
            records = _read_records(path, best_p, f)
            if str(records.get("RUNNAME", "")).strip() == best_r.strip():
                run.run_information = records
            else:
                run.notes.append(f"{f.fixed_name} is of the run {records.get('RUNNAME')!r}, "
                                 "which ran in this directory later")
        elif f.kind == "report":
            _read_report(path, best_p, run)
    if console is None and (directory / "console.out").is_file():
        console = directory / "console.out"
    if console is not None:
        _read_console(Path(console), best_p, run)
    _derive_phases(run)
    return run
