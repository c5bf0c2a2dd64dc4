#!/usr/bin/env python3
"""Mutation check: how many small faults planted in the model-level code do the tests catch?

Each mutant changes one place of one file (a comparison flipped, a constant moved by one, a
statement dropped, && and || swapped, + and - swapped). The file is changed in a copy of the
source tree, the tests named for that file are rebuilt incrementally and run; a mutant that makes
a test fail (or hang) is killed, one that compiles and passes survives. Mutants that do not
compile are not counted.

The files and their tests: scripts/mutation-targets.txt. Mutants shown to be equivalent (no
behaviour can tell them apart): scripts/mutation-equivalent.txt, not counted either.

scripts/mutation-baseline.txt keeps, per file, how many of its mutants the tests killed in a whole
run. A whole run of a file that leaves more of its mutants alive than the baseline did fails: a
trimming of the tests must not let a fault through that they caught before.

  scripts/mutate.py                 every target, every mutant
  scripts/mutate.py --max 20        at most 20 mutants per file, a fixed sample
  scripts/mutate.py --only storage/model_invariants.cpp
  scripts/mutate.py --list          the mutants, without building anything
  scripts/mutate.py --only F --line N   only the mutants of line N of F (no baseline)
  scripts/mutate.py --only F --update-baseline   writes F's figures into the baseline
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

RELATIONAL = {" < ": " >= ", " >= ": " < ", " > ": " <= ", " <= ": " > ", " == ": " != ", " != ": " == "}
LOGICAL = {" && ": " || ", " || ": " && "}
ARITHMETIC = {" + ": " - ", " - ": " + "}
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
# A statement that only calls or assigns: dropping it must change what the code does.
DROPPABLE = re.compile(r"^\s*(?!return\b|break\b|continue\b|throw\b|case\b|default\b|else\b)"
                       r"[A-Za-z_][\w:.\->\[\]()*]*\s*(\(.*\)|[-+*/|&^]?=\s*[^=].*|\+\+|--);\s*$")
DECLARATION = re.compile(r"^\s*(const\s+)?(auto|int|bool|qint\d+|std::\w+|Q\w+|[A-Z]\w*)(<.*>)?[\s&*]+\w+\s*(=|\(|\{)")


def load_table(name):
    path = os.path.join(ROOT, "scripts", name)
    rows = []
    if not os.path.exists(path):
        return rows
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.strip() and not line.lstrip().startswith("#"):
                rows.append(line)
    return rows


def code_part(line):
    """The part of a line outside comments and string literals, as (start, end) spans."""
    spans, i, start, n = [], 0, 0, len(line)
    while i < n:
        if line.startswith("//", i):
            break
        if line[i] in "\"'":
            spans.append((start, i))
            quote, i = line[i], i + 1
            while i < n and line[i] != quote:
                i += 2 if line[i] == "\\" else 1
            start = i + 1
        i += 1
    spans.append((start, min(i, n)))
    return spans


def mutants_of(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
    found = []
    in_block_comment = False
    for number, line in enumerate(lines):
        stripped = line.strip()
        if in_block_comment:
            in_block_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert")):
            continue
        for start, end in code_part(line):
            segment = line[start:end]
            for table in (RELATIONAL, LOGICAL, ARITHMETIC):
                for op, replacement in table.items():
                    at = segment.find(op)
                    while at >= 0:
                        found.append((number, start + at, op, replacement))
                        at = segment.find(op, at + 1)
            for match in NUMBER.finditer(segment):
                literal = match.group(1)
                # A leading zero makes the literal octal: its neighbours are written so too.
                octal = len(literal) > 1 and literal.startswith("0")
                value = int(literal, 8 if octal else 10)
                spell = (lambda v: f"0{v:o}") if octal else str
                found.append((number, start + match.start(), literal, spell(value + 1)))
                if value > 0:
                    found.append((number, start + match.start(), literal, spell(value - 1)))
        if DROPPABLE.match(line) and not DECLARATION.match(line):
            found.append((number, len(line) - len(line.lstrip()), line.strip(), "/* dropped */;"))
    return lines, found


def apply(lines, mutant):
    number, column, original, replacement = mutant
    changed = list(lines)
    line = changed[number]
    changed[number] = line[:column] + replacement + line[column + len(original):]
    return changed


def occurrence(found, mutant):
    """Which of the same changes on its line the mutant is (1, 2, ...), and how many there are."""
    number, column, original, replacement = mutant
    alike = [m[1] for m in found if m[0] == number and m[2] == original and m[3] == replacement]
    return sorted(alike).index(column) + 1, len(alike)


def equivalent_keys(path, lines, found, mutant):
    """The key naming the change wherever it occurs on its line, and the one naming this occurrence."""
    number, _, original, replacement = mutant
    key = f"{path} | {lines[number].strip()} | {original.strip()} -> {replacement.strip()}"
    nth, _ = occurrence(found, mutant)
    return key, f"{key} @{nth}"


def describe(path, lines, found, mutant):
    number, _, original, replacement = mutant
    nth, alike = occurrence(found, mutant)
    at = f" @{nth}" if alike > 1 else ""
    return (f"{path}:{number + 1}: '{original.strip()}' -> '{replacement.strip()}'{at}"
            f"  | {lines[number].strip()}")


def load_baseline():
    """path -> (killed, total) of the last whole run of each file."""
    baseline = {}
    for row in load_table("mutation-baseline.txt"):
        path, killed, total = row.split()
        baseline[path] = (int(killed), int(total))
    return baseline


def write_baseline(baseline):
    rows = ["# Per file: mutants killed, mutants counted, in the last whole run (scripts/mutate.py).",
            "# A later whole run may leave no more alive than this."]
    rows += [f"{path} {killed} {total}" for path, (killed, total) in sorted(baseline.items())]
    with open(os.path.join(ROOT, "scripts", "mutation-baseline.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(rows) + "\n")


def run(command, cwd, timeout=None):
    try:
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout)
        return done.returncode == 0
    except subprocess.TimeoutExpired:
        return False


def copy_tree(source, work):
    files = subprocess.run(["git", "ls-files", "-z"], cwd=source, check=True,
                           stdout=subprocess.PIPE).stdout.decode().split("\0")
    for name in filter(None, files):
        target = os.path.join(work, name)
        if os.path.isfile(os.path.join(source, name)):
            os.makedirs(os.path.dirname(target), exist_ok=True)
            if not os.path.exists(target) or open(os.path.join(source, name), "rb").read() != open(target, "rb").read():
                # A fresh time, so the build sees the change even when its
                # objects are newer than the source file was.
                shutil.copy(os.path.join(source, name), target)


def test_targets(build, regex):
    listed = subprocess.run(["ctest", "-N", "-R", regex], cwd=build, stdout=subprocess.PIPE,
                            text=True).stdout
    return re.findall(r"Test\s+#\d+: (\S+)", listed)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", default=os.path.join(ROOT, "build-mutate"))
    parser.add_argument("--max", type=int, default=0, help="mutants per file at the most (a fixed sample)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--only", action="append", default=[])
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--line", type=int, default=0,
                        help="only the mutants of this line (1-based) of the --only file")
    parser.add_argument("--update-baseline", action="store_true",
                        help="write the figures of the files run whole into the baseline")
    args = parser.parse_args()

    targets = [row.split(None, 1) for row in load_table("mutation-targets.txt")]
    if args.only:
        targets = [t for t in targets if t[0] in args.only]
    equivalent = set(load_table("mutation-equivalent.txt"))

    if args.line and len(targets) != 1:
        parser.error("--line needs one --only file")

    plan = []
    for path, regex in targets:
        lines, every = mutants_of(path)
        found = every
        if args.line:
            found = [m for m in every if m[0] + 1 == args.line]
        elif args.max and len(found) > args.max:
            found = sorted(random.Random(f"{args.seed}:{path}").sample(found, args.max))
        plan.append((path, regex.strip(), lines, every, found))
    if args.list:
        for path, _, lines, every, found in plan:
            for mutant in found:
                print(describe(path, lines, every, mutant))
        print(sum(len(p[4]) for p in plan), "mutants")
        return 0

    src, build = os.path.join(args.work, "src"), os.path.join(args.work, "build")
    copy_tree(ROOT, src)
    # Built as make builds it, warnings as errors: a mutant the build refuses is not counted.
    configure = ["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                 "-DORBO_WERROR=ON"]
    if shutil.which("ccache"):
        configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build], check=True, stdout=subprocess.DEVNULL)

    os.environ["QT_QPA_PLATFORM"] = "offscreen"
    killed = survived = uncompiled = skipped = 0
    survivors = []
    baseline = load_baseline()
    worse = []
    started = time.time()
    for path, regex, lines, every, found in plan:
        tests = test_targets(build, regex)
        # The file before was put back; its tests' programs are built again first.
        began = time.time()
        if not run(["cmake", "--build", build, "--target", *tests], build) or not run(
                ["ctest", "-R", regex, "--timeout", "900"], build):
            print(f"{path}: its tests fail without a mutant; skipped", flush=True)
            continue
        # A mutant that makes the tests hang is killed; a busy machine is no hang.
        limit = str(max(60, int(4 * (time.time() - began))))
        file_killed = file_total = 0
        for mutant in found:
            if any(key in equivalent for key in equivalent_keys(path, lines, every, mutant)):
                skipped += 1
                continue
            with open(os.path.join(src, path), "w", encoding="utf-8") as f:
                f.write("\n".join(apply(lines, mutant)))
            try:
                if not run(["cmake", "--build", build, "--target", *tests], build):
                    uncompiled += 1
                    continue
                file_total += 1
                if run(["ctest", "-R", regex, "--timeout", limit, "--stop-on-failure"], build):
                    survived += 1
                    survivors.append(describe(path, lines, every, mutant))
                    print("survived", survivors[-1], flush=True)
                else:
                    killed += 1
                    file_killed += 1
            finally:
                with open(os.path.join(src, path), "w", encoding="utf-8") as f:
                    f.write("\n".join(lines))
        if file_total:
            print(f"{path}: {file_killed}/{file_total} killed", flush=True)
        # A sample says nothing about the survivors it did not draw.
        if args.max or args.line:
            continue
        if path in baseline and file_total - file_killed > baseline[path][1] - baseline[path][0]:
            worse.append(f"{path}: {file_total - file_killed} alive, the baseline "
                         f"{baseline[path][1] - baseline[path][0]}")
        if args.update_baseline:
            baseline[path] = (file_killed, file_total)
    subprocess.run(["cmake", "--build", build], stdout=subprocess.DEVNULL)

    counted = killed + survived
    score = 100.0 * killed / counted if counted else 0.0
    report = [f"mutants killed: {killed} of {counted} ({score:.1f}%); "
              f"{uncompiled} did not compile, {skipped} listed as equivalent; "
              f"{time.time() - started:.0f} s"] + ["survived " + s for s in survivors]
    with open(os.path.join(args.work, "mutants.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(report) + "\n")
    print(report[0])
    if args.update_baseline:
        write_baseline(baseline)
    for line in worse:
        print("more alive than the baseline:", line)
    return 1 if worse else 0


if __name__ == "__main__":
    sys.exit(main())
