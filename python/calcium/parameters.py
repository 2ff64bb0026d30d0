"""A parameter file read as a program reads it: its layout from the legend,
the value-line reader, and the checks that the programs make of a value
right after its line (a NaN or infinite time of the time line, an output
interval below 0, a window length outside the window; nilpora: an output
interval that never reaches TFINAL)."""

from __future__ import annotations

import json
import math
import os
import subprocess
from dataclasses import dataclass, field
from itertools import groupby
from typing import Optional

from .layouts import Layouts, Program
from .value_reader import Item, ReadError, Statement, ValueReader

# The sliding window's capacity in output steps.
WINDOW_CAPACITY = 1000


def _c_g(v: float) -> str:
    """printf's %g, as the programs' messages write a real."""
    if math.isnan(v):
        return "-nan" if math.copysign(1.0, v) < 0 else "nan"
    return "%g" % v


# The values of the time line, by what the messages call them.
_CALCIUM_TIMES = {"TPRINT": "the time column's start", "DTOUT": "the output interval",
                  **{f"TPHASE({p})": "the phase duration" for p in range(1, 6)}}
_NILPORA_TIMES = {"TOUT": "the first output time", "DTOUT": "the output interval",
                  "TFINAL": "the final time"}


def _fields_text(v: float) -> str:
    """NaN or INF as the fields write them, signed when the sign bit is set."""
    return ("-" if math.copysign(1.0, v) < 0 else "") + ("NaN" if math.isnan(v) else "INF")


def _problem(program: Program, item: Item) -> Optional[str]:
    """What the program refuses in a value right after its line."""
    times = _CALCIUM_TIMES if program.phases > 1 else _NILPORA_TIMES
    if item.name in times and not math.isfinite(item.value):
        return f"{times[item.name]} must be a finite number, found {_fields_text(item.value)}"
    if program.phases > 1:
        if item.name == "DTOUT" and item.value < 0.0:
            return "the output interval must not be negative, found " + _c_g(item.value)
        if item.name == "NSW" and not (1 <= item.value <= WINDOW_CAPACITY):
            return (f"the window length must lie between 1 and {WINDOW_CAPACITY}, "
                    f"found {item.value}")
    return None


def _never_ends(tout: float, dtout: float, tfinal: float) -> bool:
    if not (tout <= tfinal):
        return False
    if dtout < 0.0:
        return True
    return dtout == 0.0 and tout != 0.0


@dataclass
class Reading:
    program: Program
    path: str
    statements: list  # (line of the layout, Statement), in order, those read
    items: list  # every Item of the layout, in order
    accepted: bool
    message: Optional[str]
    reader: ValueReader
    error_line: Optional[int] = None  # the line the refusal names

    def value(self, name: str):
        for it in self.items:
            if it.name == name:
                return it.value
        raise KeyError(name)


def read_parameters(path, program: Program) -> Reading:
    """Reads `path` with `program`'s layout; the messages name the program's
    own parameter file, as the program (which reads it in its directory) does."""
    reader = ValueReader(path, program.parameter_file)
    lines = [(line, [Item(p.name, p.kind, program.run_name_length if p.kind == "text" else 0)
                     for p in group])
             for line, group in groupby(program.parameters, key=lambda p: p.line)]
    every = [it for _, items in lines for it in items]
    done = []
    try:
        for line, items in lines:
            st = reader.read(items)
            done.append((line, st))
            for it in items:
                what = _problem(program, it)
                if what:
                    raise ReadError(program.parameter_file, reader.lines_read, it.name, what)
        if program.phases == 1:
            get = {it.name: it for it in every}
            tout, dtout, tfinal = (get[n].value for n in ("TOUT", "DTOUT", "TFINAL"))
            if _never_ends(tout, dtout, tfinal):
                what = ("a negative output interval never reaches TFINAL" if dtout < 0.0 else
                        "a zero output interval repeats the first output time without end")
                raise ReadError(program.parameter_file, done[1][1].last_line, "DTOUT", what)
    except ReadError as e:
        return Reading(program, os.fspath(path), done, every, False, e.message, reader, e.line)
    return Reading(program, os.fspath(path), done, every, True, None, reader)


@dataclass
class ProgramReading:
    """What the program's own reader (calcium-layouts read) made of the file."""
    accepted: bool
    message: Optional[str]
    values: list  # (name, kind, value): reals as floats, texts as bytes


def read_with_program(layouts: Layouts, program: Program, path) -> Optional[ProgramReading]:
    """The program's own reading, or None when calcium-layouts is not at hand."""
    exe = layouts.reader_program
    if exe is None:
        return None
    try:
        out = subprocess.run([os.fspath(exe), "read", program.name, os.fspath(path)],
                             capture_output=True, check=True, timeout=60).stdout
        d = json.loads(out.decode("utf-8"))
    except (OSError, subprocess.SubprocessError, ValueError):
        return None
    values = []
    for v in d["values"]:
        if v["kind"] == "real":
            value = _from_bits(v["bits"])
        elif v["kind"] == "text":
            value = v["value"].encode("latin-1")
        else:
            value = v["value"]
        values.append((v["name"], v["kind"], value))
    return ProgramReading(d["accepted"], d["message"], values)


def _from_bits(bits: str) -> float:
    import struct
    return struct.unpack("<d", int(bits, 16).to_bytes(8, "little"))[0]


def same_value(a, b) -> bool:
    """Equal, bit for bit for reals (so NaN equals NaN of the same sign)."""
    if isinstance(a, float) and isinstance(b, float):
        import struct
        return struct.pack("<d", a) == struct.pack("<d", b)
    return a == b


def disagreements(ours: Reading, theirs: ProgramReading) -> list:
    """Where the Python reader and the program's reader differ."""
    out = []
    if ours.accepted != theirs.accepted or (ours.message or None) != (theirs.message or None):
        out.append(f"verdict: {'accepted' if ours.accepted else ours.message!r} against "
                   f"{'accepted' if theirs.accepted else theirs.message!r}")
    for it, (name, kind, value) in zip(ours.items, theirs.values):
        if it.name != name or not same_value(it.value, value):
            out.append(f"{it.name}: {it.value!r} against {name} = {value!r}")
    if len(ours.items) != len(theirs.values):
        out.append(f"{len(ours.items)} values against {len(theirs.values)}")
    return out
