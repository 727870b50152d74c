#!/usr/bin/python3
"""Generates the six data files of the silver chloride series (see README.md).

Usage: generate.py BUILD_FOLDER   (the folder holding cli/varsel-cli and engine/tools/varsel-thermo)

The "true" parameters are the shipped database's entries of AgCl,aq and AgCl2- with G, S and
c1 moved by the amounts in TRUTH. For each temperature the script asks varsel-thermo for the
standard potentials of the two complexes with the true parameters (a database copy in a
temporary folder) and the potential of O2,g, writes a data file in which both complexes are
fixed at those potentials, lets varsel-cli compute Y (calc) of every sample, and writes the
final file with Y (exp) = Y (calc) + Gaussian noise and the two complexes free.
"""
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATABASE = os.path.join(HERE, "..", "..", "data", "databases", "thermo.vdb")

# Offsets from the shipped entries, in the database's units (cal/mol, cal/(mol K)).
TRUTH = {"AgCl,aq": {"G": +400.0, "S": -1.5}, "AgCl2-": {"G": -500.0, "S": +2.0, "c1": +5.0}}
TEMPERATURES = [25, 100, 150, 200, 250, 300]
NACL = [0.001 * 5000 ** (i / 23) for i in range(24)]  # 0.001 to 5 mol/kg, evenly in log
AGCL = 2.0  # mol of chlorargyrite, in excess at every temperature
SIGMA = 0.02  # noise in log10 m(Ag)
SEED = 20240924
LOG_O2 = -1.0  # log10 of the oxygen fugacity (bar); O2,g only closes the redox balance
RT_LN10 = 8.314462618e-3 * math.log(10)  # kJ/mol per K


def truth_database(folder):
    """A copy of the shipped database with the true entries; returns the true values."""
    text = open(DATABASE, encoding="utf-8").read()
    values = {}
    for name, moves in TRUTH.items():
        start = text.index("species %s\n" % name)
        end = text.index("\nspecies ", start + 1)
        block = text[start:end]
        values[name] = {}
        for key, move in moves.items():
            old = float(re.search(r"\b%s (\S+)" % key, block).group(1))
            new = round(old + move, 6)
            values[name][key] = new
            block = re.sub(r"\b%s \S+" % key, "%s %s" % (key, repr(new)), block, count=1)
        text = text[:start] + block + text[end:]
    open(os.path.join(folder, "agcl-truth.vdb"), "w", encoding="utf-8").write(text)
    return values


def potential(thermo, folder, database, t, pressure, name):
    out = subprocess.run([thermo, "potential", database, str(t), pressure, name], cwd=folder,
                         check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith(name + " "):
            return float(line.split()[2])
    raise RuntimeError("no potential of %s in: %s" % (name, out))


def data_file(t, o2, species, samples):
    """The data file's bytes (Latin-1, CR LF). species: (name, Result or ""); samples:
    (name, NaCl, Y (exp))."""
    rows = ["Chlorargyrite solubility in NaCl solutions at %d C and the saturation pressure: "
            "synthetic data, see README" % t,
            "Database:\tthermo", "System:\tagcl", "Options:\t", "T, C:\t%d" % t, "P, bar:\t0",
            "P.m.c.:\t1\tPotential", "\tO2,g\t%.4f" % o2,
            "Species:\t%d\tInitial\tResult\t \u00b1" % len(species)]
    rows += ["\t%s\t\t%s\t" % s for s in species]
    rows += ["Mean err.:", "X axis:\tm(Cl)", "Y axis:\tm(Ag)", "",
             "Sample\tH2O\tNaCl\tAgCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras"]
    weight = round(1 / SIGMA ** 2)
    rows += ["%s\t\t%.4g\t%g\t%d\t\t%s" % (n, m, AGCL, weight, y) for n, m, y in samples]
    return ("\r\n".join(rows) + "\r\n").encode("latin-1")


def computed(cli, path):
    """Y (calc) and extras of each sample after a run of varsel-cli on the file."""
    subprocess.run([cli, path], check=True, capture_output=True)
    lines = open(path, encoding="latin-1", newline="").read().split("\r\n")
    header = next(i for i, l in enumerate(lines) if l.startswith("Sample\t"))
    columns = lines[header].split("\t")
    ycalc, extras = columns.index("Y (calc)"), columns.index("extras")
    rows = [l.split("\t") for l in lines[header + 1:] if l]
    return [(float(r[ycalc]), int(r[extras]) if len(r) > extras and r[extras].strip() else 0)
            for r in rows]


def main():
    build = os.path.abspath(sys.argv[1])
    cli = os.path.join(build, "cli", "varsel-cli")
    thermo = os.path.join(build, "engine", "tools", "varsel-thermo")
    noise = random.Random(SEED)
    with tempfile.TemporaryDirectory() as folder:
        truth = truth_database(folder)
        print("true parameters:", truth)
        for t in TEMPERATURES:
            # O2,g at the fugacity 10^LOG_O2 bar: its potential at 1 bar plus RT ln f.
            o2 = potential(thermo, folder, "thermo", t, "1", "O2,g") + LOG_O2 * RT_LN10 * (t + 273.15)
            fixed = [(name, "%.4f" % potential(thermo, folder, "agcl-truth.vdb", t, "sat", name))
                     for name in TRUTH]
            names = ["S%02d" % (i + 1) for i in range(len(NACL))]
            probe = os.path.join(folder, "probe.txt")
            open(probe, "wb").write(data_file(t, o2, fixed, [(n, m, "0") for n, m in zip(names, NACL)]))
            results = computed(cli, probe)
            if any(extras == 0 for _, extras in results):
                raise RuntimeError("chlorargyrite is not in excess in every sample at %d C" % t)
            samples = [(n, m, "%.3f" % (y + noise.gauss(0, SIGMA)))
                       for n, m, (y, _) in zip(names, NACL, results)]
            free = [(name, "") for name in TRUTH]
            out = os.path.join(HERE, "agcl-%03d.txt" % t)
            open(out, "wb").write(data_file(t, o2, free, samples))
            print("wrote", out)


if __name__ == "__main__":
    main()
