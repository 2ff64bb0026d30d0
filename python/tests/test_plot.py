"""calcium plot: a PNG of the expected size that is not blank, with the
legend's names on the axes, for every golden case."""

import matplotlib.image
import numpy as np
import pytest

import calcium
from calcium import plot
from conftest import GOLDEN, golden_cases


@pytest.mark.parametrize("case", golden_cases())
def test_plot_of_every_golden_case(case, layouts, tmp_path):
    run = calcium.load_run(GOLDEN / case, layouts=layouts)
    fig = plot.make_figure(run)
    axes = fig.axes
    if run.program.phases > 1:
        first = axes[0]
        assert (first.get_xlabel(), first.get_ylabel()) == ("TPRINT", "Ca_cyt")
        ylabels = [a.get_ylabel() for a in axes]
        assert "Ca_lum" in ylabels and "flux" in ylabels
        if "sliding-window" in run.tables:
            assert "<Ca_cyt>sw" in ylabels and "RATIO" in ylabels and "intensity" in ylabels
        # Phases 2 on are marked where their first row is.
        marked = [l for l in first.get_lines() if l.get_linestyle() == ":"]
        if "phase" in run["data"]:
            assert len(marked) == len(set(run["data"]["phase"]) - {1})
    else:
        assert (axes[0].get_xlabel(), axes[0].get_ylabel()) == ("TPRINT", "Y(1), Y(2)")
    panels = len(plot.panels(run))
    out = plot.save_plot(run, tmp_path / "run.png")
    image = matplotlib.image.imread(out)
    assert image.shape[:2] == (round(plot.PANEL_INCHES * panels * plot.DPI),
                               round(plot.WIDTH_INCHES * plot.DPI))
    assert image[..., :3].std() > 0.05  # not blank
    assert np.mean(image[..., :3] < 0.5) > 0.01  # lines and text drawn


def test_other_formats_and_a_wrong_one(layouts, tmp_path):
    run = calcium.load_run(GOLDEN / "nilpora", layouts=layouts)
    for suffix in (".svg", ".pdf"):
        assert plot.save_plot(run, tmp_path / f"run{suffix}").stat().st_size > 1000
    with pytest.raises(ValueError, match="png, .svg or .pdf"):
        plot.save_plot(run, tmp_path / "run.jpg")
