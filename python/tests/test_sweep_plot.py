"""calcium plot --sweep: a heat map over a grid of two (failed variants
left blank), a line against one parameter, from the summary's own values."""

import math
import os
import shutil
import subprocess
import sys

import matplotlib.image
import numpy as np
import pandas as pd
import pytest

from calcium import sweep, sweep_plot
from conftest import EXAMPLES, ROOT


@pytest.fixture(scope="module")
def nilpora_grid(tmp_path_factory, layouts):
    d = tmp_path_factory.mktemp("grid")
    shutil.copy(EXAMPLES / "nilpora" / "NILPORA.INP", d)
    # DTOUT -0.5 never reaches TFINAL: nilpora refuses it.
    (d / "s.toml").write_text('program = "nilpora"\nbase = "NILPORA.INP"\n[parameters]\n'
                              'DTOUT = [-0.5, 0.5, 1.0]\n'
                              'KM = { start = 0.1, stop = 10.0, count = 4, scale = "log" }\n')
    df = sweep.run_sweep(d / "s.toml", out=d / "out", layouts=layouts)
    assert df["status"].tolist() == ["failed"] * 4 + ["ok"] * 8
    return d / "out", df


def test_a_heat_map_over_a_grid_of_two(nilpora_grid):
    out, df = nilpora_grid
    fig, x, y = sweep_plot.make_sweep_figure(out, x="KM", y="final.Y(2)")
    ax = fig.axes[0]
    assert (ax.get_xlabel(), ax.get_ylabel(), fig.axes[1].get_ylabel()) == (
        "KM", "DTOUT", "final.Y(2)")
    cells = ax.images[0].get_array()
    assert cells.shape == (3, 4)
    assert cells.mask[0].all() and not cells.mask[1:].any()  # DTOUT -0.5 failed
    want = [[df[(df["DTOUT"] == dt) & (df["KM"] == km)]["final.Y(2)"].item()
             for km in sorted(df["KM"].unique())] for dt in (0.5, 1.0)]
    assert cells[1:].tolist() == want
    assert [t.get_text() for t in ax.get_xticklabels()] == ["0.1", "0.464159", "2.15443", "10"]


def test_a_line_against_one_parameter(nilpora_grid, tmp_path, layouts):
    out, df = nilpora_grid
    # A grid of two is a heat map whichever goes across.
    fig, _, _ = sweep_plot.make_sweep_figure(out, x="DTOUT", y="final.Y(1)")
    assert fig.axes[0].images[0].get_array().shape == (4, 3)
    shutil.copy(EXAMPLES / "nilpora" / "NILPORA.INP", tmp_path)
    (tmp_path / "z.toml").write_text(
        'program = "nilpora"\nbase = "NILPORA.INP"\ncombine = "zip"\n[parameters]\n'
        'VMAX = { start = 0.01, stop = 1.0, count = 3, scale = "log" }\nKM = [0.5, 0.4, 0.3]\n')
    z = sweep.run_sweep(tmp_path / "z.toml", out=tmp_path / "z", layouts=layouts)
    fig, x, y = sweep_plot.make_sweep_figure(tmp_path / "z", y="final.Y(2)")
    ax = fig.axes[0]
    assert (x, ax.get_xlabel(), ax.get_ylabel(), ax.get_xscale()) == (
        "VMAX", "VMAX", "final.Y(2)", "log")
    (line,) = ax.get_lines()
    assert line.get_xdata().tolist() == [0.01, 0.1, 1.0]
    assert line.get_ydata().tolist() == z["final.Y(2)"].tolist()


def test_the_command_writes_the_figure(nilpora_grid, tmp_path):
    out, _ = nilpora_grid
    env = {**os.environ, "PYTHONPATH": str(ROOT / "python")}
    png = tmp_path / "km.png"
    r = subprocess.run([sys.executable, "-m", "calcium", "plot", "--sweep", str(out), "--x",
                        "KM", "--y", "final.Y(2)", "-o", str(png)], env=env,
                       capture_output=True, text=True)
    assert (r.returncode, r.stdout, r.stderr) == (0, f"{png}\n", "")
    image = matplotlib.image.imread(png)
    assert image.shape[:2] == (550, 800)
    assert image[..., :3].std() > 0.05
    r = subprocess.run([sys.executable, "-m", "calcium", "plot", "--sweep", str(out), "--y",
                        "period"], env=env, capture_output=True, text=True)
    assert r.returncode == 2
    assert r.stderr.startswith("calcium plot: --y period: no such result; the results: "
                               "wall_s, cpu_s, final.TPRINT, final.Y(1)")
