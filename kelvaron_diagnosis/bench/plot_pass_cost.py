#!/usr/bin/env python3
"""Plots the health-pass cost against the sensor count from a bench run's JSON.

usage: plot_pass_cost.py RESULTS_DIR OUTPUT.png
"""

import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

from bench_results import PASS_SIZES, SUBSCRIBER_MODES, load, pass_costs  # noqa: E402

COLOURS = {"none": "tab:blue", "local": "tab:orange", "remote": "tab:green"}


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    results_dir, output = sys.argv[1], sys.argv[2]
    figure, (total, per_sensor) = plt.subplots(1, 2, figsize=(10, 4))
    plotted = False
    for mode in SUBSCRIBER_MODES:
        results = load(results_dir, f"pass_{mode}")
        if results is None:
            continue
        costs = {sensors: pass_costs(results, sensors) for sensors in PASS_SIZES}
        sizes = [sensors for sensors in PASS_SIZES if costs[sensors][0] is not None]
        if not sizes:
            continue
        for index, (label, style) in enumerate((("pass", "-o"), ("raw dds_write", "--x"))):
            micros = [costs[sensors][index] for sensors in sizes]
            full_label = f"{label}, subscriber: {mode}"
            total.plot(sizes, micros, style, color=COLOURS[mode], label=full_label)
            per_sensor.plot(sizes, [m / s for m, s in zip(micros, sizes)], style,
                            color=COLOURS[mode], label=full_label)
            plotted = True
    if not plotted:
        sys.exit("no pass results in " + results_dir)
    total.set(xscale="log", yscale="log", xlabel="registered sensors",
              ylabel="CPU µs per pass (TimeoutCheck + FPSCheck)", title="Health pass cost")
    per_sensor.set(xscale="log", xlabel="registered sensors", ylabel="µs per sensor",
                   title="Cost per sensor (2 events each)")
    per_sensor.set_ylim(bottom=0)
    for axes in (total, per_sensor):
        axes.grid(True, which="both", alpha=0.3)
    per_sensor.legend(fontsize=7)
    figure.tight_layout()
    figure.savefig(output, dpi=100)
    print("wrote " + output)


if __name__ == "__main__":
    main()
