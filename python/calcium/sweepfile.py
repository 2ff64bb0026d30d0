"""The sweep file: which program, which base parameter file, which values to
vary and how they combine. A TOML file:

    program = "velmo67"
    base = "../velmo67/VELMO67.INP"      # relative to the sweep file
    combine = "grid"                      # every combination (default), or "zip"

    [parameters]
    k20 = [0.001, 0.0015, 0.002]                               # the values
    "TPHASE(2)" = { start = 100.0, stop = 300.0, count = 3 }   # a linear range, ends included
    k46 = { start = 1e-3, stop = 1e-1, count = 3, scale = "log" }

The names are those of the program's legend (docs/results.md, or calcium
check on the base file): rate constants, phase durations, initial-state
species, DTOUT, NOUT(p), ... The inner values of a range are rounded to 15
significant digits. The whole file is checked before anything runs; the
first fault is a SweepError naming the file and the entry.
"""

from __future__ import annotations

import difflib
import itertools
import math
import re
import tomllib
from dataclasses import dataclass
from fractions import Fraction
from pathlib import Path

from .layouts import Layouts, LayoutError, Program
from .paramedit import EditError, ParameterEditor, value_token
from .value_reader import INT_MAX, INT_MIN

TOP_KEYS = ("program", "base", "combine", "parameters")
RANGE_KEYS = ("start", "stop", "count", "scale")
DIRECTORY_NAME_LENGTH = 100


class SweepError(Exception):
    """A sweep file that cannot be run as it stands."""


@dataclass(frozen=True)
class Swept:
    name: str
    kind: str  # of the program's value: real, integer, text
    values: tuple
    scale: str  # "values", "linear" or "log"


@dataclass(frozen=True)
class Variant:
    index: int
    values: tuple  # ((name, value), ...) in the order of the sweep file
    name: str  # its directory: the index and the values, safe in a file name


@dataclass
class Sweep:
    path: Path
    program: Program
    base: Path
    combine: str
    parameters: tuple  # of Swept
    editor: ParameterEditor
    variants: list

    def describe(self) -> dict:
        """What the sweep is, as JSON-ready data (written beside its results)."""
        return {"sweep_file": str(self.path), "program": self.program.name,
                "base": str(self.base), "combine": self.combine,
                "parameters": [{"name": s.name, "kind": s.kind, "scale": s.scale,
                                "values": list(s.values)} for s in self.parameters],
                "variants": [{"index": v.index, "directory": v.name,
                              "values": dict(v.values)} for v in self.variants]}


def _fail(path: Path, where: str, what: str):
    raise SweepError(f"{path}: {where}: {what}")


def _kind_name(v) -> str:
    if isinstance(v, bool):
        return "a boolean"
    if isinstance(v, int):
        return "an integer"
    if isinstance(v, float):
        return "a real number"
    if isinstance(v, str):
        return "a text"
    return f"a {type(v).__name__}"


def _value(path: Path, where: str, kind: str, length: int, v):
    """`v` as the program's value of `kind`; SweepError when it is not one."""
    if kind == "real":
        if isinstance(v, bool) or not isinstance(v, (int, float)):
            _fail(path, where, f"takes a real number, found {_kind_name(v)} ({v!r})")
        return float(v)
    if kind == "integer":
        if isinstance(v, bool) or not isinstance(v, int):
            hint = f"; write {int(v)}" if isinstance(v, float) and v.is_integer() else ""
            _fail(path, where, f"takes an integer, found {_kind_name(v)} ({v!r}){hint}")
        if not INT_MIN <= v <= INT_MAX:
            _fail(path, where, f"the integer {v} is out of range")
        return v
    if not isinstance(v, str):
        _fail(path, where, f"takes a text, found {_kind_name(v)} ({v!r})")
    try:
        raw = v.encode("latin-1")
    except UnicodeEncodeError:
        _fail(path, where, f"the text {v!r} has characters outside Latin-1")
    if any(c < 0x20 or c == 0x7F for c in raw):
        _fail(path, where, f"the text {v!r} holds a control character")
    if "/" in v:
        _fail(path, where, f"the text {v!r} holds a slash, which would put the result files "
              "into another directory")
    if length and len(raw) > length:
        _fail(path, where, f"the text {v!r} is longer than the {length} characters the "
              "program keeps")
    return v


def _range(path: Path, where: str, kind: str, entry: dict) -> tuple:
    for key in ("start", "stop", "count"):
        if key not in entry:
            _fail(path, where, f"a range needs start, stop and count; '{key}' is missing")
    count, scale = entry["count"], entry.get("scale", "linear")
    if isinstance(count, bool) or not isinstance(count, int):
        _fail(path, where, f"count takes an integer, found {_kind_name(count)} ({count!r})")
    if count < 1:
        _fail(path, where, f"the range is empty (count = {count})")
    if scale not in ("linear", "log"):
        _fail(path, where, f"scale is 'linear' or 'log', found {scale!r}")
    if kind == "text":
        _fail(path, where, "a text takes a list of values, not a range")
    start = _value(path, where + ": start", kind, 0, entry["start"])
    stop = _value(path, where + ": stop", kind, 0, entry["stop"])
    if not (math.isfinite(start) and math.isfinite(stop)):
        _fail(path, where, "a range needs finite ends")
    if count == 1:
        if start != stop:
            _fail(path, where, f"a range of one value needs start = stop, found {start!r} "
                  f"and {stop!r}")
        return (start,)
    if kind == "integer":
        if scale == "log":
            _fail(path, where, "an integer takes a linear range or a list of values")
        step = Fraction(stop - start, count - 1)
        if step.denominator != 1:
            _fail(path, where, f"the range from {start} to {stop} in {count} values does not "
                  f"give integers (step {float(step):g})")
        return tuple(start + int(step) * i for i in range(count))
    if scale == "log":
        if not (start > 0 and stop > 0):
            _fail(path, where, "a logarithmic range needs ends above 0")
        a, b = math.log10(start), math.log10(stop)
        inner = [10.0 ** (a + (b - a) * i / (count - 1)) for i in range(1, count - 1)]
    else:
        inner = [start + (stop - start) * i / (count - 1) for i in range(1, count - 1)]
    # 15 significant digits: 0.3, not the 0.30000000000000004 of the arithmetic.
    return (start, *(float(f"{v:.15g}") for v in inner), stop)


def _swept(path: Path, program: Program, editor: ParameterEditor, name: str, entry) -> Swept:
    where = f"parameter '{name}'"
    names = [p.name for p in program.parameters]
    if name not in names:
        close = difflib.get_close_matches(name, names, n=3)
        hint = f"; did you mean {', '.join(close)}?" if close else (
            f"; the names: calcium check {program.parameter_file}, or docs/results.md")
        _fail(path, where, f"{program.name} ({program.parameter_file}) has no value of this "
              f"name{hint}")
    item = editor.item(name)
    try:
        editor.check(name)
    except EditError as e:
        _fail(path, where, str(e))
    if isinstance(entry, list):
        values, scale = entry, "values"
        if not values:
            _fail(path, where, "the list of values is empty")
        values = tuple(_value(path, f"{where}: value {i + 1}", item.kind, item.length, v)
                       for i, v in enumerate(values))
    elif isinstance(entry, dict):
        if "values" in entry:
            extra = sorted(set(entry) - {"values"})
            if extra:
                _fail(path, where, f"'values' goes alone, found also {', '.join(extra)}")
            return _swept(path, program, editor, name, entry["values"])
        unknown = sorted(set(entry) - set(RANGE_KEYS))
        if unknown:
            _fail(path, where, f"unknown key {unknown[0]!r}: a range has "
                  f"{', '.join(RANGE_KEYS)} (scale 'linear' or 'log'), or give 'values'")
        scale = entry.get("scale", "linear")
        values = _range(path, where, item.kind, entry)
    else:
        _fail(path, where, f"takes a list of values or a range table, found {_kind_name(entry)}")
    return Swept(name, item.kind, values, scale)


_UNSAFE = re.compile(r"[^A-Za-z0-9.+=-]")


def _safe(text: str) -> str:
    return _UNSAFE.sub("_", text.replace("(", "").replace(")", "").replace(",", "-"))


def directory_name(index: int, width: int, values) -> str:
    """The index, then name=value for each swept value, safe in a file name."""
    parts = []
    for name, kind, value in values:
        token = value_token(kind, value).decode("latin-1").strip("'")
        parts.append(f"{_safe(name)}={_safe(token)}")
    name = f"{index:0{width}d}_" + "_".join(parts)
    return name[:DIRECTORY_NAME_LENGTH]


def load_sweep(path, layouts: Layouts) -> Sweep:
    path = Path(path)
    try:
        text = path.read_bytes().decode("utf-8")
        d = tomllib.loads(text)
    except OSError as e:
        raise SweepError(f"{path}: cannot read it ({e.strerror or e})") from None
    except (UnicodeDecodeError, tomllib.TOMLDecodeError) as e:
        raise SweepError(f"{path}: not a TOML file: {e}") from None
    unknown = [k for k in d if k not in TOP_KEYS]
    if unknown:
        _fail(path, f"key '{unknown[0]}'", f"unknown; a sweep file has {', '.join(TOP_KEYS)}")
    for key in ("program", "base", "parameters"):
        if key not in d:
            _fail(path, f"key '{key}'", "missing")
    if not isinstance(d["program"], str):
        _fail(path, "program", f"takes a program's name, found {_kind_name(d['program'])}")
    try:
        program = layouts.program(d["program"])
    except LayoutError as e:
        _fail(path, "program", str(e))
    if not isinstance(d["base"], str):
        _fail(path, "base", f"takes a file name, found {_kind_name(d['base'])}")
    base = (path.parent / d["base"]).resolve()
    if not base.is_file():
        _fail(path, "base", f"no file {base}")
    try:
        editor = ParameterEditor(base, program)
    except (EditError, OSError) as e:
        _fail(path, "base", str(e))
    combine = d.get("combine", "grid")
    if combine not in ("grid", "zip"):
        _fail(path, "combine", f"is 'grid' or 'zip', found {combine!r}")
    table = d["parameters"]
    if not isinstance(table, dict) or not table:
        _fail(path, "parameters", "a table of at least one parameter is needed")
    swept = tuple(_swept(path, program, editor, name, entry) for name, entry in table.items())
    if combine == "zip":
        lengths = {len(s.values) for s in swept}
        if len(lengths) > 1:
            _fail(path, "combine = 'zip'", "the parameters need the same number of values; "
                  "found " + ", ".join(f"{s.name}: {len(s.values)}" for s in swept))
        rows = list(zip(*(s.values for s in swept)))
    else:
        rows = list(itertools.product(*(s.values for s in swept)))
    width = max(3, len(str(len(rows) - 1)))
    variants = []
    for index, row in enumerate(rows):
        values = tuple((s.name, v) for s, v in zip(swept, row))
        name = directory_name(index, width, [(s.name, s.kind, v) for s, v in zip(swept, row)])
        variants.append(Variant(index, values, name))
    return Sweep(path=path.resolve(), program=program, base=base, combine=combine,
                 parameters=swept, editor=editor, variants=variants)
