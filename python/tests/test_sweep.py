"""calcium sweep end to end, on short runs of the examples: every variant's
files are those of a run of its parameter file alone; a failing variant is
recorded and the others complete; a second run of the sweep reruns only
what is not complete; the summary's results are the runs' own."""

import fcntl
import json
import math
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

import pandas as pd
import pytest

import calcium
from calcium import sweep, sweep_run
from calcium.parameters import read_parameters
from conftest import EXAMPLES, ROOT

# velmo67's example with short phases: some 800 output steps in all, phase 1
# with eight maxima or more.
SHORT_PHASES = (b"0.0 0.1 400.0 300.0 200.0 100.0 100.0",
                b"0.0 0.5 300.0 60.0 5.0 5.0 5.0")
STAMP = re.compile(rb"\d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d\d|"
                   rb"\d\d:\d\d:\d\d|(Execution time \(s\):|System time    \(s\):)[^\r\n]*")


def mask(data: bytes) -> bytes:
    return STAMP.sub(lambda m: b"CPU" if m.group(2) else b"STAMP", data)


def short_velmo67(tmp_path) -> bytes:
    text = (EXAMPLES / "velmo67" / "VELMO67.INP").read_bytes()
    assert SHORT_PHASES[0] in text
    base = text.replace(*SHORT_PHASES)
    (tmp_path / "VELMO67.INP").write_bytes(base)
    return base


def sweep_file(tmp_path, program, body):
    base = "VELMO67.INP" if program == "velmo67" else "NILPORA.INP"
    if program == "nilpora":
        shutil.copy(EXAMPLES / "nilpora" / base, tmp_path / base)
    path = tmp_path / f"{program}.toml"
    path.write_text(f'program = "{program}"\nbase = "{base}"\n{body}')
    return path


def solo(bin_dir, program, parameter_file: Path, where: Path) -> dict:
    """Every file of a run of `parameter_file` alone, masked; its console and status."""
    where.mkdir()
    shutil.copy(parameter_file, where)
    r = subprocess.run([str(bin_dir / program)], cwd=where, capture_output=True,
                       stdin=subprocess.DEVNULL, timeout=120)
    files = {p.name: mask(p.read_bytes()) for p in where.iterdir()}
    files["console.out"], files["stderr.out"] = mask(r.stdout), mask(r.stderr)
    return {"files": files, "status": r.returncode}


def console_lines(path: Path) -> tuple:
    """phase -> period-list lines, and phase -> maximum echoes, of a velmo67 console."""
    listed, echoed, phase = {}, {}, 0
    number = r"-?\d+\.\d+(E[+-]\d+)?"
    for line in path.read_text().splitlines():
        if re.fullmatch(r" Phase +\d+", line):
            phase = int(line.split()[1])
            listed[phase] = echoed[phase] = 0
        elif re.fullmatch(rf" [ \d]{{2}}\d +{number} +{number}", line):
            listed[phase] += 1
        elif re.fullmatch(rf" +{number} +{number}", line):
            echoed[phase] += 1
    return listed, echoed


def variant_files(directory: Path) -> dict:
    return {p.name: mask(p.read_bytes()) for p in directory.iterdir() if p.name != "variant.json"}


def test_a_grid_on_velmo67(tmp_path, layouts, bin_dir):
    base = short_velmo67(tmp_path)
    path = sweep_file(tmp_path, "velmo67", '[parameters]\nk20 = [0.001, 0.002]\n'
                      '"TPHASE(2)" = { start = 60.0, stop = 120.0, count = 3 }\n')
    df = sweep.run_sweep(path, out=tmp_path / "out", jobs=3, layouts=layouts)
    assert df["directory"].tolist() == [
        f"{i:03d}_k20={k}_TPHASE2={t}" for i, (k, t) in enumerate(
            (k, t) for k in ("0.001", "0.002") for t in ("60.0", "90.0", "120.0"))]
    assert (df["status"] == "ok").all() and (df["exit"] == 0).all()
    assert df[["k20", "TPHASE(2)"]].values.tolist() == [
        [k, t] for k in (0.001, 0.002) for t in (60.0, 90.0, 120.0)]
    assert pd.read_csv(tmp_path / "out" / "sweep.csv")["directory"].tolist() == \
        df["directory"].tolist()
    for _, row in df.iterrows():
        d = tmp_path / "out" / row["directory"]
        # Only the two values changed, each where its text stood.
        k20, tphase2 = float(row["k20"]), float(row["TPHASE(2)"])
        want = base.replace(b"\n0.0015       k20", f"\n{k20!r}       k20".encode())
        want = want.replace(b"0.0 0.5 300.0 60.0 5.0", f"0.0 0.5 300.0 {tphase2!r} 5.0".encode())
        assert (d / "VELMO67.INP").read_bytes() == want
        alone = solo(bin_dir, "velmo67", d / "VELMO67.INP", tmp_path / f"solo{row['index']}")
        assert variant_files(d) == alone["files"]
        # The results are those the run reports.
        run = calcium.load_run(d, layouts=layouts)
        conc = run.phase_reports["concentrations"]
        for p in range(1, 6):
            assert row[f"phase{p}.Ca_cyt"] == conc.loc[p, "Ca_cyt"]
            assert row[f"phase{p}.Ca_lum"] == conc.loc[p, "Ca_lum"]
            assert row[f"phase{p}.period"] == run.phase_reports["species"].loc[p, "<period>"]
        # Phase 1 lists its periods (six maxima or more); phase 2 echoes each
        # maximum; phases 4 and 5 seek none.
        listed, echoed = console_lines(d / "console.out")
        assert listed[1] > 0
        assert [row[f"phase{p}.peaks"] for p in (1, 2, 4, 5)] == [listed[1] + 5, echoed[2], 0, 0]
        assert row["wall_s"] > 0 and row["cpu_s"] >= 0
    assert df["phase2.peaks"].sum() > 0


def test_a_zip_sweep_on_nilpora(tmp_path, layouts, bin_dir):
    path = sweep_file(tmp_path, "nilpora", 'combine = "zip"\n[parameters]\n'
                      'VMAX = [0.5, 1.0, 2.0]\nKM = { start = 0.1, stop = 0.3, count = 3 }\n')
    df = sweep.run_sweep(path, out=tmp_path / "out", layouts=layouts)
    assert df[["VMAX", "KM"]].values.tolist() == [[0.5, 0.1], [1.0, 0.2], [2.0, 0.3]]
    assert (df["status"] == "ok").all()
    for _, row in df.iterrows():
        d = tmp_path / "out" / row["directory"]
        alone = solo(bin_dir, "nilpora", d / "NILPORA.INP", tmp_path / f"solo{row['index']}")
        assert variant_files(d) == alone["files"]
        last = calcium.load_run(d, layouts=layouts)["data"].iloc[-1]
        assert [row["final.TPRINT"], row["final.Y(1)"], row["final.Y(2)"]] == \
            [last["TPRINT"], last["Y(1)"], last["Y(2)"]]
    # The lines end as the base's did (LF), whatever the program writes.
    assert b"\r" not in (tmp_path / "out" / df["directory"][0] / "NILPORA.INP").read_bytes()


def test_a_failing_variant_is_recorded_and_the_rest_complete(tmp_path, layouts, bin_dir):
    short_velmo67(tmp_path)
    # NSW 0 is refused (exit 2); DTOUT 0 makes the integrator stop the run (exit 1).
    path = sweep_file(tmp_path, "velmo67", 'combine = "zip"\n[parameters]\n'
                      'NSW = [50, 0, 50, 20]\nDTOUT = [0.5, 0.5, 0.0, 1.0]\n')
    df = sweep.run_sweep(path, out=tmp_path / "out", jobs=2, layouts=layouts)
    assert df["status"].tolist() == ["ok", "failed", "failed", "ok"]
    assert df["exit"].tolist() == [0, 2, 1, 0]
    for i in (1, 2):
        d = tmp_path / "out" / df["directory"][i]
        alone = solo(bin_dir, "velmo67", d / "VELMO67.INP", tmp_path / f"solo{i}")
        assert df["stderr"][i] == alone["files"]["stderr.out"].decode().strip()
        assert alone["status"] == df["exit"][i]
    assert df["stderr"][1].startswith("VELMO67.INP line 155: NSW: the window length")
    assert "the integrator stopped the run" in df["stderr"][2]
    assert math.isnan(df["phase1.Ca_cyt"][1]) and df["stderr"][0] == ""
    assert not df["phase1.Ca_cyt"][[0, 3]].isna().any()
    assert sweep.exit_status(df) == 1
    # A rerun that the program refuses (a result file cannot be written)
    # shows none of the results that the variant's earlier run left.
    first = tmp_path / "out" / df["directory"][0]
    (first / "variant.json").unlink()
    (first / "velmo67-ex_sw.txt").unlink()
    (first / "velmo67-ex_sw.txt").mkdir()
    again = sweep.run_sweep(path, out=tmp_path / "out", jobs=2, layouts=layouts)
    assert (again["exit"][0], again["stderr"][0]) == (
        2, "cannot create the file 'velmo67-ex_sw.txt' (Is a directory)")
    assert math.isnan(again["phase1.Ca_cyt"][0]) and again["phase1.Ca_cyt"][3] > 0


@pytest.mark.parametrize("script,status,exit_status,said", [
    ("kill -SEGV $$", "failed", 128 + signal.SIGSEGV, "ended by SIGSEGV"),
    ("echo 'it broke' >&2; exit 3", "failed", 3, "it broke"),
    ("kill -TERM $$", "interrupted", 128 + signal.SIGTERM, "ended by SIGTERM"),
])
def test_how_a_run_ended_is_recorded(tmp_path, layouts, script, status, exit_status, said):
    # An installation whose velmo67 is a script: the sweep runs the program
    # that stands beside its legend.
    legend = tmp_path / "inst" / "share" / "calcium" / "layouts.json"
    legend.parent.mkdir(parents=True)
    shutil.copy(layouts.path, legend)
    exe = tmp_path / "inst" / "bin" / "velmo67"
    exe.parent.mkdir()
    exe.write_text(f"#!/bin/sh\n{script}\n")
    exe.chmod(0o755)
    short_velmo67(tmp_path)
    path = sweep_file(tmp_path, "velmo67", '[parameters]\nk20 = [0.001]\n')
    df = sweep.run_sweep(path, out=tmp_path / "out", layouts=calcium.load_layouts(legend))
    assert df[["status", "exit", "stderr"]].iloc[0].tolist() == [status, exit_status, said]
    assert sweep.exit_status(df) == 1


def mark(directories):
    """Marks the record of each variant; a variant run again gets a new one."""
    for d in directories:
        r = json.loads((d / "variant.json").read_text())
        (d / "variant.json").write_text(json.dumps({**r, "marked by the test": True}))


def marked(directories) -> list:
    return ["marked by the test" in json.loads((d / "variant.json").read_text())
            for d in directories]


def test_a_second_run_reruns_only_what_is_not_complete(tmp_path, layouts):
    short_velmo67(tmp_path)
    path = sweep_file(tmp_path, "velmo67", '[parameters]\nk20 = [0.001, 0.0012, 0.0014, 0.0016, '
                      '0.0018, 0.002]\n')
    out = tmp_path / "out"
    first = sweep.run_sweep(path, out=out, layouts=layouts)
    dirs = [out / d for d in first["directory"]]
    mark(dirs)
    again = sweep.run_sweep(path, out=out, layouts=layouts)
    assert (again.attrs["ran"], again.attrs["reused"]) == (0, 6)
    assert marked(dirs) == [True] * 6
    pd.testing.assert_frame_equal(again, first)

    data = next(f.name for f in dirs[0].iterdir() if f.name.endswith("ex.txt"))
    (dirs[0] / "variant.json").unlink()  # a run that never finished
    with open(dirs[1] / data, "r+b") as f:  # a result file cut short
        f.truncate(1000)
    edited = (dirs[2] / "VELMO67.INP").read_bytes().replace(b"SERCA synthesis", b"SERCA-synthesis")
    (dirs[2] / "VELMO67.INP").write_bytes(edited)  # a note changed by hand, same size
    rec = (dirs[3] / "variant.json").read_text()
    (dirs[3] / "variant.json").write_text(rec.replace('"status": "ok"', '"status": "interrupted"'))
    third = sweep.run_sweep(path, out=out, layouts=layouts)
    assert (third.attrs["ran"], third.attrs["reused"]) == (4, 2)
    assert marked(dirs) == [False] * 4 + [True] * 2
    assert (third["status"] == "ok").all()
    assert b"SERCA synthesis" in (dirs[2] / "VELMO67.INP").read_bytes()
    pd.testing.assert_frame_equal(third.drop(columns=["wall_s", "cpu_s"]),
                                  first.drop(columns=["wall_s", "cpu_s"]))


def test_another_sweep_into_the_same_directory_is_refused(tmp_path, layouts):
    short_velmo67(tmp_path)
    path = sweep_file(tmp_path, "velmo67", '[parameters]\nk20 = [0.001]\n')
    (tmp_path / "out").mkdir()
    with open(tmp_path / "out" / ".sweep.lock", "w") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        with pytest.raises(calcium.sweepfile.SweepError, match="another sweep is running"):
            sweep.run_sweep(path, out=tmp_path / "out", layouts=layouts)
    assert os.listdir(tmp_path / "out") == [".sweep.lock"]


def blocked_on(tmp: Path) -> bool:
    """Whether the program of the variant holding `tmp` waits for its lock:
    the program says so on its standard error, which the sweep keeps in the
    variant's directory."""
    err = tmp.parent / sweep_run.STDERR
    return err.exists() and "waiting for 'tmp', which another run is writing" in err.read_text()


def wait_for(condition, what: str, ended=lambda: False):
    """Waits until `condition()` holds; a minute without it fails the test
    instead of hanging it."""
    guard = time.monotonic() + 60
    while not condition():
        assert not ended(), f"ended before {what}"
        assert time.monotonic() < guard, f"no {what} within a minute"
        time.sleep(0.001)


def test_sigint_stops_the_sweep_and_the_same_command_resumes(tmp_path, layouts):
    short_velmo67(tmp_path)
    path = sweep_file(tmp_path, "velmo67", '[parameters]\nk20 = [0.001, 0.0015, 0.002]\n')
    out = tmp_path / "out"
    first = out / "000_k20=0.001"
    first.mkdir(parents=True)
    command = [sys.executable, "-m", "calcium", "sweep", str(path), "-j", "1", "--out", str(out)]
    env = {**os.environ, "PYTHONPATH": str(ROOT / "python")}
    # The first variant's program waits for the lock on its "tmp", which the test holds.
    with open(first / "tmp", "w") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        proc = subprocess.Popen(command, env=env, stderr=subprocess.PIPE, text=True)
        said = proc.stderr.readline()  # the sweep has started
        assert "running 3, 1 at a time" in said
        wait_for(lambda: blocked_on(first / "tmp"), "wait for tmp", lambda: proc.poll() is not None)
        proc.send_signal(signal.SIGINT)
        err = proc.communicate(timeout=60)[1]
    assert proc.returncode == 130, err
    assert f"to resume, run {shlex.join(['calcium'] + command[3:])} again" in err
    df = pd.read_csv(out / "sweep.csv")
    assert df["status"].tolist() == ["interrupted", "not run", "not run"]
    assert df["exit"].tolist()[0] == 130
    r = subprocess.run(command, env=env, capture_output=True, text=True)
    assert r.returncode == 0, r.stderr
    assert "running 3, 1 at a time" in r.stderr
    assert (pd.read_csv(out / "sweep.csv")["status"] == "ok").all()


def interrupt_when_blocked(paths: list, count: int, held: list, finished: threading.Event):
    """SIGINT to this process once `count` programs wait for the locks on
    `paths`; should they not stop, the locks are given up after a minute, so
    that the test fails instead of hanging."""
    def watch():
        guard = time.monotonic() + 60
        while sum(blocked_on(p) for p in paths) < count and time.monotonic() < guard:
            time.sleep(0.001)
        os.kill(os.getpid(), signal.SIGINT)
        if not finished.wait(60):
            for f in held:
                fcntl.flock(f, fcntl.LOCK_UN)
    threading.Thread(target=watch, daemon=True).start()


@pytest.mark.filterwarnings("ignore::DeprecationWarning")
def test_the_dask_mode_gives_the_local_modes_files_and_summary(tmp_path, layouts):
    distributed = pytest.importorskip("distributed")
    short_velmo67(tmp_path)
    path = sweep_file(tmp_path, "velmo67", '[parameters]\nk20 = [0.001, 0.002]\n'
                      '"NOUT(2)" = [0, 5]\n')
    local = sweep.run_sweep(path, out=tmp_path / "local", layouts=layouts)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  host="127.0.0.1", dashboard_address=None) as cluster:
        assert cluster.scheduler_address.startswith("tcp://127.0.0.1:")
        remote = sweep.run_sweep(path, out=tmp_path / "dask", layouts=layouts,
                                 scheduler=cluster.scheduler_address)
        timing = ["wall_s", "cpu_s"]
        pd.testing.assert_frame_equal(remote.drop(columns=timing), local.drop(columns=timing))
        assert (remote["status"] == "ok").all()
        for d in local["directory"]:
            assert variant_files(tmp_path / "dask" / d) == variant_files(tmp_path / "local" / d)

        # SIGINT reaches the programs on the workers through the scheduler:
        # the two that run (each waits for the lock on its "tmp") stop, the
        # two others do not start.
        tmps = [tmp_path / "stop" / d / "tmp" for d in local["directory"]]
        finished, held = threading.Event(), []
        for f in tmps:
            f.parent.mkdir(parents=True)
            held.append(open(f, "w"))
            fcntl.flock(held[-1], fcntl.LOCK_EX)
        interrupt_when_blocked(tmps, 2, held, finished)
        stopped = sweep.run_sweep(path, out=tmp_path / "stop", layouts=layouts,
                                  scheduler=cluster.scheduler_address)
        finished.set()
        for f in held:
            f.close()
        assert stopped.attrs["stopped_by"] == signal.SIGINT
        assert sorted(stopped["status"]) == ["interrupted"] * 2 + ["not run"] * 2
        assert set(stopped[stopped["status"] == "interrupted"]["exit"]) == {130}
        again = sweep.run_sweep(path, out=tmp_path / "stop", layouts=layouts,
                                scheduler=cluster.scheduler_address)
        assert (again["status"] == "ok").all() and again.attrs["ran"] == 4
