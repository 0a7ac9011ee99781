#!/usr/bin/env python3
"""Makes the README's benchmark table from the output of a run of scripts/bench.sh.

    scripts/bench-table.py build/bench.log            prints the table
    scripts/bench-table.py build/bench.log README.md  puts it into README.md, between the lines
                                                      "<!-- bench table -->" and "<!-- end -->"

Every line of the run that carries a goal, "(goal: at most G)" or "(goal: at least G)", becomes a
row: the benchmark, the line's name, its figure, the goal and whether it was missed.
"""
import re
import sys

GOAL = re.compile(r"^(?P<name>.*?)\s+(?P<value>-?[0-9.]+) (?P<unit>\S*) ?\(goal: (?P<goal>at (?:most|least) [0-9.e+-]+)\)"
                  r"(?P<runs> runs [0-9.]+-[0-9.]+)?(?P<missed>\s+GOAL MISSED)?\s*$")
BEGIN, END = "<!-- bench table -->", "<!-- end -->"


def rows(lines):
    # A line "-- PART: ..." heads the indented lines after it (up to the next unindented one).
    bench = part = ""
    for line in lines:
        line = line.rstrip("\n")
        if line.startswith("== "):
            bench, part = line[3:].strip(), ""
            continue
        if line.startswith("-- "):
            part = line[3:].split(":")[0].strip()
            continue
        if line and not line.startswith(" "):
            part = ""
        m = GOAL.match(line)
        if not m:
            continue
        figure = f"{float(m['value']):.3g} {m['unit']}".strip()
        if m["runs"]:
            figure += f" ({m['runs'].strip()})"
        name = f"{part}: {m['name'].strip()}" if part else m["name"].strip()
        yield bench, name, figure, m["goal"], "MISSED" if m["missed"] else ""


def table(lines):
    lines = list(lines)
    out = [f"Run of {lines[0][2:].strip()}.", ""] if lines and lines[0].startswith("# ") else []
    out += ["| benchmark | line | figure | goal | |", "|---|---|---|---|---|"]
    for bench, name, figure, goal, missed in rows(lines):
        out.append(f"| {bench} | {name.replace('|', '/')} | {figure} | {goal} | {missed} |")
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    with open(argv[1], encoding="utf-8", errors="replace") as f:
        made = table(f)
    if len(argv) == 2:
        sys.stdout.write(made)
        return
    with open(argv[2], encoding="utf-8") as f:
        text = f.read()
    start, end = text.find(BEGIN), text.find(END)
    if start < 0 or end < start:
        sys.exit(f"bench-table: {argv[2]} has no lines {BEGIN} and {END}")
    with open(argv[2], "w", encoding="utf-8") as f:
        f.write(text[: start + len(BEGIN)] + "\n" + made + text[end:])


if __name__ == "__main__":
    main(sys.argv)
