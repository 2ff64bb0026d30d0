"""load_run on every golden case, against values the programs wrote there,
and the errors of a file that is cut short or another program's."""

import math

import numpy as np
import pytest

import calcium
from conftest import GOLDEN, golden_cases


@pytest.mark.parametrize("case", golden_cases())
def test_every_golden_case_loads_with_the_legends_columns(case, layouts):
    run = calcium.load_run(GOLDEN / case, layouts=layouts)
    for f in run.program.files:
        if f.kind in ("rows", "spectrum"):
            names = [c.name for c in f.columns]
            assert [c for c in run[f.key].columns if c not in ("phase", "block")] == names


def test_known_values_of_velmo67(layouts):
    run = calcium.load_run(GOLDEN / "velmo67", layouts=layouts)
    assert run.program.name == "velmo67"
    first = run["data"].iloc[0]
    assert (first["TPRINT"], first["Ca_cyt"], first["PMCA.M*"], first["Ca_ext"]) == (
        59.0, 7.423488e-02, 1.190710e-02, 2.0e3)
    assert run["ER"].iloc[-1]["TPRINT"] == 422.9
    assert run["ER"].iloc[-1]["SERCA"] == 1.500131
    assert run["store"][["Ca_lum", "jSOCC"]].iloc[0].tolist() == [31.034, 0.13131]
    assert run.run_information["total duration"] == 421.5
    assert run.phase_reports["species"].loc[1, "Ca_cyt"] == 6.4927e-02
    assert run.phase_reports["NOUT"].tolist() == [60, 40, 0, 2, -1]
    assert len(run.phase_reports["concentrations"].columns) == 32
    assert len(run["spectrum"]) == 6 * 601 and run["spectrum"]["block"].max() == 6
    # The console saved beside the files gives the period list of phase 1.
    assert run.period_lists["phase"].tolist() == [1, 1, 1, 1, 1]
    assert run.period_lists.iloc[0].tolist() == [1, 2, 29.0, 0.21666]


def test_phase_of_each_row_follows_the_nout_rule(layouts):
    run = calcium.load_run(GOLDEN / "velmo67", layouts=layouts)
    # Phase 1 of 330 at interval 1: 331 steps; phase 2 of 90: 91; phases 3 to
    # 5 of 0.5 at 0.1 (single precision): 5 each.
    assert run["sliding-window"]["phase"].value_counts().sort_index().tolist() == [
        331, 91, 5, 5, 5]
    # NOUT 60, 40, 0, 2, -1 with the count carried across the phases.
    assert run["data"]["phase"].value_counts().sort_index().to_dict() == {
        1: 5, 2: 3, 3: 5, 4: 3}
    assert (run["data"]["phase"] == run["ER"]["phase"]).all()
    assert run["store"]["phase"].tolist() == [1, 2, 3, 4, 5]
    assert not run.notes


def test_nilpora_and_a_padded_run_name(layouts):
    run = calcium.load_run(GOLDEN / "nilpora", layouts=layouts)
    assert run["data"].iloc[1].tolist() == [0.5, 0.968449, 0.031551, 0.0951626]
    assert run.report["Final concentrations"] == [4.138e-13, 1.0]
    halted = calcium.load_run(GOLDEN / "velmo65-error-halt", layouts=layouts)
    assert halted.run_name == "v65-halted "
    assert halted.files["data"].name == "v65-halted .txt"
    assert sorted(halted.phase_reports["species"].index) == [1, 2]


def test_inf_nan_and_asterisks(golden_copy, layouts):
    d = golden_copy("velmo64v6")
    path = d / "golden-v64v6_sw.txt"
    lines = path.read_bytes().split(b"\r\n")
    lines[0] = b" " + b"INF".rjust(12) + b"," + b"-NaN".rjust(12)
    lines[1] = b" " + b"*" * 12 + b"," + b"1.2346-120".rjust(12)
    path.write_bytes(b"\r\n".join(lines))
    sw = calcium.load_run(d, layouts=layouts)["sliding-window"]
    assert sw.iloc[0]["TPRINT"] == math.inf and math.isnan(sw.iloc[0]["<Ca_cyt>sw"])
    assert math.isnan(sw.iloc[1]["TPRINT"]) and sw.iloc[1]["<Ca_cyt>sw"] == 1.2346e-120


def test_integrator_messages_stand_apart_from_the_rows(golden_copy, layouts):
    d = golden_copy("velmo67")
    path = d / "golden-v67_ER.txt"
    lines = path.read_bytes().split(b"\n")
    message = [b" INTEG--  AT T (=R1) AND STEP SIZE H (=R2), THE      ",
               b"       CORRECTOR CONVERGENCE FAILED REPEATEDLY       ",
               b"      IN ABOVE,  R1 =  0.1500000000000D+01   R2 =                  NaN"]
    path.write_bytes(b"\n".join(lines[:2] + message + lines[2:]))
    run = calcium.load_run(d, layouts=layouts)
    assert len(run["ER"]) == len(run["data"]) == 16
    assert len(run.messages) == 1
    m = run.messages.iloc[0]
    assert (m["line"], m["after_row"], m["R1"]) == (3, 1, 1.5) and math.isnan(m["R2"])
    assert m["text"].startswith("INTEG--  AT T (=R1)") and "CORRECTOR" in m["text"]


def test_a_torn_last_row_names_the_file_and_line(golden_copy, layouts):
    d = golden_copy("velmo67")
    path = d / "golden-v67_fluxes.txt"
    path.write_bytes(path.read_bytes()[:-100])
    with pytest.raises(calcium.ResultError, match=r"golden-v67_fluxes\.txt line 16: .*torn"):
        calcium.load_run(d, layouts=layouts)


def test_another_programs_file_is_refused(golden_copy, layouts):
    d = golden_copy("velmo67")
    (d / "golden-v67.txt").write_bytes(
        (GOLDEN / "velmo65" / "golden-v65a.txt").read_bytes().replace(b"\r\n", b"\n"))
    with pytest.raises(calcium.ResultError,
                       match=r"golden-v67\.txt line 1: not a row of velmo67's data file"):
        calcium.load_run(d, layouts=layouts)
    crlf = golden_copy("velmo66")
    with pytest.raises(calcium.ResultError, match=r"line 1: the line ends with CR LF, velmo67"):
        calcium.load_run(crlf, program="velmo67", layouts=layouts)


def test_only_the_row_files_asked_for_are_read(layouts):
    full = calcium.load_run(GOLDEN / "velmo67", layouts=layouts)
    bare = calcium.load_run(GOLDEN / "velmo67", layouts=layouts, tables=())
    assert bare.tables == {} and bare.files == full.files
    for name, df in full.phase_reports.items():
        if hasattr(df, "equals"):
            assert df.equals(bare.phase_reports[name]), name
    assert bare.period_lists.equals(full.period_lists) and bare.maxima.equals(full.maxima)
    assert bare.run_information == full.run_information
    data = calcium.load_run(GOLDEN / "velmo67", layouts=layouts, tables=("data",))
    assert list(data.tables) == ["data"] and data["data"].equals(full["data"])


@pytest.mark.parametrize("case,counts", [
    # Phase 1 lists 5 periods (10 maxima), phase 2 echoes 2 (and says "no
    # maximum found"), phase 3 tells nothing, phases 4 and 5 seek none.
    ("velmo67", {1: 10, 2: 2, 3: None, 4: 0, 5: 0}),
    ("velmo66", {1: 12, 2: 0, 3: None, 4: 0, 5: 0}),
    # Every maximum of phases 1 to 3 echoed.
    ("velmo64v6", {1: 0, 2: 1, 3: 0, 4: 0, 5: 0}),
    ("velmo65", {}),  # no period analysis
])
def test_maxima_counted_from_the_console(case, counts, layouts, golden_copy):
    assert calcium.load_run(GOLDEN / case, layouts=layouts).maxima_counts() == counts
    d = golden_copy(case)
    (d / "console.out").unlink()  # without its console a run tells less
    alone = calcium.load_run(d, layouts=layouts).maxima_counts()
    assert alone == {p: (n if n == 0 and p > 3 else None) for p, n in counts.items()} | (
        {2: 2} if case == "velmo67" else {})
