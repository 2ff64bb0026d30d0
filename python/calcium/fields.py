"""The fields of the result files: scaled scientific fields as the programs
write them, INF and NaN (signed), asterisks where a value did not fit, and
an exponent of three digits written without its letter (1.2346-120)."""

from __future__ import annotations

import math
import re

_THREE_DIGIT_EXPONENT = re.compile(r"([+-]?\d*\.\d*)([+-]\d{3})")
_D_EXPONENT = re.compile(r"([+-]?\d*\.\d*)[Dd]([+-]\d+)")


def parse_field(text: str) -> float:
    """The value of one field; ValueError when it is not one."""
    try:
        return float(text)
    except ValueError:
        pass
    t = text.strip()
    if t and t.strip("*") == "":
        return math.nan
    m = _THREE_DIGIT_EXPONENT.fullmatch(t) or _D_EXPONENT.fullmatch(t)
    if m:
        return float(m.group(1) + "e" + m.group(2))
    raise ValueError(f"not a field: {text!r}")


def is_row(line: str, fields: int, width: int) -> bool:
    """A row of `fields` fields of `width` characters: one blank, the fields
    separated by commas."""
    if len(line) != 1 + fields * width + (fields - 1) or not line.startswith(" "):
        return False
    step = width + 1
    return all(line[i * step] == "," for i in range(1, fields)) and "," not in "".join(
        line[1 + i * step: 1 + i * step + width] for i in range(fields))


def row_values(line: str, fields: int, width: int) -> list:
    step = width + 1
    return [parse_field(line[1 + i * step: 1 + i * step + width]) for i in range(fields)]
