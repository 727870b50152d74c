"""The module against the programs whose numbers it must equal: varsel-cli's JSON report and
varsel-thermo's tables; Ctrl+C during a fit; files that cannot be read."""

import json
import os
import shutil
import signal
import subprocess
import threading
import time

import numpy as np
import pytest

import varsel


def run(program, *args):
    return subprocess.run([os.environ[program], *map(str, args)], capture_output=True, text=True)


@pytest.fixture
def agcl(tmp_path):
    path = tmp_path / "agcl.txt"
    shutil.copy(os.path.join(os.environ["VARSEL_EXAMPLES_DIR"], "agcl.txt"), path)
    return path


def test_fit_equals_the_command_line_report_and_edits_stay_in_memory(agcl, tmp_path, monkeypatch):
    report = tmp_path / "report.json"
    assert run("VARSEL_CLI", "--no-save", "--report", report, agcl).returncode == 0
    original = agcl.read_bytes()
    monkeypatch.chdir(tmp_path)
    problem = varsel.read(agcl.name)
    result = problem.fit()
    theirs, ours = json.loads(report.read_text()), json.loads(result.to_json())
    for document in (theirs, ours):
        del document["date"], document["wallSeconds"]
    assert ours == theirs
    assert result.species == [s["name"] for s in theirs["species"]]
    np.testing.assert_array_equal(
        result.values.astype(np.float32), np.float32([s["value"] for s in theirs["species"]]))
    np.testing.assert_array_equal(result.correlation, theirs["correlation"]["matrix"])
    for key, column in (("yCalc", result.samples.y_calc), ("x", result.samples.x)):
        np.testing.assert_array_equal(
            column.astype(np.float32), np.float32([s[key] for s in theirs["samples"]]))

    # A subset of the samples, fitted from another start, without writing the file.
    weight = problem.samples.weight
    weight[::2] = 0
    problem.set_samples(weight=weight)
    problem.set_species("AgCl2-", initial=-200.0)
    subset = problem.fit()
    assert subset.succeeded and not subset.saved
    np.testing.assert_array_equal(subset.samples.weight, weight)
    assert not np.allclose(subset.values, result.values, rtol=0, atol=1e-3)
    assert agcl.read_bytes() == original


def test_profile_and_bootstrap_equal_the_command_lines(agcl, tmp_path):
    report = tmp_path / "report.json"
    asked = ("--profile", "--bootstrap", 40, "--seed", 11, "--threads", 2)
    assert run("VARSEL_CLI", "--no-save", *asked, "--report", report, agcl).returncode == 0
    result = varsel.read(agcl).fit(profile=True, bootstrap=40, seed=11, threads=2)
    theirs, ours = json.loads(report.read_text()), json.loads(result.to_json())
    for document in (theirs, ours):
        del document["date"], document["wallSeconds"]
    assert ours == theirs and "profile" in ours["species"][0]
    found = result.intervals
    assert (found.replicates, found.failed, found.seed) == (40, 0, 11)
    assert found.replicate_values.shape == (40, len(found.species))
    for i, entry in enumerate(theirs["species"]):
        assert found.species[i] == entry["name"]
        linear = entry["linear"]
        assert [found.linear_joint[i], found.linear_individual[i]] == [
            linear["joint"], linear["individual"]]
        assert list(found.profile_joint[i]) == entry["profile"]["joint"]
        assert list(found.profile_individual[i]) == entry["profile"]["individual"]
        assert list(found.bootstrap[i]) == [entry["bootstrap"]["lo"], entry["bootstrap"]["hi"]]
    with pytest.raises(ValueError, match="seed"):
        varsel.read(agcl).fit(bootstrap=5, seed=-1)
    assert varsel.read(agcl).fit().intervals is None


def test_series_equals_the_command_line_and_writes_nothing_unasked(tmp_path):
    folder = tmp_path / "series"
    shutil.copytree(os.path.join(os.environ["VARSEL_EXAMPLES_DIR"], "agcl-series"), folder)
    before = sorted(folder.iterdir())
    result = varsel.fit_series(folder / "agcl-series.txt")
    assert sorted(folder.iterdir()) == before and result.output_database is None
    report = tmp_path / "series.json"
    assert run("VARSEL_CLI", "--no-save", "--report", report,
               folder / "agcl-series.txt").returncode == 0
    theirs = json.loads(report.read_text())
    assert result.succeeded and result.method == theirs["method"]
    assert [(p.species, p.name, p.unit, p.value, p.half_width) for p in result.parameters] == [
        (p["species"], p["name"], p["unit"], p["value"], p["halfWidth95"])
        for p in theirs["parameters"]]
    np.testing.assert_array_equal(result.covariance, theirs["covariance"])
    assert (result.chi_square, result.degrees_of_freedom) == (
        theirs["chiSquare"], theirs["degreesOfFreedom"])
    assert [(f.name, f.temperature, list(f.series_values)) for f in result.files] == [
        (f["name"], f["temperatureC"], [v["series"] for v in f["species"]])
        for f in theirs["files"]]

    saved = varsel.fit_series(folder / "agcl-series.txt", save=True)
    assert os.path.exists(saved.output_database) and os.path.exists(saved.output_table)
    with pytest.raises(FileNotFoundError):
        varsel.fit_series(folder / "none.txt")
    (folder / "agcl-series.txt").write_text("A title\nDatabase:\tthermo\n")
    with pytest.raises(ValueError, match="agcl-series.txt"):
        varsel.fit_series(folder / "agcl-series.txt")


def thermo_table(output, header):
    lines = output.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith(header)) + 1
    rows = {}
    for line in lines[start:]:
        if not line.strip():
            break
        rows[line.split()[0]] = line.split()
    return rows


def test_engine_gives_varsel_thermos_numbers_and_refusals():
    engine = varsel.Engine()
    names = ["Na+", "Cl-", "AgCl,aq", "CHLORARGYRITE", "O2,g"]
    table = thermo_table(run("VARSEL_THERMO", "potential", "thermo", 150, "sat", *names).stdout,
                         "name")
    for name in names:
        assert engine.standard_potential(name, 150, "sat") == pytest.approx(
            float(table[name][2]), abs=5e-5)

    printed = run("VARSEL_THERMO", "equilibrium", "thermo", "agcl", 100, 5, "NaCl=0.5").stdout
    table = thermo_table(printed, "species")
    state = engine.equilibrium("agcl", 100, 5, {"NaCl": 0.5})
    solutes = list(state["species"])
    assert solutes == [name for name in table if name != "H2O,aq"]
    for i, name in enumerate(solutes):
        assert state["molality"][i] == pytest.approx(float(table[name][1]), rel=1e-6, abs=1e-300)
        assert state["log_activity"][i] == pytest.approx(float(table[name][2]), abs=5e-5)
    for key, label, tolerance in (("pH", "pH", 5e-5), ("ionic_strength", "ionic strength", 0)):
        line = next(line for line in printed.splitlines() if line.startswith(label + " "))
        printed_value = float(line[len(label):].split()[0])
        assert state[key] == pytest.approx(printed_value, rel=1e-6, abs=tolerance)

    def same_words(thermo_message, call):
        with pytest.raises(varsel.EngineError) as raised:
            call()
        assert str(raised.value).endswith(
            thermo_message.replace("--ignore-limits", "ignore_limits=True"))

    steam = run("VARSEL_THERMO", "potential", "thermo", 150, 1, "Na+").stdout
    same_words(steam.splitlines()[-1].split("   ")[-1].strip(),
               lambda: engine.standard_potential("Na+", 150, 1))
    for args in ((1200, 1), (400, 200)):
        refused = run("VARSEL_THERMO", "equilibrium", "thermo", "agcl", *args, "NaCl=0.1")
        assert refused.returncode != 0
        same_words(refused.stderr.splitlines()[0].removeprefix("varsel-thermo: "),
                   lambda: engine.equilibrium("agcl", *args, {"NaCl": 0.1}))


def test_ctrl_c_stops_a_long_fit_soon_and_leaves_the_file(agcl):
    data = agcl.read_bytes()
    lines = data.splitlines(keepends=True)
    samples = [line for line in lines if line[:1] == b"S" and line[1:2].isdigit()]
    end = lines.index(samples[-1]) + 1
    agcl.write_bytes(b"".join(lines[:end] + samples * 100 + lines[end:]))
    original = agcl.read_bytes()
    problem = varsel.read(agcl)
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(0.3, interrupt)
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        problem.fit(save=True)
    timer.join()
    assert time.monotonic() - sent[0] < 0.5
    assert agcl.read_bytes() == original


def test_files_that_cannot_be_read_raise_python_errors(agcl, tmp_path):
    with pytest.raises(FileNotFoundError) as raised:
        varsel.read(tmp_path / "none.txt")
    assert raised.value.filename == str(tmp_path / "none.txt")
    with pytest.raises(IsADirectoryError) as raised:
        varsel.read(tmp_path)
    assert raised.value.filename == str(tmp_path)

    data = agcl.read_bytes()
    for damaged in (data.replace(b"-6.370", b"x"), data[:300]):
        agcl.write_bytes(damaged)
        with pytest.raises(ValueError) as raised:
            varsel.read(agcl)
        printed = run("VARSEL_CLI", "--no-save", agcl)
        assert printed.returncode != 0
        assert f"Source data: {raised.value}" in printed.stdout
        assert agcl.read_bytes() == damaged
