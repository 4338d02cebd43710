#!/usr/bin/env python3
"""Runs the benchmarks side by side with the tools a user would pick instead and writes the table
bench/RESULTS.md (measure, ours, the reference, the ratio, the goal). `make bench` calls it.

Instruction counts: the PC build under valgrind's callgrind (bench_count marks each operation),
the reference tools under callgrind too (their start-up, measured on an empty input, taken off);
the receiver's build (32-bit MIPS) under qemu-mipsel with the counting plug-in
bench/qemu_insn_count.c. Where the reference is a file copy (cp, dd) the kernel does the work, which
no user-space count sees: there the measure is CPU time (user + system), the best of a few runs of
each side (Google Benchmark's CPU time for ours), which the shared machine disturbs far less than
wall time.

  run_bench.py --build build [--target-build build-mipsel] [--channels 200] [--out bench/RESULTS.md]
"""
import argparse
import glob
import json
import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
XMLTV_DIR = os.path.join(os.path.dirname(ROOT), "shared", "data", "xmltv-real")
if not os.path.isdir(XMLTV_DIR):
    XMLTV_DIR = "/work/shared/data/xmltv-real"
SEARCH_WORDS = ["Tatort", "Rosamunde", "Bergdoktor", "Wetterkarte", "Schwarzwald", "Olympiade", "Kochduell",
                "Tagesthemen", "Pilcher", "Zugspitze"]


def log(*a):
    print("run_bench:", *a, file=sys.stderr, flush=True)


def parse_regions(stdout):
    names, figures = {}, {}
    for line in stdout.splitlines():
        p = line.split()
        if len(p) == 4 and p[0] == "region":
            names[int(p[1])] = (p[2], int(p[3]))
        elif len(p) == 3 and p[0] == "figure":
            figures[p[1]] = int(p[2])
    return names, figures


def callgrind_total(path):
    with open(path, errors="replace") as f:
        for line in f:
            if line.startswith("totals:") or line.startswith("summary:"):
                return int(line.split()[1])
    return None


def callgrind(cmd, env=None):
    """Runs cmd under callgrind; returns (stdout, {dump description: instructions})."""
    out_dir = tempfile.mkdtemp(prefix="diro-cg-")
    try:
        full = ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out_dir + "/cg.%p"] + cmd
        r = subprocess.run(full, capture_output=True, text=True, env=env)
        if r.returncode not in (0, 1):   # grep: 1 when nothing matched
            raise RuntimeError("%s failed: %s" % (" ".join(cmd), r.stderr[-2000:]))
        dumps = {}
        for path in glob.glob(out_dir + "/cg.*"):
            desc = ""
            with open(path, errors="replace") as f:
                for line in f:
                    if line.startswith("desc: Trigger:"):
                        desc = line.split("Trigger:", 1)[1].strip()
                        break
            dumps[desc] = callgrind_total(path)
        return r.stdout, dumps
    finally:
        shutil.rmtree(out_dir, ignore_errors=True)


def count_pc(build, groups, channels, env):
    cmd = [os.path.join(build, "bench_count"), "--channels", str(channels)] + groups
    out_dir = tempfile.mkdtemp(prefix="diro-cg-")
    try:
        full = ["valgrind", "--tool=callgrind", "--instr-atstart=no", "--callgrind-out-file=" + out_dir + "/cg.%p"]
        r = subprocess.run(full + cmd, capture_output=True, text=True, env=env)
        if r.returncode != 0:
            raise RuntimeError("bench_count failed: " + r.stderr[-3000:])
        names, figures = parse_regions(r.stdout)
        counts = {}
        for path in glob.glob(out_dir + "/cg.*"):
            with open(path, errors="replace") as f:
                head = f.read(4096)
            m = re.search(r"desc: Trigger: Client Request: (\S+)", head)
            if m:
                counts[m.group(1)] = callgrind_total(path)
        result = {}
        for index, (name, divisor) in names.items():
            if name in counts and counts[name] is not None:
                result[name] = counts[name] / divisor
        return result, figures
    finally:
        shutil.rmtree(out_dir, ignore_errors=True)


def count_mips(build, target_build, groups, channels, env):
    plugin = os.path.join(build, "qemu_insn_count.so")
    prog = os.path.join(target_build, "bench_count")
    if not (os.path.exists(plugin) and os.path.exists(prog)):
        return None, {}
    cmd = ["qemu-mipsel", "-L", "/usr/mipsel-linux-gnu", "-plugin", plugin, prog, "--channels", str(channels)]
    r = subprocess.run(cmd + groups, capture_output=True, text=True, env=env)
    if r.returncode != 0:
        log("the receiver's bench_count failed:", r.stderr[-2000:])
        return None, {}
    names, figures = parse_regions(r.stdout)
    result = {}
    for line in r.stderr.splitlines():
        p = line.split()
        if len(p) == 3 and p[0] == "region" and int(p[1]) in names:
            name, divisor = names[int(p[1])]
            result[name] = int(p[2]) / divisor
    return result, figures


def cpu_of(cmd, runs=5):
    """The best CPU time (user + system, seconds) of a command over a few runs."""
    best = None
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        best = t if best is None else min(best, t)
    return best


def gbench(build, filt, env, reps=3):
    """Google Benchmark results by name: the best CPU time in seconds and the counters."""
    prog = os.path.join(build, "diro_bench")
    r = subprocess.run([prog, "--benchmark_filter=" + filt, "--benchmark_repetitions=%d" % reps,
                        "--benchmark_format=json"], capture_output=True, text=True, env=env)
    if r.returncode != 0:
        raise RuntimeError("diro_bench failed: " + r.stderr[-2000:])
    data = json.loads(r.stdout)
    unit = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    out = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        t = b["cpu_time"] * unit[b.get("time_unit", "ns")]
        prev = out.get(name)
        if prev is None or t < prev["cpu"]:
            out[name] = {"cpu": t, "wall": b["real_time"] * unit[b.get("time_unit", "ns")],
                         "bytes": b.get("bytes", 0)}
    return out


def fmt_count(v):
    if v is None:
        return "—"
    if v >= 1e9:
        return "%.2f G" % (v / 1e9)
    if v >= 1e6:
        return "%.2f M" % (v / 1e6)
    if v >= 1e4:
        return "%.0f k" % (v / 1e3)
    return "%.0f" % v


def ratio(a, b):
    if a is None or b is None or b == 0:
        return "—"
    return "%.2f" % (a / b)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default="build")
    ap.add_argument("--target-build", default="build-mipsel")
    ap.add_argument("--channels", type=int, default=200)
    ap.add_argument("--out", default=os.path.join(HERE, "RESULTS.md"))
    ap.add_argument("--json", default=None, help="also write the raw figures as JSON")
    ap.add_argument("--reuse", default=None,
                    help="the JSON of an earlier run: only the receiver's counts it lacks are taken")
    args = ap.parse_args()
    if args.reuse:
        with open(args.reuse) as f:
            raw = json.load(f)
        if not raw.get("mips"):
            env = dict(os.environ, DIRO_BENCH_CHANNELS=str(raw["channels"]))
            mips = {}
            for groups in (["idle"], ["fill"], ["views"], ["db-coded"], ["db-plain"]):
                disk = tempfile.mkdtemp(prefix="diro-bench-disk-")
                env["DIRO_BENCH_DISK"] = disk
                c, f = count_mips(args.build, args.target_build, groups, raw["channels"], env)
                shutil.rmtree(disk, ignore_errors=True)
                if c is None:
                    mips = None
                    break
                mips.update(c)
                raw["figures"].update({"mips_" + k: v for k, v in f.items()})
            raw["mips"] = mips
            timg = os.path.join(args.target_build, "Diro_ROD.tap")
            if os.path.exists(timg):
                raw["size_mips"] = subprocess.run(["mipsel-linux-gnu-size", "-A", timg], capture_output=True,
                                                  text=True).stdout
        with open(args.reuse, "w") as f:
            json.dump(raw, f, indent=1)
        write_results(args, raw)
        log("wrote", args.out)
        return

    disk = tempfile.mkdtemp(prefix="diro-bench-disk-")
    env = dict(os.environ, DIRO_BENCH_DISK=disk, DIRO_BENCH_CHANNELS=str(args.channels))
    xml = max(glob.glob(os.path.join(XMLTV_DIR, "*.xml")), key=os.path.getsize)
    raw = {"channels": args.channels, "xmltv": os.path.basename(xml)}
    try:
        t0 = time.time()
        log("instruction counts of the PC build (callgrind) ...")
        pc = {}
        figures = {}
        for groups in (["idle"], ["fill"], ["views"], ["db-coded"], ["db-plain"], ["xmltv=" + xml]):
            c, f = count_pc(args.build, groups, args.channels, env)
            pc.update(c)
            figures.update(f)
            log("  %s done (%.0f s)" % (groups[0], time.time() - t0))
        csv = os.path.join(disk, "Diro_ROD.Export.CSV")   # the plain data base's, written last

        log("reference counts: grep -c -i over the CSV export, xmllint --noout ...")
        empty = os.path.join(disk, "empty.txt")
        open(empty, "w").close()
        grep_total = 0
        grep_hits = 0
        for w in SEARCH_WORDS:
            _, d = callgrind(["grep", "-c", "-i", w, csv])
            _, e = callgrind(["grep", "-c", "-i", w, empty])
            grep_total += max(d.values()) - max(e.values())
            r = subprocess.run(["grep", "-c", "-i", w, csv], capture_output=True, text=True)
            grep_hits += int(r.stdout.strip() or 0)
        tiny = os.path.join(disk, "tiny.xml")
        with open(tiny, "w") as f:
            f.write("<tv/>\n")
        _, d = callgrind(["xmllint", "--noout", xml])
        _, e = callgrind(["xmllint", "--noout", tiny])
        xmllint = max(d.values()) - max(e.values())

        log("instruction counts of the receiver's build (qemu-mipsel) ...")
        mips = {}
        for groups in (["idle"], ["fill"], ["views"], ["db-coded"], ["db-plain"]):
            c, f = count_mips(args.build, args.target_build, groups, args.channels, env)
            if c is None:
                mips = None
                break
            mips.update(c)
            figures.update({"mips_" + k: v for k, v in f.items()})
        log("CPU times: the exports, the buffer file, dd and cp ...")
        gb = gbench(args.build, "(ExportCSV|ExportHTML|SaveBuffer|LoadBuffer)/0", env)
        size_csv = figures.get("csv_bytes_plain", 0)
        size_html = figures.get("html_bytes_plain", 0)
        size_buf = figures.get("buffer_bytes_plain", 0)
        buf_file = os.path.join(disk, "Diro_ROD.BufferExt.DAT")

        def dd(nbytes):
            return cpu_of(["dd", "if=/dev/zero", "of=" + os.path.join(disk, "dd.out"), "bs=8192",
                           "count=%d" % max(1, nbytes // 8192)])
        dd_csv = dd(size_csv)
        dd_html = dd(size_html)

        # The exports write their 8 KB buffer before a piece would fill it: writes of a little less
        # than 8,192 bytes, which the kernel handles at a higher cost than whole pages. dd with the
        # same average write shows what the writes alone cost.
        def dd_pieces(nbytes, writes):
            piece = max(512, nbytes // max(1, writes))
            t = cpu_of(["dd", "if=/dev/zero", "of=" + os.path.join(disk, "dd.out"), "bs=%d" % piece,
                        "count=%d" % max(1, nbytes // piece)])
            return {"cpu": t, "bs": piece}
        dd_csv_pieces = dd_pieces(size_csv, figures.get("csv_writes_plain", 0))
        dd_html_pieces = dd_pieces(size_html, figures.get("html_writes_plain", 0))
        cp_buf = cpu_of(["cp", "--reflink=never", buf_file, os.path.join(disk, "copy.DAT")])
        raw.update({"pc": pc, "mips": mips, "figures": figures, "grep": grep_total, "grep_hits": grep_hits,
                    "xmllint": xmllint, "gbench": gb, "dd_csv": dd_csv, "dd_html": dd_html, "cp": cp_buf,
                    "dd_csv_pieces": dd_csv_pieces, "dd_html_pieces": dd_html_pieces})
    finally:
        shutil.rmtree(disk, ignore_errors=True)

    size_out = subprocess.run(["size", "-A", os.path.join(args.build, "Diro_ROD.tap")], capture_output=True,
                              text=True).stdout
    target_size = ""
    timg = os.path.join(args.target_build, "Diro_ROD.tap")
    if os.path.exists(timg):
        target_size = subprocess.run(["mipsel-linux-gnu-size", "-A", timg], capture_output=True, text=True).stdout
    raw["size_pc"] = size_out
    raw["size_mips"] = target_size
    if args.json:
        with open(args.json, "w") as f:
            json.dump(raw, f, indent=1)
    write_results(args, raw)
    log("wrote", args.out)


def sections(size_text):
    """(code and constants, data and bss) bytes of an image from `size -A`."""
    code = data = 0
    for line in size_text.splitlines():
        p = line.split()
        if len(p) < 3 or not p[1].isdigit():
            continue
        name, n = p[0], int(p[1])
        if name in (".text", ".rodata", ".init", ".fini", ".plt", ".MIPS.stubs") or name.startswith("._tap"):
            code += n
        elif name in (".data", ".bss", ".sdata", ".sbss", ".got", ".data.rel.ro", ".init_array", ".fini_array"):
            data += n
    return code, data


def write_results(args, raw):
    pc, mips, fig = raw["pc"], raw["mips"] or {}, raw["figures"]
    g = raw["gbench"]
    ch = raw["channels"]
    rows = []

    def row(measure, ours, ref, rat, goal, mips_v=None):
        rows.append("| %s | %s | %s | %s | %s | %s |" % (measure, ours, ref, rat, goal, mips_v or "—"))

    row("idle event, nothing due, views hidden (instructions per call, firmware calls included)",
        fmt_count(pc.get("idle_hidden")), "1,000 (goal)", ratio(pc.get("idle_hidden"), 1000), "≤ 1,000",
        fmt_count(mips.get("idle_hidden")))
    row("idle event, nothing due, a view open", fmt_count(pc.get("idle_open")), "1,000 (goal)",
        ratio(pc.get("idle_open"), 1000), "≤ 1,000", fmt_count(mips.get("idle_open")))
    row("background filling with the guide closed, events unchanged (instructions per second of receiver "
        "time, firmware calls included)", fmt_count(pc.get("background_per_second_coded")), "—", "—",
        "no rebuild of unchanged channels", fmt_count(mips.get("background_per_second_coded")))
    for kind in ("plain", "coded"):
        row("fill of one 500-event channel, 1,500-byte long texts, %s (instructions, firmware calls included)"
            % kind, fmt_count(pc.get("fill_" + kind)), "5 M (goal)", ratio(pc.get("fill_" + kind), 5e6), "≤ 5 M",
            fmt_count(mips.get("fill_" + kind)))
    for kind in ("plain", "coded"):
        row("`SearchAll`, ten words, %d channels × 500 events, %s, against `grep -c -i` × 10 over the CSV "
            "export (instructions)" % (ch, kind), fmt_count(pc.get("search_" + kind)), fmt_count(raw["grep"]),
            ratio(pc.get("search_" + kind), raw["grep"]), "≤ 1.0 × grep", fmt_count(mips.get("search_" + kind)))

    def tput(name, nbytes, ref_cpu, what):
        ours = g.get(name)
        if not ours or not ref_cpu or not nbytes:
            return
        o = nbytes / ours["cpu"] / 1e6
        r = nbytes / ref_cpu / 1e6
        row("%s, %d channels plain, %.0f MB (MB per CPU second)" % (what, ch, nbytes / 1e6), "%.0f" % o,
            "%.0f (`dd bs=8192`)" % r, "%.2f" % (o / r), "≥ 0.50 × dd")
    tput("ExportCSV/0", fig.get("csv_bytes_plain", 0), raw["dd_csv"], "CSV export")
    tput("ExportHTML/0", fig.get("html_bytes_plain", 0), raw["dd_html"], "HTML export")
    for name, key, what in (("ExportCSV/0", "csv", "CSV export"), ("ExportHTML/0", "html", "HTML export")):
        ours, pieces, nbytes = g.get(name), raw.get("dd_%s_pieces" % key), fig.get("%s_bytes_plain" % key, 0)
        if ours and pieces and pieces["cpu"] and nbytes:
            o = nbytes / ours["cpu"] / 1e6
            r = nbytes / pieces["cpu"] / 1e6
            row("%s against `dd` writing in the export's pieces (MB per CPU second)" % what, "%.0f" % o,
                "%.0f (`dd bs=%d`)" % (r, pieces["bs"]), "%.2f" % (o / r), "(the writes alone)")
    save, load = g.get("SaveBuffer/0"), g.get("LoadBuffer/0")
    if save and load and raw["cp"]:
        row("buffer file save + load, %d channels plain, %.0f MB (CPU seconds)" %
            (ch, fig.get("buffer_bytes_plain", 0) / 1e6), "%.3f + %.3f" % (save["cpu"], load["cpu"]),
            "%.3f (`cp`)" % raw["cp"], "%.2f" % ((save["cpu"] + load["cpu"]) / raw["cp"]), "≤ 1.5 × cp")
    for kind in ("plain", "coded"):
        row("buffer file save / load, %s (instructions, firmware calls included)" % kind,
            "%s / %s" % (fmt_count(pc.get("save_" + kind)), fmt_count(pc.get("load_" + kind))), "—", "—", "—",
            "%s / %s" % (fmt_count(mips.get("save_" + kind)), fmt_count(mips.get("load_" + kind))))
        row("CSV / HTML export, %s (instructions, firmware calls included)" % kind,
            "%s / %s" % (fmt_count(pc.get("export_csv_" + kind)), fmt_count(pc.get("export_html_" + kind))), "—",
            "—", "—", "%s / %s" % (fmt_count(mips.get("export_csv_" + kind)),
                                   fmt_count(mips.get("export_html_" + kind))))
    for name, label in (("page_normal_view", "Normal view, >> (a page of events)"),
                        ("page_now_view", "Now view opened (a page of channels)"),
                        ("info_window", "info bar, then the info window"), ("help_page", "help page"),
                        ("settings_menu", "settings menu opened"), ("settings_menu_page", "settings menu, >>")):
        row("drawing: %s (instructions, the virtual firmware's drawing included)" % label, fmt_count(pc.get(name)),
            "—", "—", "—", fmt_count(mips.get(name)))
    code_m, data_m = sections(raw["size_mips"])
    code_p, data_p = sections(raw["size_pc"])
    fixed = 1616000 + 962500 + 4 * 808 + 6868 + 3 * 3074
    if code_m or data_m:
        row("static memory of the receiver's image: code and constants + data and bss (bytes)",
            "%s + %s = %.2f MiB" % (f"{code_m:,}", f"{data_m:,}", (code_m + data_m) / 1048576),
            "%s (the fixed arrays)" % f"{fixed:,}", "%.2f" % ((code_m + data_m) / fixed),
            "the fixed arrays + code and small tables (≤ 3 MiB)")
    row("static memory of the PC image (64-bit pointers: the event records are 24 bytes)",
        "%s + %s = %.2f MiB" % (f"{code_p:,}", f"{data_p:,}", (code_p + data_p) / 1048576), "—", "—", "—")
    for kind in ("plain", "coded"):
        peak, blocks = fig.get("heap_peak_" + kind), fig.get("blocks_bytes_" + kind)
        if peak and blocks:
            budget = blocks + 500 * 280 + 2048
            row("heap high-water mark, full data base %s (bytes)" % kind, f"{peak:,}",
                "%s (the blocks + one event array + one long text)" % f"{budget:,}", "%.3f" % (peak / budget),
                "≤ 1.0; blocks ≤ 200 × 962,504")
    row("XMLTV reader on %s (instructions) against `xmllint --noout`" % raw["xmltv"],
        fmt_count(pc.get("xmltv_read")), fmt_count(raw["xmllint"]), ratio(pc.get("xmltv_read"), raw["xmllint"]),
        "—")

    with open(args.out + ".table", "w") as f:
        f.write("| Measure | Ours (PC) | Reference | Ratio | Goal | Ours (MIPS, qemu) |\n")
        f.write("|---|---|---|---|---|---|\n")
        f.write("\n".join(rows) + "\n")
    template = os.path.join(HERE, "RESULTS.head.md")
    head = open(template).read() if os.path.exists(template) else "# Benchmark results\n\n"
    tail_path = os.path.join(HERE, "RESULTS.tail.md")
    tail = open(tail_path).read() if os.path.exists(tail_path) else ""
    with open(args.out, "w") as f:
        f.write(head)
        f.write("Measured %s, %d channels × 500 events (search hits: grep %d lines).\n\n" %
                (time.strftime("%Y-%m-%d"), raw["channels"], raw["grep_hits"]))
        f.write(open(args.out + ".table").read())
        f.write("\n" + tail)
    os.remove(args.out + ".table")


if __name__ == "__main__":
    main()
