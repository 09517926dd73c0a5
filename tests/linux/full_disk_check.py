#!/usr/bin/env python3
"""Reads the PST a save left when the disk refused a write in its middle, with the
independent readers, against the address book it came from (parsed from its DXL text):

- pffinfo opens it;
- every folder of the book's views and folders that the file holds has the first contacts
  of the view, in the order the save takes them, and nothing else: pffexport's contacts
  one by one in the folder's order, field by field; readpst's cards by name;
- at most one folder was cut short (the one being saved when the write was refused);
- with PSTCHECK given, the library's strict checker passes the file.

  full_disk_check.py PST BOOK [PSTCHECK]
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pst_e2e_check as pstcheck  # noqa: E402
import wizard_run_check as runcheck  # noqa: E402

FAILURES = []

# The PST folder the engine makes for a Notes view or folder of these names; any other
# keeps its name.
PST_FOLDER_NAMES = {
    '($Inbox)': 'Inbox', '($All)': 'All', '($Sent)': 'Sent', '($Trash)': 'Trash', '($Alarms)': 'Alarms',
    '($JunkMail)': 'Junk Mails', '($Drafts)': 'Drafts', '($Meetings)': 'Calendar', '($ToDo)': 'To Do',
    '($Journal)': 'Journals', '($Follow-Up)': 'Follow Up',
}


def fail(msg):
    FAILURES.append(msg)
    print('FAIL: ' + msg)


def compare_in_order(folder_glob, view, contacts):
    """pffexport's contacts of a folder, in the folder's order, against the view's first
    contacts: the fields the contact puts reach, and the address the body's card gives
    (unique to each contact of the book)."""
    checked = 0
    for i, doc in enumerate(contacts, 1):
        found = glob.glob(os.path.join(folder_glob, 'Contact%05d' % i))
        if len(found) != 1:
            fail('%s: contact %d is not in the export' % (view, i))
            return checked
        fields, body = {}, ''
        for part in ('Message.txt', 'Contact.txt'):
            p = os.path.join(found[0], part)
            if os.path.exists(p):
                f, b = pstcheck.parse_pff_contact(p)
                fields.update(f)
                body = body or b
        for item, label in pstcheck.PFF_FIELDS:
            want = pstcheck.item_text(doc, item)
            if fields.get(label, '') != want:
                fail('%s: contact %d %s is %r, the book has %r' % (view, i, label, fields.get(label, ''), want))
        address = pstcheck.item_text(doc, 'InternetAddress')
        if ('Internet Address : %s' % address) not in body:
            fail('%s: contact %d is not the book\'s (no %r in its body)' % (view, i, address))
        checked += 1
    return checked


def check(pst, book, checker, work):
    info = subprocess.run(['pffinfo', pst], capture_output=True, text=True)
    if info.returncode != 0:
        fail('pffinfo cannot open %s: %s' % (pst, info.stderr.strip()[-300:]))
        return
    out = os.path.join(work, 'all')
    export = subprocess.run(['pffexport', '-q', '-m', 'all', '-t', out, pst], capture_output=True, text=True)
    if export.returncode != 0:
        fail('pffexport cannot read %s: %s' % (pst, export.stderr.strip()[-300:]))
        return
    saved, cut, compared = 0, [], 0
    for n, view in enumerate(runcheck.book_views(book)):
        contacts = pstcheck.contacts_of_view(book, view)
        folder = PST_FOLDER_NAMES.get(view, view).replace('\\', '/')
        if not contacts or not glob.glob(os.path.join(out + '.export', '*', folder)):
            continue
        held = len(glob.glob(os.path.join(out + '.export', '*', folder, 'Contact*')))
        saved += held
        if held > len(contacts):
            fail('%s: %d contacts, the view lists %d' % (view, held, len(contacts)))
            continue
        if held < len(contacts):
            cut.append('%s (%d of %d)' % (view, held, len(contacts)))
        first = contacts[:held]
        compared += compare_in_order(os.path.join(out + '.export', '*', folder), view, first)
        sub = os.path.join(work, 'v%d' % n)
        os.makedirs(sub)
        pstcheck.check_readpst(pst, folder, first, sub)
    if saved == 0:
        fail('no contact of the book in the file')
    if len(cut) > 1:
        fail('more than one folder cut short: %s' % ', '.join(cut))
    if checker:
        r = subprocess.run([checker, pst], capture_output=True, text=True)
        if r.returncode != 0:
            fail('the checker refuses the file: %s' % (r.stdout + r.stderr).strip()[-600:])
    print('%s: %d contacts saved before the refusal, %d compared field by field; cut short: %s' % (
        os.path.basename(pst), saved, compared, ', '.join(cut) or 'none'))


def main():
    pst, book = sys.argv[1], sys.argv[2]
    checker = sys.argv[3] if len(sys.argv) > 3 and os.path.exists(sys.argv[3]) else None
    work = tempfile.mkdtemp()
    try:
        check(pst, book, checker, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    failures = len(FAILURES) + len(pstcheck.FAILURES) + len(runcheck.FAILURES)
    print('%d failures' % failures)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
