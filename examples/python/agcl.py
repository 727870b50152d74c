"""Fits the agcl example without writing into it, prints the fitted species and the samples,
and draws Y (exp) and Y (calc) against X with the residuals below into a PNG.

    PYTHONPATH=build/release/python python3 examples/python/agcl.py [OUTPUT.png]
"""

import os
import sys

import matplotlib

matplotlib.use("Agg")  # draws into a file; no display needed
import matplotlib.pyplot as plt

import varsel

here = os.path.dirname(os.path.abspath(__file__))
output = sys.argv[1] if len(sys.argv) > 1 else "agcl-fit.png"

problem = varsel.read(os.path.join(here, "..", "agcl.txt"))
result = problem.fit()  # save=False: the data file is left as it is
if not result.succeeded:
    sys.exit(f"the fit failed: {result.failure}")

print(f"{problem.title}")
print(f"T = {problem.temperature:g} °C, P = {problem.pressure:g} bar, "
      f"{len(result.samples)} samples, {result.iterations} iterations\n")
print(f"{'species':10} {'G (kJ/mol)':>12} {'± 95 %':>8}")
for name, value, width in zip(result.species, result.values, result.half_widths):
    print(f"{name:10} {value:12.2f} {width:8.2f}")
for name, value in result.fixed.items():
    print(f"{name:10} {value:12.2f}    fixed")
print(f"\nmean error: {result.mean_error_before:.4f} before, {result.mean_error_after:.4f} after")

samples = result.samples
figure, (top, bottom) = plt.subplots(2, 1, sharex=True, figsize=(6, 6),
                                     gridspec_kw={"height_ratios": [3, 1]})
top.plot(samples.x, samples.y_exp, "o", label="Y (exp)")
top.plot(samples.x, samples.y_calc, "-", label="Y (calc)")
top.set_ylabel(result.y_label)
top.set_title(problem.title, fontsize=9)
top.legend()
bottom.axhline(0, color="grey", linewidth=0.8)
bottom.plot(samples.x, samples.error, "o")
bottom.set_xlabel(result.x_label)
bottom.set_ylabel("residual")
figure.tight_layout()
figure.savefig(output, dpi=100)
print(f"plot: {os.path.abspath(output)}")
