"""Writes docs/performance.md and docs/walk-per-key.svg from what scripts/benchmark measured.

Usage: report.py MEASUREMENTS-FOLDER DOCS-FOLDER
"""
import json
import os
import platform
import sys

GOALS = {
    "walk": 1.5,       # time per key at N = 1,000,000 over that at N = 1,000
    "load": 200.0,     # MB/s
    "save": 400.0,     # MB/s
    "whole": 15.0,     # the host run on 100 MB over cp of the file
    "memory": 3.0,     # peak memory over the file's size
    "exe": 8192,       # bytes
}


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as meminfo:
        memory = int(meminfo.readline().split()[1]) // (1024 * 1024)
    return f"{os.cpu_count()} cores of {model}, {memory} GiB, Linux {platform.release()}"


def benchmarks(folder):
    with open(os.path.join(folder, "bench.json")) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            runs[b["run_name"].replace("/real_time", "")] = b
    return runs


def walk_series(runs, name):
    series = []
    for n in (1000, 10000, 100000, 1000000):
        b = runs[f"{name}/{n}"]
        ms = b["real_time"] if b["time_unit"] == "ms" else b["real_time"] / 1e6
        series.append((n, ms * 1e6 / n))  # ns per key
    return series


def svg(series_by_label, path):
    width, height, left, bottom, top, right = 640, 360, 70, 50, 30, 170
    xs = [n for series in series_by_label.values() for n, _ in series]
    ys = [t for series in series_by_label.values() for _, t in series]
    ymax = max(ys) * 1.2
    import math
    def x(n):
        lo, hi = math.log10(min(xs)), math.log10(max(xs))
        return left + (math.log10(n) - lo) / (hi - lo) * (width - left - right)
    def y(t):
        return height - bottom - t / ymax * (height - bottom - top)
    colours = ["#1f77b4", "#d62728"]
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" font-family="sans-serif" font-size="12">',
             f'<rect width="{width}" height="{height}" fill="white"/>',
             f'<text x="{left}" y="18" font-size="14">Registry walk: time per key against N</text>',
             f'<line x1="{left}" y1="{height - bottom}" x2="{width - right}" y2="{height - bottom}" stroke="black"/>',
             f'<line x1="{left}" y1="{top}" x2="{left}" y2="{height - bottom}" stroke="black"/>']
    for n in sorted(set(xs)):
        parts.append(f'<text x="{x(n):.0f}" y="{height - bottom + 18}" text-anchor="middle">{n:,}</text>')
    for i in range(5):
        t = ymax * i / 4
        parts.append(f'<text x="{left - 6}" y="{y(t) + 4:.0f}" text-anchor="end">{t:.0f}</text>')
        parts.append(f'<line x1="{left}" y1="{y(t):.0f}" x2="{width - right}" y2="{y(t):.0f}" stroke="#ddd"/>')
    parts.append(f'<text x="{(left + width - right) / 2:.0f}" y="{height - 12}" text-anchor="middle">N (keys, log scale)</text>')
    parts.append(f'<text x="16" y="{(top + height - bottom) / 2:.0f}" transform="rotate(-90 16 {(top + height - bottom) / 2:.0f})" text-anchor="middle">ns per key</text>')
    for (label, series), colour in zip(series_by_label.items(), colours):
        points = " ".join(f"{x(n):.1f},{y(t):.1f}" for n, t in series)
        parts.append(f'<polyline points="{points}" fill="none" stroke="{colour}" stroke-width="2"/>')
        for n, t in series:
            parts.append(f'<circle cx="{x(n):.1f}" cy="{y(t):.1f}" r="3" fill="{colour}"/>')
    for i, ((label, _), colour) in enumerate(zip(series_by_label.items(), colours)):
        parts.append(f'<rect x="{width - right + 12}" y="{top + 10 + i * 20}" width="12" height="3" fill="{colour}"/>')
        parts.append(f'<text x="{width - right + 30}" y="{top + 15 + i * 20}">{label}</text>')
    parts.append("</svg>")
    with open(path, "w") as f:
        f.write("\n".join(parts) + "\n")


def verdict(ok):
    return "met" if ok else "**not met**"


def main():
    folder, docs = sys.argv[1], sys.argv[2]
    runs = benchmarks(folder)
    instances = walk_series(runs, "BM_WalkInstances")
    devices = walk_series(runs, "BM_WalkDeviceKeys")
    svg({"instances of the drive": instances, "device keys before it": devices},
        os.path.join(docs, "walk-per-key.svg"))

    whole = []
    with open(os.path.join(folder, "whole.txt")) as f:
        for line in f:
            mb, size, peak_kb, run, copy = line.split()
            whole.append((int(mb), int(size), int(peak_kb) * 1024, float(run), float(copy)))
    with open(os.path.join(folder, "wine.txt")) as f:
        exe_time, reg_time, exe_size = f.read().split()
    exe_time, reg_time, exe_size = float(exe_time), float(reg_time), int(exe_size)

    load = {mb: runs[f"BM_LoadRegFile/{mb}"]["bytes_per_second"] / 1e6 for mb in (1, 10, 100)}
    save = {mb: runs[f"BM_SaveRegFile/{mb}"]["bytes_per_second"] / 1e6 for mb in (1, 10, 100)}
    walk_ratio = {label: s[-1][1] / s[0][1] for label, s in (("instances", instances), ("device keys", devices))}
    big = whole[-1]
    whole_ratio = big[3] / big[4]
    memory_ratio = big[2] / big[1]

    lines = [
        "# Performance",
        "",
        f"Measured by `scripts/benchmark` on {machine()}.",
        "Every figure is the median of repeated runs (three for the benchmarks, five for whole processes).",
        "",
        "## Goals",
        "",
        "| goal | measured | |",
        "|---|---|---|",
        f"| the walk linear: time per key at N = 1,000,000 within 1.5 times that at N = 1,000 | "
        f"instances {walk_ratio['instances']:.2f} times, device keys {walk_ratio['device keys']:.2f} times | "
        f"{verdict(max(walk_ratio.values()) <= GOALS['walk'])} |",
        f"| loading a .reg file at 200 MB/s or more | {load[1]:.0f}, {load[10]:.0f}, {load[100]:.0f} MB/s at 1, 10, 100 MB | "
        f"{verdict(min(load.values()) >= GOALS['load'])} |",
        f"| saving at 400 MB/s or more | {save[1]:.0f}, {save[10]:.0f}, {save[100]:.0f} MB/s at 1, 10, 100 MB | "
        f"{verdict(min(save.values()) >= GOALS['save'])} |",
        f"| the host run on 100 MB within 15 times `cp` of the file | {big[3]:.3f} s against {big[4]:.3f} s: {whole_ratio:.1f} times | "
        f"{verdict(whole_ratio <= GOALS['whole'])} |",
        f"| peak memory under 3 times the file's size | {memory_ratio:.2f} times at 100 MB "
        f"(smaller files: see below; a few MB of the program itself weigh on them) | {verdict(memory_ratio < GOALS['memory'])} |",
        f"| the executable 8 KiB or less | {exe_size:,} bytes | {verdict(exe_size <= GOALS['exe'])} |",
        "",
        "## The registry walk",
        "",
        "The program run as `Pellikor ON` over a registry in memory: the drive with N instance keys, "
        "and a branch of N device keys before the drive.",
        "",
        "![time per key](walk-per-key.svg)",
        "",
        "| N | instances: ns per key | device keys: ns per key |",
        "|---|---|---|",
    ]
    for (n, a), (_, b) in zip(instances, devices):
        lines.append(f"| {n:,} | {a:.0f} | {b:.0f} |")
    lines += [
        "",
        "## Loading and saving",
        "",
        "Loading opens, locks, maps and reads the file; saving writes a temporary file beside it, flushes it and renames it over.",
        "",
        "| size | load | save |",
        "|---|---|---|",
    ]
    for mb in (1, 10, 100):
        lines.append(f"| {mb} MB | {load[mb]:.0f} MB/s | {save[mb]:.0f} MB/s |")
    lines += [
        "",
        "## Whole processes",
        "",
        "`pellikor ON` on a generated registry (the drive near the end), against `cp` of the same file, "
        "with the peak memory of the run (resident set, the mapped file included).",
        "",
        "| file | pellikor ON | cp | ratio | peak memory | over file size |",
        "|---|---|---|---|---|---|",
    ]
    for mb, size, peak, run, copy in whole:
        lines.append(f"| {size / 1e6:.0f} MB | {run:.3f} s | {copy:.3f} s | {run / copy:.1f} | "
                     f"{peak / 1e6:.0f} MB | {peak / size:.2f} |")
    lines += [
        "",
        "On Wine, one write of `DMACurrentlyUsed`:",
        "",
        "| | time |",
        "|---|---|",
        f"| `Pellikor.exe ON` (the x86-64 build; this kernel runs no 32-bit code) | {exe_time:.3f} s |",
        f"| `wine reg add ... /v DMACurrentlyUsed` | {reg_time:.3f} s |",
        f"| ratio | {exe_time / reg_time:.2f} |",
        "",
        f"`Pellikor.exe` weighs {exe_size:,} bytes.",
        "",
    ]
    with open(os.path.join(docs, "performance.md"), "w") as f:
        f.write("\n".join(lines))


main()
