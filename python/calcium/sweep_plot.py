"""calcium plot --sweep: a result of a sweep against its swept values,
headless (Agg): a line against one swept parameter, a heat map over two.

One parameter, or parameters that vary together (zip): the result against
the chosen one (--x). A grid of two: a heat map, --x across, the other one
up. A grid of more: a line for each combination of the others. Variants
without the result (failed, not run) are gaps. A logarithmic range gets a
logarithmic axis."""

from __future__ import annotations

import json
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pandas as pd  # noqa: E402

from .sweep import DESCRIPTION, SUMMARY, RUN_COLUMNS  # noqa: E402

DPI = 100


def load_sweep_summary(directory) -> tuple:
    """(summary DataFrame, description) of a sweep's directory."""
    directory = Path(directory)
    try:
        description = json.loads((directory / DESCRIPTION).read_text(encoding="utf-8"))
        df = pd.read_csv(directory / SUMMARY, keep_default_na=True)
    except FileNotFoundError as e:
        raise ValueError(f"{directory}: no sweep here ({Path(e.filename).name} is missing)") \
            from None
    return df, description


def result_names(df: pd.DataFrame, description: dict) -> list:
    swept = {p["name"] for p in description["parameters"]}
    skip = swept | {"index", "directory", "note"} | set(RUN_COLUMNS) - {"wall_s", "cpu_s"}
    return [c for c in df.columns if c not in skip and pd.api.types.is_numeric_dtype(df[c])]


def _choose(description: dict, df: pd.DataFrame, x, y) -> tuple:
    params = [p["name"] for p in description["parameters"]]
    x = x or params[0]
    if x not in params:
        raise ValueError(f"--x {x}: not a swept parameter; the sweep varies " + ", ".join(params))
    results = result_names(df, description)
    if not results:
        raise ValueError("the summary has no results to plot (did every variant fail?)")
    y = y or results[0]
    if y not in df.columns:
        raise ValueError(f"--y {y}: no such result; the results: " + ", ".join(results))
    return x, y, params


def _tick(v) -> str:
    return f"{v:g}" if isinstance(v, (float, np.floating)) else str(v)


def make_sweep_figure(directory, x=None, y=None) -> tuple:
    """(figure, x, y): `y` (default: the first result) against `x` (default:
    the first swept parameter)."""
    df, description = load_sweep_summary(directory)
    x, y, params = _choose(description, df, x, y)
    scales = {p["name"]: p["scale"] for p in description["parameters"]}
    program = description["program"]
    others = [p for p in params if p != x]
    heat = description["combine"] == "grid" and len(params) == 2
    fig, ax = plt.subplots(figsize=(8.0, 5.5), dpi=DPI)
    title = f"{program} sweep: {y}"
    if heat:
        other = others[0]
        table = df.pivot_table(index=other, columns=x, values=y, aggfunc="first",
                               dropna=False)
        table = table.reindex(index=sorted(df[other].unique()), columns=sorted(df[x].unique()))
        values = np.ma.masked_invalid(table.to_numpy(dtype=float))
        cmap = matplotlib.colormaps["viridis"].copy()
        cmap.set_bad("0.85")
        image = ax.imshow(values, origin="lower", aspect="auto", cmap=cmap)
        ax.set_xticks(range(len(table.columns)), [_tick(v) for v in table.columns],
                      rotation=45 if len(table.columns) > 6 else 0)
        ax.set_yticks(range(len(table.index)), [_tick(v) for v in table.index])
        ax.set_ylabel(other)
        fig.colorbar(image, ax=ax, label=y)
    else:
        groups = df.groupby(others, dropna=False) if others and description["combine"] == "grid" \
            else [(None, df)]
        for key, rows in groups:
            rows = rows.sort_values(x)
            label = None if key is None else ", ".join(
                f"{n}={_tick(v)}" for n, v in zip(others, key if isinstance(key, tuple) else (key,)))
            ax.plot(rows[x], rows[y], marker="o", linewidth=1.2, label=label)
        if scales.get(x) == "log":
            ax.set_xscale("log")
        ax.set_ylabel(y)
        if groups and not isinstance(groups, list):
            ax.legend(fontsize=7)
        ax.grid(True, linewidth=0.4, color="0.85")
    ax.set_xlabel(x)
    ax.set_title(title, fontsize=10)
    fig.tight_layout()
    return fig, x, y


def save_sweep_plot(directory, output=None, x=None, y=None) -> Path:
    directory = Path(directory)
    fig, x, y = make_sweep_figure(directory, x, y)
    if output is None:
        name = "".join(c if c.isalnum() or c in "._-" else "_" for c in f"{y}-{x}")
        output = directory / f"sweep_{name}.png"
    output = Path(output)
    if output.suffix.lower() not in (".png", ".svg", ".pdf"):
        plt.close(fig)
        raise ValueError(f"{output}: the plot is written as .png, .svg or .pdf")
    fig.savefig(output, dpi=DPI)
    plt.close(fig)
    return output
