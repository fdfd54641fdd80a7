"""Reads Google Benchmark JSON files of one bench run: medians over the repetitions."""

import json
import os
import statistics

_NS_PER_UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


class Results:
    """The benchmarks of one JSON file, by run name (as printed, e.g. "Pass/100/manual_time")."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as source:
            document = json.load(source)
        self.context = document.get("context", {})
        self.runs = {}
        for entry in document.get("benchmarks", []):
            if entry.get("run_type", "iteration") != "iteration" or entry.get("error_occurred"):
                continue
            self.runs.setdefault(entry["run_name"], []).append(entry)

    def find(self, prefix):
        """The run name that is `prefix` or starts with `prefix` + "/"; None if absent."""
        for name in self.runs:
            if name == prefix or name.startswith(prefix + "/"):
                return name
        return None

    def time_ns(self, prefix, stat=statistics.median):
        """Median CPU time per iteration, in nanoseconds; None if absent.

        Manually timed benchmarks report the CPU time of their own thread as their real time;
        the others are taken at the process CPU time that Google Benchmark measures, so time
        spent preempted on a busy machine stays out of every figure. `stat` folds the
        repetitions (median by default; min gives the least disturbed one).
        """
        name = self.find(prefix)
        if name is None:
            return None
        key = "real_time" if name.endswith("/manual_time") else "cpu_time"
        return stat([entry[key] * _NS_PER_UNIT[entry["time_unit"]] for entry in self.runs[name]])

    def values(self, prefix, key):
        """A user counter of every repetition, in order; empty if absent."""
        name = self.find(prefix)
        return [] if name is None else [entry[key] for entry in self.runs[name] if key in entry]

    def counter(self, prefix, key):
        """Median of a user counter; None if absent."""
        values = self.values(prefix, key)
        return statistics.median(values) if values else None

    def repetitions(self, prefix):
        name = self.find(prefix)
        return len(self.runs[name]) if name else 0


def load(directory, stem):
    """Results of `stem`.json in `directory`, or None when that run is missing."""
    path = os.path.join(directory, stem + ".json")
    return Results(path) if os.path.exists(path) else None


PASS_SIZES = (1, 12, 100, 1000)


def pass_costs(results, sensors):
    """(pass µs, raw µs, ratio) of PassThenRaw/`sensors`: medians over the repetitions, the
    timer's own cost (Calibration/EmptyTimedRegion, same run) taken off both sides first."""
    overhead = results.counter("Calibration/EmptyTimedRegion", "overhead_us") or 0.0
    name = f"PassThenRaw/{sensors}"
    passes = [max(value - overhead, 0.0) for value in results.values(name, "pass_us")]
    raws = [max(value - overhead, 0.0) for value in results.values(name, "raw_us")]
    if not passes or not raws:
        return None, None, None
    ratios = [p / r for p, r in zip(passes, raws) if r > 0]
    return (statistics.median(passes), statistics.median(raws),
            statistics.median(ratios) if ratios else None)
SUBSCRIBER_MODES = ("none", "local", "remote")
