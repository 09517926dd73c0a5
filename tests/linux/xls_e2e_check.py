#!/usr/bin/python3
"""Reads the workbooks and text files that the spreadsheet writer's Wine tests left in
build/artifacts/xls with independent readers, and compares every cell with the values the
writer was given (<file>.json: {"sheet": name, "rows": [[cell, ...], ...]}).

  xls_e2e_check.py xlrd    ARTIFACTS SAMPLES   python3-xlrd, and the text file's bytes
  xls_e2e_check.py soffice ARTIFACTS SAMPLES   one LibreOffice conversion of every workbook

A workbook named contacts-<Sample>.xls started as a copy of SAMPLES/<Sample>.xls: its
other sheets must read exactly as the sample's do. Exit 77 (skipped) when the Windows tests
have not written anything yet.
"""
import csv
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def expectations(artifacts):
    found = sorted(glob.glob(os.path.join(artifacts, "*.json")))
    if not found:
        print(f"no expectations in {artifacts}: run the Windows tests first")
        sys.exit(SKIP)
    for path in found:
        with open(path, encoding="utf-8") as f:
            yield path[: -len(".json")], json.load(f)


def sample_of(workbook, samples):
    """The Excel-made sample a workbook was copied from, or None."""
    stem = os.path.splitext(os.path.basename(workbook))[0]
    if not stem.startswith("contacts-"):
        return None
    return os.path.join(samples, stem[len("contacts-"):] + ".xls")


def compare(where, got, expected):
    """Rows of cells; a row may be shorter than expected only by empty cells."""
    problems = []
    if len(got) != len(expected):
        problems.append(f"{where}: {len(got)} rows, expected {len(expected)}")
    for r, (g, e) in enumerate(zip(got, expected)):
        width = max(len(g), len(e))
        g = list(g) + [""] * (width - len(g))
        e = list(e) + [""] * (width - len(e))
        for c, (gc, ec) in enumerate(zip(g, e)):
            if gc != ec:
                problems.append(f"{where}: row {r + 1} column {c + 1}: {gc[:60]!r} != {ec[:60]!r}")
                break
        if len(problems) > 10:
            break
    return problems


def text_file_problems(path, rows):
    data = open(path, "rb").read()
    if data[:2] in (b"\xff\xfe", b"\xfe\xff"):
        return [f"{path}: starts with a byte-order mark"]
    expected = "".join(",".join(f'"{cell}"' for cell in row) + "\r\n" for row in rows)
    if data != expected.encode("utf-16-le"):
        got = data.decode("utf-16-le", errors="replace").split("\r\n")
        return compare(path, [[line] for line in got if line], [[line] for line in expected.split("\r\n") if line])
    return []


def check_xlrd(artifacts, samples):
    import xlrd

    problems, checked = [], 0
    for target, expect in expectations(artifacts):
        if not target.endswith(".xls"):
            problems += text_file_problems(target, expect["rows"])
            checked += 1
            continue
        book = xlrd.open_workbook(target)
        checked += 1
        if expect["sheet"] not in book.sheet_names():
            problems.append(f"{target}: no sheet {expect['sheet']}")
            continue
        sheet = book.sheet_by_name(expect["sheet"])
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                if sheet.cell_type(r, c) not in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_EMPTY):
                    problems.append(f"{target}: cell {r + 1},{c + 1} is not text")
        got = [[sheet.cell_value(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
        problems += compare(f"{target} [{expect['sheet']}]", got, expect["rows"])
        sample = sample_of(target, samples)
        if sample:
            original = xlrd.open_workbook(sample)
            names = [s.name for s in original.sheets()] + [expect["sheet"]]
            if book.sheet_names() != names:
                problems.append(f"{target}: sheets {book.sheet_names()}, expected {names}")
            for before in original.sheets():
                after = book.sheet_by_name(before.name)
                cells = lambda s: [[(s.cell_type(r, c), s.cell_value(r, c)) for c in range(s.ncols)]
                                   for r in range(s.nrows)]
                if cells(after) != cells(before):
                    problems.append(f"{target}: sheet {before.name} differs from {sample}")
    return checked, problems


def check_soffice(artifacts, samples):
    work = tempfile.mkdtemp(prefix="xls-e2e-")
    try:
        items = [(t, e) for t, e in expectations(artifacts) if t.endswith(".xls")]
        inputs = []
        for target, _ in items:
            inputs.append(shutil.copy(target, work))
            sample = sample_of(target, samples)
            if sample:
                inputs.append(shutil.copy(sample, os.path.join(work, "original-" + os.path.basename(sample))))
        # Every sheet of every workbook to UTF-8 CSV, in one call.
        filter_options = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"
        out = os.path.join(work, "csv")
        subprocess.run(["soffice", "--headless", "--convert-to", filter_options, "--outdir", out] + inputs,
                       check=True, stdout=subprocess.DEVNULL, timeout=300,
                       env=dict(os.environ, HOME=work))

        def sheet_rows(workbook, sheet):
            stem = os.path.splitext(os.path.basename(workbook))[0]
            path = os.path.join(out, f"{stem}-{sheet}.csv")
            if not os.path.exists(path):
                return None  # LibreOffice found no such sheet
            with open(path, encoding="utf-8", newline="") as f:
                return [row for row in csv.reader(f)]

        problems = []
        for target, expect in items:
            where = f"soffice {os.path.basename(target)} [{expect['sheet']}]"
            rows = sheet_rows(target, expect["sheet"])
            # LibreOffice keeps a line break inside a cell as LF alone.
            wanted = [[cell.replace("\r\n", "\n") for cell in row] for row in expect["rows"]]
            problems += [f"{where}: no such sheet"] if rows is None else compare(where, rows, wanted)
            sample = sample_of(target, samples)
            if sample:
                copy = os.path.join(work, "original-" + os.path.basename(sample))
                stem = os.path.splitext(os.path.basename(copy))[0]
                for name in sorted(os.listdir(out)):
                    if name.startswith(stem + "-"):
                        sheet = name[len(stem) + 1: -len(".csv")]
                        if sheet_rows(target, sheet) != sheet_rows(copy, sheet):
                            problems.append(f"soffice {os.path.basename(target)}: sheet {sheet} differs from {sample}")
        return len(items), problems
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    mode, artifacts, samples = sys.argv[1:4]
    checked, problems = (check_xlrd if mode == "xlrd" else check_soffice)(artifacts, samples)
    for p in problems:
        print(p)
    print(f"{mode}: {checked} files checked, {len(problems)} problems")
    return 1 if problems or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
