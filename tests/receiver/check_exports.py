#!/usr/bin/env python3
"""Checks the plug-in's exports against its data base, the way programs on a computer read them.

    check_exports.py EXPORT.CSV EXPORT.html DUMP.txt CHANNELS

DUMP.txt is the receiver's --dump-buffer output of the same data base (UTF-8, one event a line:
slot|channel|start|end|title|short info|long info, the long info keeping '|' between its lines).
Only slots below CHANNELS count (the export covers the scanned channels).

The CSV file is read by Python's csv module ('|' between fields, Latin-1): a row per event with
the event's fields. The HTML file is read by Python's html.parser: one table with a row per event,
the cells holding the same texts. Prints what differs; exit 0 when nothing does.
"""
import csv
import html.parser
import io
import sys


def events_of_dump(path, channels):
    events = []
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            slot, name, start, end, title, short, long_info = line.split("|", 6)
            if int(slot) < channels:
                events.append(dict(slot=int(slot), name=name, start=start, end=end, title=title, short=short,
                                   long=long_info.replace("|", " ")))
    return events


def compact(when):
    """"2026-12-08 02:50" as the CSV writes it: 202612080250."""
    return when.replace("-", "").replace(" ", "").replace(":", "")


def check_csv(path, events, problems):
    data = open(path, "rb").read().rstrip(b"\0")
    rows = list(csv.reader(io.StringIO(data.decode("latin-1"), newline=""), delimiter="|"))
    if len(rows) != len(events):
        problems.append(f"CSV: {len(rows)} rows for {len(events)} events")
    for i, (row, e) in enumerate(zip(rows, events)):
        want = [e["name"], compact(e["start"]), compact(e["end"]), "", e["title"], e["short"], e["long"], "",
                str(e["slot"] + 1), ""]
        if len(row) != 12 or row[:10] != want or not row[10].isdigit() or row[11] != "":
            problems.append(f"CSV row {i}: {row!r}\n  wanted {want!r} + [service id, '']")


class Table(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tables = 0
        self.rows = []
        self.cell = None

    def handle_starttag(self, tag, attrs):
        if tag == "table":
            self.tables += 1
        elif tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self.cell = ""
        elif tag == "br" and self.cell is not None:
            self.cell += "\n"

    def handle_endtag(self, tag):
        if tag == "td":
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def check_html(path, events, problems):
    text = open(path, "rb").read().decode("latin-1")
    if text.rstrip(" ") != text.rstrip(" ").rstrip() + "\r\n" or len(text) % 512:
        problems.append("HTML: not padded with spaces to 512-byte blocks after its last line")
    table = Table()
    table.feed(text)
    table.close()
    if table.tables != 1:
        problems.append(f"HTML: {table.tables} tables")
    if len(table.rows) != len(events):
        problems.append(f"HTML: {len(table.rows)} rows for {len(events)} events")
    for i, (row, e) in enumerate(zip(table.rows, events)):
        day = e["start"][:10].replace("-", ".")
        want = [f"{e['slot'] + 1}.", e["name"], None, day, f"{e['start'][11:]}~{e['end'][11:]}", None,
                e["title"] or " ", e["short"] + "\n" + e["long"]]
        if len(row) != 8 or any(w is not None and w != r for w, r in zip(want, row)):
            problems.append(f"HTML row {i}: {row!r}\n  wanted {want!r}")


def main():
    csv_path, html_path, dump_path, channels = sys.argv[1:5]
    events = events_of_dump(dump_path, int(channels))
    problems = []
    if not events:
        problems.append("the data base holds no events of the exported channels")
    check_csv(csv_path, events, problems)
    check_html(html_path, events, problems)
    for p in problems[:20]:
        print(p)
    print(f"{len(events)} events; {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
