#!/usr/bin/env python3
"""Prints the benchmark figures of one run as Markdown tables of ratios to their baselines.

usage: ratio_table.py RESULTS_DIR
"""

import sys

from bench_results import PASS_SIZES, SUBSCRIBER_MODES, load, pass_costs


def fmt_time(ns):
    if ns is None:
        return "n/a"
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.1f} µs"
    return f"{ns:.0f} ns"


def fmt_us(us):
    return "n/a" if us is None else fmt_time(us * 1e3)


def ratio(value, baseline):
    if value is None or baseline is None or baseline == 0:
        return None
    return value / baseline


def fmt_ratio(value, goal=None):
    if value is None:
        return "n/a"
    text = f"{value:.2f}×"
    if goal is not None:
        text += " ✓" if value <= goal else " ✗"
    return text


def table(header, rows):
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" for _ in header) + "|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()


def reports_section(results_dir):
    nulls = load(results_dir, "reports")
    devnull = load(results_dir, "reports_stdout_devnull")
    if nulls is None:
        return
    print("### Host calls (`kelvaron_bench_reports`)\n")
    rows = []

    def add(label, results, name, baseline_name, baseline_label, goal=None):
        value = results.time_ns(name)
        baseline = results.time_ns(baseline_name)
        rows.append([label, fmt_time(value), f"{baseline_label} {fmt_time(baseline)}",
                     fmt_ratio(ratio(value, baseline), goal), "≤ 2.0×" if goal else ""])

    add("Frame report, 12 registered sensors", nulls, "FrameReport/Registered",
        "Baseline/MutexClockCounter", "mutex + clock + counter", goal=2.0)
    add("Frame report, unregistered topic, logger without sinks", nulls,
        "FrameReport/Unregistered", "Baseline/MutexClockCounter", "mutex + clock + counter")
    if devnull is not None:
        add("Frame report, unregistered topic, stdout sink to /dev/null", devnull,
            "FrameReport/Unregistered", "Baseline/MutexClockCounter", "mutex + clock + counter")
    add("DataStatusReport accepted (publish + INFO line, no sinks)", nulls,
        "DataStatus/Accepted", "Baseline/RawWrite", "one raw dds_write")
    if devnull is not None:
        add("DataStatusReport accepted, stdout sink to /dev/null", devnull,
            "DataStatus/Accepted", "Baseline/RawWrite", "one raw dds_write")
    add("DataStatusReport rate-limited", nulls, "DataStatus/RateLimited",
        "Baseline/MutexClockCounter", "mutex + clock + counter")
    for sensors in (12, 1000):
        name = f"ConfigLoadThenParse/{sensors}"
        load_us = nulls.counter(name, "load_us")
        rows.append([f"Config load, {sensors} sensors ({fmt_us(load_us / sensors if load_us else None)}"
                     " a sensor; wall time)", fmt_us(load_us),
                     f"YAML::LoadFile alone {fmt_us(nulls.counter(name, 'parse_us'))}",
                     fmt_ratio(nulls.counter(name, "ratio")), ""])
    table(["Figure", "CPU time a call", "Baseline (same run)", "Ratio", "Goal"], rows)


def pass_section(results_dir):
    runs = {mode: load(results_dir, f"pass_{mode}") for mode in SUBSCRIBER_MODES}
    if not any(runs.values()):
        return
    print("### Health pass: TimeoutCheck + FPSCheck vs raw dds_write of the same events "
          "(`kelvaron_bench_pass`, thread CPU time)\n")
    rows = []
    overhead = None
    for mode, results in runs.items():
        if results is None:
            continue
        overhead = results.counter("Calibration/EmptyTimedRegion", "overhead_us")
        per_sensor = {}
        for sensors in PASS_SIZES:
            pass_us, raw_us, pass_ratio = pass_costs(results, sensors)
            per_sensor[sensors] = pass_us / sensors if pass_us is not None else None
            rows.append([mode, str(sensors), str(2 * sensors), fmt_us(pass_us), fmt_us(raw_us),
                         fmt_ratio(pass_ratio, 1.3), fmt_us(per_sensor[sensors])])
        flat = ratio(per_sensor.get(1000), per_sensor.get(12))
        rows.append([mode, "1000 vs 12", "", "", "", "", f"{fmt_ratio(flat)} (flat = 1.00×)"])
    table(["Subscriber", "Sensors", "Events", "Pass", "Raw writes", "Ratio (goal ≤ 1.3×)",
           "Pass per sensor"], rows)
    print("Each iteration times the pass and the raw writes of its events back to back, taking"
          " turns going first; medians over the repetitions, less the cost of reading the"
          f" thread CPU clock ({fmt_us(overhead)} a timed region, measured in the same run).\n")


def diagnostics_section(results_dir):
    results = load(results_dir, "pass_none")
    if results is None or results.find("DiagnosticsThenTenPasses") is None:
        return
    print("### /diagnostics: one publication vs the ten passes of its second "
          "(`kelvaron_bench_pass`, thread CPU time)\n")
    rows = []
    for sensors in (12, 100, 1000):
        name = f"DiagnosticsThenTenPasses/{sensors}"
        rows.append([str(sensors), fmt_us(results.counter(name, "diagnostics_us")),
                     fmt_us(results.counter(name, "passes_us")),
                     fmt_ratio(results.counter(name, "added"), 0.10)])
    table(["Streams", "One /diagnostics array", "Ten passes", "Added (goal ≤ 0.10×)"], rows)


def node_section(results_dir):
    path = f"{results_dir}/node_load.txt"
    try:
        with open(path, encoding="utf-8") as lines:
            text = lines.read().strip()
    except OSError:
        return
    print("### kelvaron_diag_node under load (`kelvaron_bench_node_load`)\n")
    print("```")
    print(text)
    print("```\n")


def latency_section(results_dir):
    runs = {mode: load(results_dir, f"pass_{mode}") for mode in SUBSCRIBER_MODES}
    if not any(runs.values()):
        return
    print("### Frame-report latency, 4 host threads at 1 kHz, 100 sensors, a pass every 100 ms "
          "(wall time)\n")
    rows = []
    judged = []
    for mode, results in runs.items():
        if results is None:
            continue
        for scenario in ("Idle", "UnderPass", "UnderTimer"):
            name = f"Latency/{scenario}"
            has_passes = scenario == "UnderPass"
            rows.append([
                mode, scenario,
                fmt_us(results.counter(name, "report_p50_us")),
                fmt_us(results.counter(name, "report_p99_us")),
                fmt_us(results.counter(name, "report_p999_us")),
                fmt_us(results.counter(name, "report_max_us")),
                fmt_us(results.counter(name, "pass_p50_us")) if has_passes else "",
                fmt_us(results.counter(name, "pass_max_us")) if has_passes else ""])
        name = "Latency/UnderPass"
        overlapping = results.counter(name, "overlapping_reports")
        if overlapping is not None:
            judged.append([
                mode, f"{overlapping:.0f} of {results.counter(name, 'reports'):.0f}",
                f"{results.counter(name, 'overlapping_longer_than_pass'):.0f}",
                fmt_ratio(results.counter(name, "overlapping_worst_ratio"), 1.0),
                fmt_us(results.counter(name, "overlapping_worst_after_pass_us")),
                fmt_us(results.counter(name, "clear_max_us"))])
    table(["Subscriber", "Passes", "Report p50", "p99", "p99.9", "max", "Pass p50", "Pass max"],
          rows)
    if judged:
        table(["Subscriber", "Reports overlapping a pass", "of them longer than that pass",
               "Worst report / its pass (goal ≤ 1)", "Longest run past its pass's end",
               "Max of reports clear of passes"], judged)


def memory_section(results_dir):
    results = load(results_dir, "memory")
    if results is None:
        return
    print("### Memory (`kelvaron_bench_memory`, heap through operator new)\n")
    rows = []
    for label, name in (("A sensor registered with Register", "Memory/PerSensor/Register"),
                        ("A sensor of a loaded 1000-sensor file", "Memory/PerSensor/ConfigLoad")):
        held = results.counter(name, "bytes_per_sensor")
        payload = results.counter(name, "payload_bytes")
        rows.append([label, f"{held:.0f} B", f"record + name {payload:.0f} B",
                     fmt_ratio(ratio(held, payload))])
    name = "Memory/Window1kHz"
    entries = results.counter(name, "entries")
    payload = results.counter(name, "payload_bytes")
    for label, key in (("1 kHz window after 2 s", "window_bytes_2s"),
                       ("1 kHz window after 10 s", "window_bytes_10s")):
        held = results.counter(name, key)
        rows.append([f"{label} ({entries:.0f} entries)", f"{held:.0f} B",
                     f"8 B an entry {payload:.0f} B", fmt_ratio(ratio(held, payload))])
    table(["Figure", "Held", "Payload", "Ratio"], rows)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    results_dir = sys.argv[1]
    reports_section(results_dir)
    pass_section(results_dir)
    diagnostics_section(results_dir)
    latency_section(results_dir)
    node_section(results_dir)
    memory_section(results_dir)


if __name__ == "__main__":
    main()
