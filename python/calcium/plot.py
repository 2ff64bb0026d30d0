"""calcium plot: one figure of a run, headless (matplotlib's Agg).

Calcium programs: Ca_cyt and the ER calcium over time with the phases
marked, the fluxes, the sliding-window mean and the indicator ratio where
the program writes them, and the spectra; nilpora: its two pools. Axis
labels and line labels are the names and meanings of the legend."""

from __future__ import annotations

from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

from . import progress  # noqa: E402
from .results import Run  # noqa: E402

WIDTH_INCHES = 11.0
PANEL_INCHES = 2.6
DPI = 100
# Legends beside the panels, right of a second y axis where there is one.
OUTSIDE = {"fontsize": 7, "loc": "upper left", "bbox_to_anchor": (1.08, 1.0)}


def _linthresh(df, f) -> float:
    """The linear range of a symmetric log axis: a thousandth of the largest flux."""
    values = np.abs(df[[c.name for c in f.columns[1:] if c.name.startswith("j")]].to_numpy())
    values = values[np.isfinite(values)]
    top = values.max() if values.size else 1.0
    return top * 1e-3 if top > 0 else 1.0


def _column(run: Run, name: str):
    """(file key, Column) of the first row file that has a column `name`."""
    for f in run.program.files:
        if f.key in run.tables and f.kind == "rows":
            for c in f.columns:
                if c.name == name:
                    return f.key, c
    return None


def _label(c) -> str:
    """A line's label: the column's name, with its meaning when that is short."""
    return f"{c.name}: {c.meaning}" if c.meaning and len(c.meaning) <= 24 else c.name


def _mark_phases(ax, run: Run, key: str):
    df = run.tables[key]
    if "phase" not in df:
        return
    starts = df.groupby("phase")["TPRINT"].min()
    for phase, t in starts.items():
        if phase > 1:
            ax.axvline(t, color="0.5", linestyle=":", linewidth=1)
        ax.annotate(f"phase {phase}", (t, 0.0), xycoords=("data", "axes fraction"),
                    xytext=(2, 3), textcoords="offset points", fontsize=7, color="0.35")


def _time_axis(ax, run: Run, key: str):
    f = run.program.file(key)
    ax.set_xlabel(f.columns[0].name)


def _calcium_panel(ax, run: Run):
    cyt = _column(run, "Ca_cyt")
    lum = _column(run, "Ca_lum")
    key = cyt[0]
    df = run.tables[key]
    ax.plot(df["TPRINT"], df["Ca_cyt"], color="tab:blue", linewidth=1, label=_label(cyt[1]))
    ax.set_ylabel("Ca_cyt", color="tab:blue")
    _time_axis(ax, run, key)
    _mark_phases(ax, run, key)
    handles, labels = ax.get_legend_handles_labels()
    if lum:
        er = ax.twinx()
        d2 = run.tables[lum[0]]
        er.plot(d2["TPRINT"], d2["Ca_lum"], color="tab:red", linewidth=1, label=_label(lum[1]))
        er.set_ylabel("Ca_lum", color="tab:red")
        h2, l2 = er.get_legend_handles_labels()
        handles, labels = handles + h2, labels + l2
    ax.legend(handles, labels, **OUTSIDE)
    ax.set_title(f"{run.program.name} run {run.run_name.strip()!r}: cytosolic and ER calcium",
                 fontsize=9)


def _flux_panel(ax, run: Run):
    f = run.program.file("flux")
    df = run.tables["flux"]
    for c in f.columns[1:]:
        if c.name.startswith("j"):
            ax.plot(df["TPRINT"], df[c.name], linewidth=0.8, label=c.name)
    ax.set_ylabel("flux")
    _time_axis(ax, run, "flux")
    _mark_phases(ax, run, "flux")
    ax.set_yscale("symlog", linthresh=_linthresh(df, f))
    ax.legend(fontsize=6, ncol=2, loc="upper left", bbox_to_anchor=(1.08, 1.0))
    ax.set_title(f"{f.title} ({f.file_name(run.run_name)})", fontsize=9)


def _window_panel(ax, run: Run):
    f = run.program.file("sliding-window")
    df = run.tables["sliding-window"]
    c = f.columns[1]
    ax.plot(df["TPRINT"], df[c.name], color="tab:green", linewidth=1, label=_label(c))
    ax.set_ylabel(c.name)
    _time_axis(ax, run, "sliding-window")
    _mark_phases(ax, run, "sliding-window")
    ax.legend(**OUTSIDE)
    ax.set_title(f.title, fontsize=9)


def _ratio_panel(ax, run: Run):
    key, c = _column(run, "RATIO")
    df = run.tables[key]
    ax.plot(df["TPRINT"], df["RATIO"], color="tab:purple", linewidth=1, label=_label(c))
    ax.set_ylabel("RATIO")
    _time_axis(ax, run, key)
    _mark_phases(ax, run, key)
    ax.legend(**OUTSIDE)
    ax.set_title("indicator", fontsize=9)


def _spectrum_panel(ax, run: Run):
    f = run.program.file("spectrum")
    df = run.tables["spectrum"]
    x, y = f.columns[0].name, f.columns[1].name
    for block, rows in df.groupby("block"):
        ax.plot(rows[x], rows[y], linewidth=1, label=f"block {block}")
    ax.set_xlabel(x)
    ax.set_ylabel(y)
    ax.legend(**OUTSIDE)
    ax.set_title(f"{f.title}: {f.columns[1].meaning}", fontsize=9)


def _pools_panel(ax, run: Run):
    f = run.program.file("data")
    df = run.tables["data"]
    t = f.columns[0].name
    for c in f.columns[1:3]:
        ax.plot(df[t], df[c.name], linewidth=1.2, label=_label(c))
    ax.set_xlabel(t)
    ax.set_ylabel(", ".join(c.name for c in f.columns[1:3]))
    if len(f.columns) > 3:
        rate = ax.twinx()
        c = f.columns[3]
        rate.plot(df[t], df[c.name], color="0.4", linestyle="--", linewidth=1, label=c.name)
        rate.set_ylabel(c.name)
    ax.legend(**OUTSIDE)
    ax.set_title(f"{run.program.name} run {run.run_name.strip()!r}: the two pools", fontsize=9)


def panels(run: Run) -> list:
    """The panels the run's files allow, in order."""
    keys = run.tables
    if _column(run, "Ca_cyt") is None:
        return [_pools_panel] if "data" in keys else []
    out = [_calcium_panel]
    if "flux" in keys:
        out.append(_flux_panel)
    if "sliding-window" in keys:
        out.append(_window_panel)
    if _column(run, "RATIO"):
        out.append(_ratio_panel)
    if "spectrum" in keys:
        out.append(_spectrum_panel)
    return out


def make_figure(run: Run):
    chosen = panels(run)
    if not chosen:
        raise ValueError(f"{run.directory}: nothing to plot")
    fig, axes = plt.subplots(len(chosen), 1, figsize=(WIDTH_INCHES, PANEL_INCHES * len(chosen)),
                             dpi=DPI, squeeze=False)
    for panel, ax in zip(chosen, axes[:, 0]):
        panel(ax, run)
    fig.tight_layout()
    return fig


def save_plot(run: Run, output: Path, show_progress: bool = False) -> Path:
    output = Path(output)
    if output.suffix.lower() not in (".png", ".svg", ".pdf"):
        raise ValueError(f"{output}: the plot is written as .png, .svg or .pdf")
    with progress.step(f"plotting into {output}", show_progress):
        fig = make_figure(run)
        fig.savefig(output, dpi=DPI)
        plt.close(fig)
    return output
