"""Reading, checking and plotting the results of the calcium programs.

    import calcium
    run = calcium.load_run("my-experiment")
    run["data"]        # the data file as a DataFrame with the legend's column names
    run["ER"], run.messages, run.phase_reports["species"], run.run_information

The legend of every file (calcium.load_layouts()) is the one calcium-layouts
exports from the programs' own tables. Sweeps: calcium.sweep.run_sweep().
"""

from .layouts import LayoutError, Layouts, Program, ResultFile, load_layouts
from .parameters import Reading, read_parameters
from .results import ResultError, Run, find_runs, load_run

__all__ = ["LayoutError", "Layouts", "Program", "ResultFile", "load_layouts", "Reading",
           "read_parameters", "ResultError", "Run", "find_runs", "load_run"]
