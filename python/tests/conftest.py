"""Shared fixtures: the package from the checkout, the legend and the
programs of the build (scripts/test.sh builds before it runs pytest)."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "python"))

import calcium  # noqa: E402

GOLDEN = ROOT / "tests" / "golden" / "cases"
EXAMPLES = ROOT / "examples"
CORPUS = ROOT / "fuzz" / "corpus" / "reader_fuzz"


@pytest.fixture(scope="session")
def layouts():
    return calcium.load_layouts()


@pytest.fixture(scope="session")
def bin_dir(layouts):
    return layouts.path.parent.parent.parent / "bin"


def golden_cases():
    return sorted(p.name for p in GOLDEN.iterdir() if p.is_dir())


def run_program(bin_dir, program, directory):
    """Runs a program in `directory`; its exit status and standard error."""
    r = subprocess.run([str(bin_dir / program)], cwd=directory, capture_output=True,
                       stdin=subprocess.DEVNULL, timeout=120)
    return r.returncode, r.stderr


@pytest.fixture
def golden_copy(tmp_path):
    """A copy of a golden case folder to spoil."""
    def copy(name):
        dest = tmp_path / name
        shutil.copytree(GOLDEN / name, dest)
        return dest
    return copy
