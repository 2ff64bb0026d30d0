"""The programs' value-line reader, rule for rule, for `calcium check`.

A parameter file is read one statement a line. A statement takes the values
it needs, separated by blanks, tabs or commas, and ignores the rest of its
last line; with too few values it goes on to the next line. "3*0.5" repeats
a value, "2*" or an empty item between commas is a null value that leaves
its destination as it was, a slash ends the statement early, and a text may
be quoted with ' or " (a doubled quote stands for itself). CR LF reads like
LF. Reals: 1  1.  .5  1e3  1.0D-03  1.0+3 (exponent without letter), INF,
Infinity and NaN in any case and sign. Integers: a sign and digits. The
messages are the programs' own: "FILE line N: ITEM: REASON".

The reader works on bytes, as the programs do; a text value is kept as
bytes (decoded as Latin-1 where it is shown).
"""

from __future__ import annotations

import math
import os
from dataclasses import dataclass, field
from typing import Optional

MAX_LINE_LENGTH = 1 << 20
# A UTF-8 byte-order mark at the very start of a file is skipped; anywhere
# else its bytes are text like any other.
BOM = b"\xef\xbb\xbf"
INT_MIN, INT_MAX = -(2 ** 31), 2 ** 31 - 1


@dataclass
class Item:
    """One value a statement wants: its name, kind (real, integer, text) and,
    for a text, its length; `value` holds what it has (0 or blanks at first)."""
    name: str
    kind: str
    length: int = 0
    value: object = None
    # Where the value that was stored came from: line and byte span, and the
    # token as written; None while the item keeps its first value.
    line: Optional[int] = None
    span: Optional[tuple] = None
    token: Optional[bytes] = None
    full_text: Optional[bytes] = None  # a text before it was cut to `length`
    repeat: int = 1  # the repeat count of the value stored ("3*0.5": 3)

    def __post_init__(self):
        if self.value is None:
            self.value = b" " * self.length if self.kind == "text" else (
                0 if self.kind == "integer" else 0.0)


class ReadError(Exception):
    def __init__(self, file: str, line: int, item: str, what: str):
        super().__init__(f"{file} line {line}: {item}: {what}")
        self.file, self.line, self.item, self.what = file, line, item, what

    @property
    def message(self) -> str:
        return str(self)


def _blank(c: int) -> bool:
    return c in (0x20, 0x09)


def _ends_item(c: int) -> bool:
    return c in (0x20, 0x09, 0x2C, 0x2F)  # blank, tab, comma, slash


def _digit(c: int) -> bool:
    return 0x30 <= c <= 0x39


def shown(s: bytes) -> str:
    """The text found, as the messages show it: non-printing bytes as \\xNN, cut after 40."""
    out = "'"
    for c in s[:40]:
        out += chr(c) if 0x20 <= c < 0x7F else f"\\x{c:02x}"
    if len(s) > 40:
        out += "..."
    return out + "'"


def _special_real(s: bytes) -> Optional[float]:
    negative = False
    if s[:1] in (b"+", b"-"):
        negative = s[:1] == b"-"
        s = s[1:]
    word = s.lower()
    if word in (b"inf", b"infinity"):
        v = math.inf
    elif word == b"nan":
        v = math.nan
    else:
        return None
    return math.copysign(v, -1.0 if negative else 1.0)


def _normalize_real(s: bytes) -> Optional[str]:
    out = []
    i, n = 0, len(s)
    if i < n and s[i] in b"+-":
        out.append(chr(s[i]))
        i += 1
    mantissa = 0
    while i < n and _digit(s[i]):
        out.append(chr(s[i]))
        i += 1
        mantissa += 1
    if i < n and s[i] == 0x2E:
        out.append(".")
        i += 1
        while i < n and _digit(s[i]):
            out.append(chr(s[i]))
            i += 1
            mantissa += 1
    if mantissa == 0:
        return None
    if i == n:
        return "".join(out)
    c = s[i]
    if c in b"eEdDqQ":
        i += 1
    elif c not in b"+-":
        return None
    out.append("e")
    if i < n and s[i] in b"+-":
        out.append(chr(s[i]))
        i += 1
    exponent = 0
    while i < n and _digit(s[i]):
        out.append(chr(s[i]))
        i += 1
        exponent += 1
    return "".join(out) if exponent > 0 and i == n else None


@dataclass
class _Value:
    text: bytes = b""
    quoted: bool = False
    null: bool = False


def _store(item: Item, v: _Value) -> Optional[str]:
    """Stores v into item; the reason when it does not fit."""
    if v.null:
        return None
    found = b"'" + v.text + b"'" if v.quoted else v.text
    if item.kind == "real":
        if not v.quoted:
            special = _special_real(v.text)
            if special is not None:
                item.value = special
                return None
        norm = None if v.quoted else _normalize_real(v.text)
        if norm is None:
            return "expected a real number, found " + shown(found)
        d = float(norm)
        if math.isinf(d):
            return "real number out of range, found " + shown(found)
        item.value = d
        return None
    if item.kind == "integer":
        s = v.text
        i = 1 if (not v.quoted and s[:1] in (b"+", b"-")) else 0
        if v.quoted or i >= len(s) or not all(_digit(c) for c in s[i:]):
            return "expected an integer, found " + shown(found)
        n = int(s)
        if n < INT_MIN or n > INT_MAX:
            return "integer out of range, found " + shown(found)
        item.value = n
        return None
    for c in v.text:
        if c < 0x20 or c == 0x7F:
            return "text holds a control character, found " + shown(found)
    if item.length > 0:
        t = v.text[: item.length]
        item.value = t + b" " * (item.length - len(t))
        item.full_text = v.text
    return None


@dataclass
class Statement:
    """What one read took: the items and the lines it read them from."""
    items: list
    first_line: int = 0
    last_line: int = 0
    ended_by_slash: bool = False


class ValueReader:
    """Reads statements from a file as the programs do. Lines are read only
    as statements need them."""

    def __init__(self, path: str, display_name: Optional[str] = None):
        self.file = display_name or os.fspath(path)
        self.lines_read = 0
        self.texts: list = []  # the lines read, without their line ends
        self._open_reason = None
        try:
            with open(path, "rb") as f:
                self._data = f.read()
        except OSError as e:
            self._data = b""
            self._open_reason = os.strerror(e.errno) if e.errno else str(e)
        self._pos = len(BOM) if self._data.startswith(BOM) else 0

    @property
    def data(self) -> bytes:
        return self._data

    def _next_line(self, next_index: int, items: list) -> Optional[bytes]:
        data = self._data
        if self._pos >= len(data):
            return None
        nl = data.find(b"\n", self._pos)
        end = len(data) if nl < 0 else nl
        text = data[self._pos:end]
        length = len(text) - 1 if text.endswith(b"\r") else len(text)
        if length > MAX_LINE_LENGTH:
            self._fail(self.lines_read + 1, next_index, items,
                       f"the line is longer than {MAX_LINE_LENGTH} characters")
        self._pos = end + 1 if nl >= 0 else len(data)
        self.lines_read += 1
        self.texts.append(text)
        return text

    def _fail(self, line: int, index: int, items: list, what: str):
        name = items[index].name if index < len(items) else ""
        raise ReadError(self.file, line, name, what)

    def read(self, items: list) -> Statement:
        """One statement into `items`; raises ReadError as the programs report it."""
        st = Statement(items=items, first_line=self.lines_read + 1)
        if self._open_reason is not None:
            self._fail(self.lines_read + 1, 0, items, f"cannot open the file ({self._open_reason})")
        nxt = 0
        comma_pending = True
        n = len(items)

        def take(v: _Value, count: int, line: int, span: tuple):
            nonlocal nxt
            k = 0
            while k < count and nxt < n:
                what = _store(items[nxt], v)
                if what is not None:
                    self._fail(line, nxt, items, what)
                if not v.null:
                    items[nxt].line, items[nxt].span = line, span
                    items[nxt].token, items[nxt].repeat = v.text, count
                k += 1
                nxt += 1

        while nxt < n:
            raw = self._next_line(nxt, items)
            if raw is None:
                self._fail(self.lines_read + 1, nxt, items, "the file ends before this value")
            line = self.lines_read
            st.last_line = line
            ln = raw[:-1] if raw.endswith(b"\r") else raw
            c = 0
            size = len(ln)
            while nxt < n:
                while c < size and _blank(ln[c]):
                    c += 1
                if c >= size:
                    break
                if ln[c] == 0x2F:  # slash: the rest keep their values
                    st.ended_by_slash = True
                    return st
                if ln[c] == 0x2C:
                    c += 1
                    if comma_pending:
                        take(_Value(null=True), 1, line, (c - 1, c))
                    comma_pending = True
                    continue
                start = c
                count = 1
                d = c
                while d < size and _digit(ln[d]):
                    d += 1
                if d > c and d < size and ln[d] == 0x2A:  # count*
                    digits = ln[c:d]
                    count = 0 if len(digits) > 9 else int(digits)
                    if count < 1:
                        e = d + 1
                        while e < size and not _ends_item(ln[e]):
                            e += 1
                        self._fail(line, nxt, items, "bad repeat count, found " + shown(ln[start:e]))
                    c = d + 1
                v = _Value()
                if c < size and ln[c] in (0x27, 0x22):
                    q = ln[c]
                    c += 1
                    closed = False
                    text = bytearray()
                    while c < size:
                        if ln[c] == q:
                            if c + 1 < size and ln[c + 1] == q:
                                text.append(q)
                                c += 2
                                continue
                            c += 1
                            closed = True
                            break
                        text.append(ln[c])
                        c += 1
                    if not closed:
                        self._fail(line, nxt, items,
                                   "quoted text has no closing quote, found " + shown(ln[start:]))
                    if c < size and not _ends_item(ln[c]):
                        e = c
                        while e < size and not _ends_item(ln[e]):
                            e += 1
                        self._fail(line, nxt, items, "unexpected text after a quoted value, found "
                                   + shown(ln[start:e]))
                    v.text = bytes(text)
                    v.quoted = True
                elif c >= size or _ends_item(ln[c]):
                    v.null = True  # "r*" alone
                else:
                    b = c
                    while c < size and not _ends_item(ln[c]):
                        c += 1
                    v.text = ln[b:c]
                take(v, count, line, (start, c))
                comma_pending = False
        return st
