"""A parameter file with some of its values changed and every other byte kept.

The base file is read with the programs' value-line reader, which says on
which line each value stands and where its text begins and ends there
(continued lines, quoted texts and repeat counts included). A change
replaces exactly that text, so the notes, the blanks and commas around the
value, the other values and the line ends stay as they were. A value that
has no text of its own cannot be changed that way and is refused: one
given by a repeat count ("3*0.5" stands for three values), an empty item
between commas, or one left out by a slash.
"""

from __future__ import annotations

import math
import struct
from pathlib import Path

from .layouts import Program
from .parameters import read_parameters, same_value
from .value_reader import BOM, Item, _store, _Value


class EditError(Exception):
    """A value that cannot be changed, or a change that would not read back."""


def _real_token(x: float) -> bytes:
    if math.isnan(x):
        negative = struct.pack("<d", x)[7] & 0x80
        return b"-NaN" if negative else b"NaN"
    if math.isinf(x):
        return b"-INF" if x < 0 else b"INF"
    return repr(float(x)).encode("ascii")  # the shortest text that reads back to x


def value_token(kind: str, value) -> bytes:
    """The text written for `value`: the shortest that the reader takes back
    as the same value (a real bit for bit); a text quoted."""
    if kind == "real":
        return _real_token(float(value))
    if kind == "integer":
        return str(int(value)).encode("ascii")
    text = value.encode("latin-1") if isinstance(value, str) else bytes(value)
    return b"'" + text.replace(b"'", b"''") + b"'"


def read_back(item: Item, token: bytes):
    """What the reader stores from `token` for an item like `item`."""
    fresh = Item(item.name, item.kind, item.length)
    quoted = token[:1] == b"'"
    text = token[1:-1].replace(b"''", b"'") if quoted else token
    what = _store(fresh, _Value(text=text, quoted=quoted))
    if what is not None:
        raise EditError(f"{item.name}: {what}")
    return fresh.value


class ParameterEditor:
    """The base parameter file of `program`, read once; edit() gives its
    bytes with some values changed."""

    def __init__(self, path, program: Program):
        self.path = Path(path)
        self.program = program
        self.data = self.path.read_bytes()
        reading = read_parameters(self.path, program)
        if not reading.accepted:
            raise EditError(f"{self.path}: the program would refuse it: {reading.message}")
        self.items = {it.name: it for it in reading.items}
        # Line 1 begins after a byte-order mark, as the reader's spans do.
        self._line_starts = [len(BOM) if self.data.startswith(BOM) else 0]
        at = self.data.find(b"\n")
        while at >= 0:
            self._line_starts.append(at + 1)
            at = self.data.find(b"\n", at + 1)

    def item(self, name: str) -> Item:
        return self.items[name]

    def check(self, name: str) -> None:
        """Raises EditError when `name`'s value has no text of its own to change."""
        it = self.items[name]
        where = f"{self.path.name}: {name}"
        if it.line is None:
            raise EditError(f"{where} has no value written in the file (an empty item or a "
                            "slash leaves it as it was); write it out to sweep it")
        if it.repeat != 1:
            text = self._line(it.line)[it.span[0]:it.span[1]].decode("latin-1")
            raise EditError(f"{where} is given on line {it.line} by the repeat count '{text}' "
                            f"together with other values; write the {it.repeat} values out "
                            "one by one to sweep it")

    def _line(self, line: int) -> bytes:
        start = self._line_starts[line - 1]
        end = self.data.find(b"\n", start)
        text = self.data[start:] if end < 0 else self.data[start:end]
        return text[:-1] if text.endswith(b"\r") else text

    def span(self, name: str) -> tuple:
        """The byte offsets in the file where the text of `name`'s value begins and ends."""
        self.check(name)
        it = self.items[name]
        start = self._line_starts[it.line - 1]
        return start + it.span[0], start + it.span[1]

    def edit(self, values: dict) -> bytes:
        """The file's bytes with each named value replaced; every other byte kept."""
        changes = []
        for name, value in values.items():
            it = self.items[name]
            token = value_token(it.kind, value)
            if not same_value(read_back(it, token), _stored_form(it, value)):
                raise EditError(f"{name}: {token.decode('latin-1')} would not read back as "
                                f"{value!r}")
            changes.append(self.span(name) + (token,))
        changes.sort()
        out, at = [], 0
        for start, end, token in changes:
            if start < at:
                raise EditError("two changed values share their text")
            out += [self.data[at:start], token]
            at = end
        out.append(self.data[at:])
        return b"".join(out)


def _stored_form(item: Item, value):
    """`value` as the reader keeps it: reals as floats, texts blank-padded bytes."""
    if item.kind == "real":
        return float(value)
    if item.kind == "integer":
        return int(value)
    text = value.encode("latin-1") if isinstance(value, str) else bytes(value)
    return text[: item.length] + b" " * (item.length - len(text[: item.length]))
