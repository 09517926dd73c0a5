#!/usr/bin/env python3
"""Checks the files Vorlix.exe wrote in the conversion end-to-end tests with independent
readers: pffinfo opens each PST, readpst reads its contacts; the CSV file is read as the
UTF-16 text the program writes, with a header row of field names.

  wizard_run_check.py ARTIFACT_DIR     (exit 77 when the Windows tests left nothing)
"""
import csv
import glob
import io
import os
import subprocess
import sys
import tempfile


def cards(pst):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(['readpst', '-r', '-D', '-o', out, pst], check=True, capture_output=True)
        found = []
        for path in glob.glob(os.path.join(out, '**', 'contacts'), recursive=True):
            with open(path, encoding='utf-8', errors='replace') as f:
                found += [c for c in f.read().split('BEGIN:VCARD')[1:]]
        return found


def main():
    folder = sys.argv[1]
    psts = {n: os.path.join(folder, n) for n in ('stopped_then_added.pst', 'closed_during_save.pst')}
    text = os.path.join(folder, 'one_book.csv')
    present = [p for p in list(psts.values()) + [text] if os.path.exists(p)]
    if not present:
        print('no files from the Windows end-to-end tests: skipped')
        return 77
    failures = []
    for name, path in psts.items():
        if not os.path.exists(path):
            continue
        if subprocess.run(['pffinfo', path], capture_output=True).returncode != 0:
            failures.append('%s: pffinfo cannot open it' % name)
            continue
        found = cards(path)
        if not found:
            failures.append('%s: readpst finds no contact' % name)
        print('%s: %d contacts' % (name, len(found)))
        if name == 'stopped_then_added.pst' and not any('Andersen' in c for c in found):
            failures.append('%s: the book added after the stop is missing' % name)
    if os.path.exists(text):
        with open(text, 'rb') as f:
            data = f.read()
        rows = list(csv.reader(io.StringIO(data.decode('utf-16-le').lstrip('\ufeff'))))
        if len(rows) < 2 or not any('Alice' in cell for row in rows[1:] for cell in row):
            failures.append('one_book.csv: no contact rows')
        widths = {len(r) for r in rows if r}
        if len(widths) != 1:
            failures.append('one_book.csv: rows of different widths %s' % sorted(widths))
        print('one_book.csv: %d rows of %s fields' % (len(rows) - 1, sorted(widths)))
    for f in failures:
        print('FAIL:', f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
