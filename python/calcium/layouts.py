"""The legend of every program's files, as calcium-layouts exports it.

The legend is read from layouts.json, never kept here: from a checkout the
one the build wrote (build*/share/calcium/layouts.json), from an installation
the one beside the package (share/calcium/layouts.json). CALCIUM_LAYOUTS
names another file. calcium-layouts itself stands in the bin directory
beside that share directory; it reads a parameter file with a program's own
reader (calcium check uses it).
"""

from __future__ import annotations

import json
import os
import shutil
from dataclasses import dataclass, field
from pathlib import Path
from typing import Optional

PACKAGE_DIR = Path(__file__).resolve().parent


class LayoutError(Exception):
    """No legend, or a legend this package cannot read."""


@dataclass(frozen=True)
class Column:
    number: int  # from 1
    name: str
    meaning: str


@dataclass(frozen=True)
class ResultFile:
    suffix: Optional[str]  # after the run name
    fixed_name: Optional[str]  # "tmp"
    title: str
    kind: str  # rows, spectrum, records, report, parameter file
    holds: str
    written: str
    rows: Optional[str]  # NOUT, every output step, phase end, once
    integrator_messages: bool
    width: int
    digits: int
    columns: tuple  # of Column: the columns of a row, the records of "tmp"

    @property
    def key(self) -> str:
        """A short name from the title: "data", "ER", "flux", "sliding-window", ..."""
        return self.title[: -len(" file")] if self.title.endswith(" file") else self.title

    def file_name(self, run_name: str) -> str:
        """The name as the program opens it: leading blanks of the run name dropped."""
        if self.fixed_name:
            return self.fixed_name
        return (run_name + self.suffix).lstrip(" ")

    @property
    def row_length(self) -> int:
        n = len(self.columns)
        return 1 + n * self.width + (n - 1)

    @property
    def format(self) -> str:
        return f"1PE{self.width}.{self.digits}" if self.width else ""


@dataclass(frozen=True)
class Parameter:
    line: int
    item: int
    name: str
    meaning: str
    kind: str  # real, integer, text


@dataclass(frozen=True)
class ConcentrationLine:
    values: tuple  # species names
    trailer: str


@dataclass(frozen=True)
class Program:
    name: str
    parameter_file: str
    run_name_length: int
    line_end: str  # "LF" or "CRLF"
    phases: int
    row_control: str
    output_interval_after_phase_2: Optional[float]
    files: tuple  # of ResultFile
    parameters: tuple  # of Parameter
    concentration_digits: int
    end_of_phase_lines: tuple  # of ConcentrationLine
    # The period analysis: the phases whose Ca_cyt maxima the program finds
    # (none: no analysis) and those whose maxima its console echoes.
    maxima_phases: tuple = ()
    echoed_phases: tuple = ()

    @property
    def period_analysis(self) -> bool:
        return bool(self.maxima_phases)

    @property
    def line_end_bytes(self) -> bytes:
        return b"\r\n" if self.line_end == "CRLF" else b"\n"

    def file(self, key: str) -> ResultFile:
        """The file by key ("data", "ER", "flux", ...), suffix ("_ER.txt") or name ("tmp")."""
        for f in self.files:
            if key in (f.key, f.suffix, f.fixed_name):
                return f
        raise KeyError(f"{self.name} writes no file '{key}'; its files: "
                       + ", ".join(f.key for f in self.files))

    def parameter(self, name: str) -> Parameter:
        for p in self.parameters:
            if p.name == name:
                return p
        raise KeyError(f"{self.parameter_file} has no value '{name}'")

    @property
    def parameter_lines(self) -> int:
        return max(p.line for p in self.parameters)


@dataclass
class Layouts:
    path: Path
    programs: dict = field(default_factory=dict)  # name -> Program

    def program(self, name: str) -> Program:
        try:
            return self.programs[name]
        except KeyError:
            raise LayoutError(f"no program '{name}'; the programs: "
                              + ", ".join(self.programs)) from None

    @property
    def bin_dir(self) -> Path:
        """The bin directory of the build or installation that wrote the legend."""
        return self.path.parent.parent.parent / "bin"

    @property
    def reader_program(self) -> Optional[Path]:
        """calcium-layouts of the same build or installation, if it is there."""
        override = os.environ.get("CALCIUM_LAYOUTS_PROGRAM")
        if override:
            return Path(override)
        exe = self.bin_dir / "calcium-layouts"
        return exe if exe.is_file() and os.access(exe, os.X_OK) else None

    def executable(self, program: str) -> Path:
        """The program of the same build or installation, else the one on PATH."""
        exe = self.bin_dir / program
        if exe.is_file() and os.access(exe, os.X_OK):
            return exe.resolve()
        found = shutil.which(program)
        if found:
            return Path(found).resolve()
        raise LayoutError(f"no program '{program}' in {self.bin_dir} or on PATH: build it "
                          "first (scripts/test.sh or cmake --build build)")


def candidate_paths() -> list:
    """Where the legend is looked for, in order."""
    found = []
    env = os.environ.get("CALCIUM_LAYOUTS")
    if env:
        found.append(Path(env))
    # Installed: <prefix>/share/calcium/python/calcium/ beside <prefix>/share/calcium/layouts.json.
    found.append(PACKAGE_DIR.parent.parent / "layouts.json")
    # A checkout: <root>/python/calcium/, built in <root>/build (or build-*).
    root = PACKAGE_DIR.parent.parent
    found.append(root / "build" / "share" / "calcium" / "layouts.json")
    found.extend(sorted(root.glob("build-*/share/calcium/layouts.json")))
    return found


def _program(d: dict) -> Program:
    files = []
    for f in d["files"]:
        cols = f.get("columns", f.get("records", []))
        files.append(ResultFile(
            suffix=f["suffix"], fixed_name=f["name"], title=f["title"], kind=f["kind"],
            holds=f["holds"], written=f["written"], rows=f.get("rows"),
            integrator_messages=f["integrator_messages"], width=f.get("width", 0),
            digits=f.get("digits", 0),
            columns=tuple(Column(c.get("column", c.get("line")), c["name"], c["meaning"])
                          for c in cols)))
    eop = d.get("end_of_phase_lines")
    digits = 0
    lines = ()
    if eop:
        digits = int(eop["format"].split(".")[1])
        lines = tuple(ConcentrationLine(tuple(l["values"]), l["trailer"]) for l in eop["lines"])
    return Program(
        name=d["program"], parameter_file=d["parameter_file"],
        run_name_length=d["run_name_length"], line_end=d["line_end"], phases=d["phases"],
        row_control=d["row_control"],
        output_interval_after_phase_2=d["output_interval_after_phase_2"],
        files=tuple(files),
        parameters=tuple(Parameter(p["line"], p["item"], p["name"], p["meaning"], p["kind"])
                         for p in d["parameters"]),
        concentration_digits=digits, end_of_phase_lines=lines,
        maxima_phases=tuple((d.get("period_analysis") or {}).get("maxima_phases", ())),
        echoed_phases=tuple((d.get("period_analysis") or {}).get("echoed_phases", ())))


_cache: dict = {}


def load_layouts(path=None) -> Layouts:
    """The legend from `path`, or from the first place that has one."""
    paths = [Path(path)] if path else candidate_paths()
    for p in paths:
        if p.is_file():
            key = p.resolve()
            if key not in _cache:
                try:
                    data = json.loads(p.read_text(encoding="utf-8"))
                    progs = {d["program"]: _program(d) for d in data["programs"]}
                except (ValueError, KeyError, TypeError) as e:
                    raise LayoutError(f"{p}: not a legend of calcium-layouts ({e})") from None
                _cache[key] = Layouts(path=p, programs=progs)
            return _cache[key]
    raise LayoutError(
        "no layouts.json: build the programs first (scripts/test.sh or cmake --build build), "
        "or set CALCIUM_LAYOUTS; looked in " + ", ".join(str(p) for p in paths))
