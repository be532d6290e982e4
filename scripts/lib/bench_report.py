"""Turns the timings of scripts/bench into a table, a JSON file and a chart.

Usage: bench_report.py SAMPLES.tsv SCANNER.json OUT_FOLDER
"""
import csv
import json
import os
import platform
import statistics
import sys

GROUP_TITLES = {
    "five": "drivers fs kernel include arch",
    "five-cold": "drivers fs kernel include arch, cold cache",
    "whole": "whole tree",
    "c-cpp": "C/C++ files of the five folders",
    "start-up": "start-up",
}


def rows_from(samples_path):
    runs = {}
    with open(samples_path, newline="") as f:
        for r in csv.DictReader(f, delimiter="\t"):
            runs.setdefault((r["group"], r["name"]), []).append(r)
    rows = []
    for (group, name), samples in runs.items():
        wall = statistics.median(float(s["wall"]) for s in samples)
        cpu = statistics.median(float(s["user"]) + float(s["sys"]) for s in samples)
        rows.append({
            "group": group,
            "name": name,
            "files": int(samples[0]["files"]),
            "bytes": int(samples[0]["bytes"]),
            "runs": len(samples),
            "wall_s": wall,
            "cpu_s": cpu,
            "mb_per_s": int(samples[0]["bytes"]) / 1e6 / wall if wall > 0 and int(samples[0]["bytes"]) else None,
            "peak_rss_mib": max(int(s["maxrss_kib"]) for s in samples) / 1024,
        })
    # "x floor" is over the read floor: what the page cache hands out at best.
    floors = {r["group"]: r["wall_s"] for r in rows if r["name"] == "read floor"}
    reports = {r["group"]: r["wall_s"] for r in rows if r["name"] == "report"}
    for r in rows:
        floor = floors.get(r["group"])
        r["x_floor"] = r["wall_s"] / floor if floor else None
        report = reports.get(r["group"])
        r["x_report"] = r["wall_s"] / report if report and r["name"] != "report" else None
    return rows


# What the speed issue asks, each a ratio of two rows of one run:
# (what, numerator row, denominator row, most allowed).
TARGETS = [
    ("file manager's list of the five folders over the five folders as entries (warm)",
     ("five", "report, file manager's list"), ("five", "report"), 1.15),
    ("five folders' report over the read floor (warm)",
     ("five", "report"), ("five", "read floor"), 1.35),
    ("cold report over 8 cat at a time (cold)",
     ("five-cold", "report"), ("five-cold", "8 cat at a time"), 1.1),
]
# Peak memory of the largest run above the same program's start-up, MiB.
MEMORY_TARGET = (("whole", "report, file manager's list"),
                 ("start-up", "file manager's list, empty folder"), 16.0)


def targets(rows):
    by_key = {(r["group"], r["name"]): r for r in rows}
    results = []
    for what, top, bottom, most in TARGETS:
        if top in by_key and bottom in by_key and by_key[bottom]["wall_s"] > 0:
            ratio = by_key[top]["wall_s"] / by_key[bottom]["wall_s"]
            results.append({"target": what, "ratio": ratio, "most": most, "met": ratio <= most})
    run, start, most = MEMORY_TARGET
    if run in by_key and start in by_key:
        above = by_key[run]["peak_rss_mib"] - by_key[start]["peak_rss_mib"]
        results.append({"target": "peak RSS of the whole tree's file manager's list above "
                                  "start-up, MiB", "value": above, "most": most,
                        "met": above < most})
    return results


def scanner_figures(scanner_path):
    with open(scanner_path) as f:
        data = json.load(f)
    figures = {}
    for b in data.get("benchmarks", []):
        name = b.get("run_name", b["name"])
        if not name.startswith("Scan/"):
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if b.get("run_type") == "iteration" and any(
                x.get("run_type") == "aggregate" for x in data["benchmarks"]):
            continue
        figures[name.split("/", 1)[1]] = b["bytes_per_second"] / 1e9
    tree_check = next((b for b in data.get("benchmarks", [])
                       if b["name"].startswith("TreeMatchesReference")), None)
    return figures, data.get("context", {}), tree_check


def processor():
    """The processor's name and the vector features that matter to the scanner."""
    name, flags = platform.processor(), set()
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                key, _, value = line.partition(":")
                if key.strip() == "model name" and not name:
                    name = value.strip()
                elif key.strip() == "flags" and not flags:
                    flags = set(value.split())
    except OSError:
        pass
    wanted = ["sse2", "ssse3", "sse4_2", "popcnt", "avx", "avx2", "bmi2", "avx512f", "avx512bw"]
    return name, [f for f in wanted if f in flags]


def fmt(value, pattern):
    return "" if value is None else format(value, pattern)


def table(rows):
    lines = [
        "| files measured | program | files | MB | wall s | CPU s | MB/s | x floor | x report | peak RSS MiB |",
        "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|",
    ]
    for r in rows:
        lines.append("| {} | {} | {} | {} | {} | {} | {} | {} | {} | {} |".format(
            GROUP_TITLES.get(r["group"], r["group"]), r["name"], r["files"],
            fmt(r["bytes"] / 1e6, ".0f"), fmt(r["wall_s"], ".2f"), fmt(r["cpu_s"], ".2f"),
            fmt(r["mb_per_s"], ".0f"), fmt(r["x_floor"], ".2f"), fmt(r["x_report"], ".1f"),
            fmt(r["peak_rss_mib"], ".1f")))
    return "\n".join(lines)


def chart(rows, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    shown = [r for r in rows if r["group"] != "start-up"]
    labels = ["{}\n{}".format(r["name"], GROUP_TITLES.get(r["group"], r["group"])) for r in shown]
    colours = {"report": "tab:green", "report, file manager's list": "tab:olive",
               "read floor": "tab:gray", "mapped floor": "silver", "cat": "tab:blue",
               "8 cat at a time": "tab:cyan"}
    fig, ax = plt.subplots(figsize=(12, 5))
    bars = ax.bar(range(len(shown)), [r["wall_s"] for r in shown],
                  color=[colours.get(r["name"], "tab:red") for r in shown])
    ax.bar_label(bars, labels=["{:.2f}".format(r["wall_s"]) for r in shown], fontsize=8)
    ax.set_yscale("log")
    ax.set_ylabel("wall seconds (median, log scale)")
    ax.set_xticks(range(len(shown)), labels, fontsize=7, rotation=30, ha="right")
    ax.set_title("Line counts of the Linux 6.1 sources (warm cache unless marked cold)")
    fig.tight_layout()
    fig.savefig(path, dpi=120)


def main():
    samples_path, scanner_path, out = sys.argv[1:4]
    rows = rows_from(samples_path)
    figures, context, tree_check = scanner_figures(scanner_path)
    cpu_name, cpu_features = processor()
    results = {
        "machine": {
            "processor": cpu_name,
            "features": cpu_features,
            "cores": os.cpu_count(),
            "kernels_that_run": context.get("kernels_that_run"),
            "fastest_kernel": context.get("fastest_kernel"),
        },
        "runs": rows,
        "targets": targets(rows),
        "scanner_gb_per_s": figures,
        "scanner_buffer_bytes": context.get("buffer_bytes"),
        "tree_check": None if tree_check is None else {
            "error": tree_check.get("error_occurred", False),
            "message": tree_check.get("error_message"),
            "files": tree_check.get("files"),
            "MB": tree_check.get("MB"),
        },
    }
    with open(os.path.join(out, "results.json"), "w") as f:
        json.dump(results, f, indent=2)
    chart(rows, os.path.join(out, "results.png"))

    print()
    print(table(rows))
    print()
    for t in results["targets"]:
        value = "{:.2f}".format(t["ratio"]) if "ratio" in t else "{:.1f}".format(t["value"])
        print("Target: {}: {} ({} {}): {}".format(
            t["target"], value, "at most" if "ratio" in t else "below", t["most"],
            "met" if t["met"] else "MISSED"))
    print("Processor: {} ({} cores; {})".format(cpu_name, os.cpu_count(), " ".join(cpu_features)))
    if figures:
        reference = figures.get("reference")
        print("Scanner, one in-memory buffer of {} bytes, GB/s (median):".format(
            context.get("buffer_bytes")))
        for name, gbs in figures.items():
            ratio = " ({:.1f}x the reference)".format(gbs / reference) if reference else ""
            print("  {:10s} {:6.2f}{}".format(name, gbs, ratio))
    if tree_check is not None:
        if tree_check.get("error_occurred"):
            print("Whole-tree check FAILED: " + str(tree_check.get("error_message")))
        else:
            print("Whole-tree check: every kernel agrees with the reference on {:.0f} files".format(
                tree_check.get("files", 0)))
    print("Written: {0}/results.json {0}/results.png".format(out))
    if tree_check is not None and tree_check.get("error_occurred"):
        sys.exit(1)


if __name__ == "__main__":
    main()
