#!/usr/bin/python3
"""The benches' one table: every figure's statistics, computed here alone.

usage: report.py COMMAND...   runs a bench and prints its figures as a table

A bench prints each figure as a line of tab-separated fields,

    figure  NAME  UNIT  GOAL  OPTIONS  SAMPLES

GOAL as "median <= 10" or "p90 >= 5", several joined by ", ", or empty;
OPTIONS "delays" (the share of samples over 1 ms is given) or empty;
SAMPLES separated by blanks. A line "note  TEXT" is printed under the table;
any other line as it comes, or under the table once figures have begun. The browser bench, in Python, uses Report
itself.
"""
import math
import subprocess
import sys

COLUMNS = ("figure", "unit", "n", "median", "p90", "p99", "max", ">1ms", "goal", "met")
WIDTHS = (46, 7, 5, 9, 9, 9, 9, 7, 28, 0)
RIGHT = {"n", "median", "p90", "p99", "max", ">1ms"}


def percentile(ordered, share):
    """Nearest rank: every value given is a real sample."""
    return ordered[math.ceil(share * len(ordered)) - 1] if ordered else math.nan


def number(value):
    if math.isnan(value):
        return "-"
    return f"{value:.2f}" if abs(value) < 100 else f"{value:.1f}" if abs(value) < 10000 else f"{value:.0f}"


class Report:
    def __init__(self):
        self.rows, self.notes = [], []

    def figure(self, name, unit, samples, goal="", delays=False):
        ordered = sorted(v for v in samples if not math.isnan(v))
        stats = {"median": percentile(ordered, 0.5), "p90": percentile(ordered, 0.9)}
        met = ""
        if goal:
            met = "yes"
            for term in goal.split(", "):
                stat, relation, limit = term.split()
                value, limit = stats[stat], float(limit)
                if not (value <= limit if relation == "<=" else value >= limit):
                    met = "NO"
        late = "-"
        if delays and ordered:
            over = 1000 if unit == "us" else 1
            late = number(100 * sum(v > over for v in ordered) / len(ordered)) + "%"
        single = len(ordered) == 1
        spread = ["", "", ""] if single else [number(stats["p90"]), number(percentile(ordered, 0.99)),
                                              number(percentile(ordered, 1))]
        self.rows.append([name, unit, str(len(ordered)), number(stats["median"]), *spread, late, goal, met])

    def note(self, text):
        self.notes.append(text)

    def print(self, out=sys.stdout):
        for row in [list(COLUMNS)] + self.rows:
            cells = [cell.rjust(width) if column in RIGHT else cell.ljust(width)
                     for cell, width, column in zip(row, WIDTHS, COLUMNS)]
            print((" ".join(cells[:8]) + "  " + " ".join(cells[8:])).rstrip(), file=out)
        for text in self.notes:
            print(text, file=out)

    def read(self, line):
        """Takes a line of a bench's output; False for one that is no figure."""
        fields = line.rstrip("\r\n").split("\t")  # Wine's console ends lines with CR LF
        if fields[0] == "figure" and len(fields) == 6:
            _, name, unit, goal, options, samples = fields
            self.figure(name, unit, [float(v) for v in samples.split()], goal, "delays" in options.split())
        elif fields[0] == "note" and len(fields) == 2:
            self.note(fields[1])
        else:
            return False
        return True


def main():
    report, after = Report(), []
    with subprocess.Popen(sys.argv[1:], stdout=subprocess.PIPE, text=True) as bench:
        for line in bench.stdout:
            if report.read(line):
                continue
            if report.rows:
                after.append(line)
            else:
                print(line, end="", flush=True)
    report.print()
    print("".join(after), end="")
    sys.exit(bench.returncode)


if __name__ == "__main__":
    main()
