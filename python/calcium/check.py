"""calcium check: what a program will read from a parameter file, line by
line, and the slips that read as something else than meant."""

from __future__ import annotations

import sys
from pathlib import Path
from typing import Optional

from .layouts import Layouts, Program
from .parameters import Reading, disagreements, read_parameters, read_with_program
from .value_reader import BOM

# Characters that look like a minus sign or a blank but are not ASCII.
LOOKALIKES = {
    "\u2212": "a minus sign (U+2212)",
    "\u2013": "an en dash (U+2013)",
    "\u2012": "a figure dash (U+2012)",
    "\u00a0": "a no-break space (U+00A0)",
    "\u2009": "a thin space (U+2009)",
    "\u202f": "a narrow no-break space (U+202F)",
    "\u2007": "a figure space (U+2007)",
    "\u3000": "an ideographic space (U+3000)",
}


def program_for(layouts: Layouts, path: Path, name: Optional[str]) -> Program:
    if name:
        return layouts.program(name)
    for p in layouts.programs.values():
        if p.parameter_file.lower() == path.name.lower():
            return p
    raise SystemExit(f"calcium check: {path.name} is no program's parameter file name "
                     f"({', '.join(p.parameter_file for p in layouts.programs.values())}); "
                     "name the program with --program")


def _show(value) -> str:
    if isinstance(value, bytes):
        return "'" + value.decode("latin-1") + "'"
    return repr(value)


def warnings(reading: Reading) -> list:
    """The slips of the lines that the program reads."""
    out = []
    data = reading.reader.data
    texts = reading.reader.texts
    if data.startswith(BOM):
        out.append("line 1: the file begins with a byte-order mark (EF BB BF); the programs "
                   "skip it, but other tools may take it as part of the run name")
    for line_no, st in reading.statements:
        read = [it for it in st.items if it.line]
        last = read[-1] if read else None  # digits after its comma are left unread
        if st.last_line > st.first_line:
            took = [it.name for it in st.items if it.line and it.line > st.first_line]
            out.append(f"line {st.first_line}: too few values on the line; the statement takes "
                       f"{', '.join(took) or 'its values'} from line {st.last_line}, and every "
                       f"later line is read {st.last_line - st.first_line} further down")
        for it in st.items:
            if it.kind == "text" and it.full_text is not None and len(it.full_text) > it.length:
                out.append(f"line {it.line}: the run name "
                           f"'{it.full_text.decode('latin-1')}' is cut to its first "
                           f"{it.length} characters: {_show(it.value)}")
            if it.kind == "real" and it.line and it.token is not None and it is last:
                text = texts[it.line - 1]
                end = it.span[1]
                if (it.token.lstrip(b"+-").isdigit() and end + 1 < len(text)
                        and text[end:end + 1] == b"," and text[end + 1:end + 2].isdigit()):
                    after = text[end + 1:].split(b",")[0].split()[0]
                    if not after.isdigit():
                        continue
                    out.append(f"line {it.line}: '{(it.token + b',' + after).decode('latin-1')}' "
                               f"reads as {it.token.decode()} for {it.name}, and {after.decode('latin-1')} "
                               "is left unread as a note: the decimal point is '.'")
        for n in range(st.first_line, st.last_line + 1):
            used = [it.span[1] for it in st.items if it.line == n and it.span]
            out.extend(_lookalikes(n, texts[n - 1][: max(used) if used else len(texts[n - 1])]))
    if not reading.accepted and reading.error_line and reading.error_line <= len(texts):
        n = reading.error_line
        if not any(n in range(st.first_line, st.last_line + 1) for _, st in reading.statements):
            out.extend(_lookalikes(n, texts[n - 1]))
    return out


def _lookalikes(n: int, text: bytes) -> list:
    """Characters that look like a minus sign or a blank, in the values of line n."""
    out = []
    try:
        decoded = text.decode("utf-8")
    except UnicodeDecodeError:
        if any(b >= 0x80 for b in text):
            out.append(f"line {n}: bytes outside ASCII among the values")
        return out
    for ch, what in LOOKALIKES.items():
        if ch in decoded:
            out.append(f"line {n}: {what} among the values; the reader takes only the ASCII "
                       "'-' as a sign and blanks, tabs and commas as separators")
    return out


def run_check(layouts: Layouts, path: Path, program_name: Optional[str], out=sys.stdout,
              err=sys.stderr) -> int:
    program = program_for(layouts, path, program_name)
    if not path.exists():
        print(f"calcium check: {path}: no such file", file=err)
        return 2
    reading = read_parameters(path, program)
    theirs = read_with_program(layouts, program, path)
    accepted, message = reading.accepted, reading.message
    if theirs is not None:
        differ = disagreements(reading, theirs)
        if differ:
            print(f"calcium check: warning: {program.name}'s own reader reads {path} otherwise "
                  "than this check (" + "; ".join(differ[:3]) + "); its verdict stands",
                  file=err)
            accepted, message = theirs.accepted, theirs.message

    print(f"{path}: as {program.name} reads it ({program.parameter_file}, "
          f"{program.parameter_lines} lines)", file=out)
    for line_no, st in reading.statements:
        where = (f"line {st.first_line}" if st.last_line == st.first_line
                 else f"lines {st.first_line}-{st.last_line}")
        shown = "  ".join(f"{it.name} = {_show(it.value)}" for it in st.items)
        suffix = "  (the rest of the statement keeps its values: a slash)" if st.ended_by_slash else ""
        print(f"{where:>12}: {shown}{suffix}", file=out)
    for w in warnings(reading):
        print(f"warning: {w}", file=out)
    if accepted:
        print(f"{program.name} accepts the file", file=out)
        return 0
    print(message, file=err)
    return 2
