"""The Python value-line reader against the programs' own readers
(calcium-layouts read): on every example and every seed of the reader fuzz
corpus, the same verdict, the same message and the same value, bit for bit,
in every destination."""

from pathlib import Path

import pytest

from calcium.parameters import disagreements, read_parameters, read_with_program
from conftest import CORPUS, EXAMPLES


def inputs():
    for d in sorted(EXAMPLES.iterdir()):
        for f in sorted(d.glob("*.INP")):
            yield pytest.param(d.name, f.read_bytes(), id=f"example-{d.name}")
    for seed in sorted(CORPUS.iterdir()):
        program, _, body = seed.read_bytes().partition(b"\n")
        yield pytest.param(program.decode(), body, id=seed.name)
    # The edges of the messages and of the line length, which the seeds do not reach.
    rest = (EXAMPLES / "nilpora" / "NILPORA.INP").read_bytes().split(b"\n", 1)[1]
    yield pytest.param("nilpora", b"run\n" + b"1.5x" * 20 + b"\n" + rest, id="long-bad-value")
    limit = 1 << 20
    for extra in (0, 1):
        yield pytest.param("nilpora", b"a" * (limit + extra) + b"\r\n" + rest,
                           id=f"line-of-{limit + extra}-characters-and-cr-lf")


# The same inputs spelled otherwise must read alike too: CR LF line ends, and
# a byte-order mark before the first line.
def spellings(body):
    yield "as written", body
    yield "CR LF", body.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    yield "byte-order mark", b"\xef\xbb\xbf" + body


@pytest.mark.parametrize("program,body", list(inputs()))
def test_python_reader_agrees_with_the_programs(program, body, layouts, tmp_path):
    assert layouts.reader_program is not None, "calcium-layouts is not built"
    p = layouts.program(program)
    for how, text in spellings(body):
        path = tmp_path / p.parameter_file
        path.write_bytes(text)
        ours = read_parameters(path, p)
        theirs = read_with_program(layouts, p, path)
        assert theirs is not None
        assert disagreements(ours, theirs) == [], how
