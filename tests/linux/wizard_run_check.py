#!/usr/bin/env python3
"""Checks the files Vorlix.exe wrote in the conversion end-to-end tests with independent
readers, and compares them with the address books they came from (parsed here from their
DXL text) field by field:

- PST files: pffinfo opens each; pffexport's contacts, folder by folder, against the
  book's view or folder of the same name; readpst reads the cards; every contact of the
  book arrives.
- Workbooks (.xls): xlrd reads the sheet "Contacts"; every row against its contact, column
  by column (the header row names the Notes items).
- Text files (.csv): the UTF-16 text the program writes, checked as the workbooks are.
- Grid copies (grid-copy-*.txt): what Ctrl+A Ctrl+C on the folder page put on the
  clipboard, against the cards of the folder the page listed (with its first-letter filter).

  wizard_run_check.py ARTIFACT_DIR NOTES_FIXTURE_DIR     (exit 77 when nothing was left)
"""
import csv
import glob
import io
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pst_e2e_check as pstcheck  # noqa: E402

FAILURES = []

# Which book each file was written from (the tests' own choices).
BOOKS = {
    # The installed sample book (C:\\Notes\\Data\\names.nsf) is the fixture sample-names.nsf;
    # the second book of the several-files runs is the fixture names.nsf.
    'page2_book.xls': ['sample-names.nsf'],
    'page2_book.pst': ['sample-names.nsf'],
    'both_books.pst': ['names.nsf', 'sample-names.nsf'],
    'each_first.pst': ['names.nsf'],
    'each_second.xls': ['sample-names.nsf'],
    'before_server_gone.csv': ['sample-names.nsf'],
    'one_book.csv': ['sample-names.nsf'],
    'unlocked_then_added.pst': ['sample-names.nsf'],  # an Outlook-made sample, then the book
    'stopped_then_added.pst': None,   # a big generated book, then the sample book: counted only
    'closed_during_save.pst': None,
}

# The card of a contact: its item texts under these labels, in three blocks.
CARD_SLOTS = [
    ('From', 'From : '), ('FullNameInput', 'Full Name : '), ('NameHelperInput', 'Name Helper : '),
    ('CompanyName', 'Company Name : '), ('JobTitle', 'Job Title : '), ('AltFullName', 'Alt FullName : '),
    ('FirstName', 'First Name : '), ('MiddleInitial', 'Middle Initial : '), ('LastName', 'Last Name : '),
    ('Title', 'Title : '), ('Suffix', 'Suffix : '), ('MailAddress', 'Mail Address : '),
    ('InternetAddress', 'Internet Address : '), ('primaryPhoneNumber', 'Primary PhoneNumber : '),
    ('primaryAddress', 'Primary Address : '), ('email_1', 'Email 1 : '), ('MiscPhone1', 'Misc Phone1 : '),
    ('MiscPhone2', 'Misc Phone2 : '), ('MiscPhone3', 'Misc Phone3 : '), ('email_5', 'Email 5 : '),
    ('OfficePhoneNumber', 'Office Phone Number : '), ('PhoneNumber', 'Phone Number : '),
    ('CellPhoneNumber', 'Cell Phone Number : '), ('OfficeFAXPhoneNumber', 'Office FAX Phone Number : '),
    ('PhoneNumber_6', 'Phone Number 6 : '), ('PhoneNumber_8', 'Phone Number 8 : '),
    ('HomeFAXPhoneNumber', 'Home FAX Phone Number : '), ('PhoneNumber_9', 'Phone Number 9 : '),
    ('PhoneNumber_10', 'Phone Number 10 : '), ('SametimeLogin', 'Sametime Login : '),
    ('Department', 'Department : '), ('Location', 'Location : '), ('Manager', 'Manager : '),
    ('Assistant', 'Assistant : '), ('WebSite', 'WebSite : '), ('Blogsite', 'Blogsite : '), ('Spouse', 'Spouse : '),
    ('Children', 'Children : '), ('Birthday', 'Birthday : '), ('Anniversary', 'Anniversary : '),
    ('OfficeStreetAddress', 'Office Street Address : '), ('OfficeCity', 'Office City : '),
    ('OfficeState', 'Office State : '), ('OfficeZIP', 'Office ZIP : '), ('OfficeCountry', 'Office Country : '),
    ('StreetAddress', 'Street Address : '), ('City', 'City : '), ('State', 'State : '), ('Zip', 'Zip : '),
    ('country', 'Country : '), ('OtherStreetAddress', 'Other StreetAddress : '), ('OtherCity', 'Other City : '),
    ('OtherState', 'Other State : '), ('OtherZip', 'Other Zip : '), ('OtherCountry', 'Other Country : '),
    ('Categories', 'Categories : '), ('FullName', 'Full Name : '), ('ShortName', 'Short Name : '),
    ('AltFullNameSort', 'Alt FullNameSort : '), ('MailDomain', 'Mail Domain : '), ('MailSystem', 'MailSystem : '),
    ('Type', 'Type : '), ('InternetAddress1', 'Internet Address1 : '), ('HomeAddress', 'Home Address : '),
    ('BusinessAddress', 'Business Address : '),
    (None, 'Attachments : '),  # the attachment list, not an item
]
CARD_BLOCKS = [(0, 21), (22, 39), (40, 65)]


def fail(msg):
    FAILURES.append(msg)
    print('FAIL: ' + msg)


def book_views(book):
    import re
    import xml.etree.ElementTree as ET
    with open(book, encoding='utf-8') as f:
        text = f.read()
    text = re.sub(r'&(?!(?:amp|lt|gt|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);)[A-Za-z0-9]+;', '', text)
    root = ET.fromstring(text)
    return [v.get('name') for v in list(root.findall(pstcheck.NS + 'view')) + list(root.findall(pstcheck.NS + 'folder'))]


def all_contacts(book):
    """Every contact of the book, by its FullName, from all its views and folders."""
    found = {}
    for view in book_views(book):
        for doc in pstcheck.contacts_of_view(book, view):
            found.setdefault(pstcheck.item_text(doc, 'FullName'), doc)
    return found


def check_pst(name, pst, books, work):
    if subprocess.run(['pffinfo', pst], capture_output=True).returncode != 0:
        fail('%s: pffinfo cannot open it' % name)
        return
    out = os.path.join(work, 'all')
    subprocess.run(['pffexport', '-q', '-m', 'all', '-t', out, pst], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    exported = set()
    for d in glob.glob(os.path.join(out + '.export', '*', '**', 'Contact*'), recursive=True):
        fields = {}
        for part in ('Message.txt', 'Contact.txt'):
            p = os.path.join(d, part)
            if os.path.exists(p):
                fields.update(pstcheck.parse_pff_contact(p)[0])
        exported.add(fields.get('Display name', ''))
    # Folder by folder, where the PST holds a folder of the view's name: exactly the
    # view's contacts, every field (all books' contacts when several went into one file).
    by_view = {}
    for book in books:
        for view in book_views(book):
            by_view.setdefault(view, []).extend(pstcheck.contacts_of_view(book, view))
    compared = 0
    for view, contacts in by_view.items():
        folder = view.replace('\\', '/')
        if not contacts or not glob.glob(os.path.join(out + '.export', '*', folder)):
            continue
        # A folder of deliberately damaged documents: what the engine keeps of them is the
        # engine's own end-to-end check's concern.
        if view == 'Broken':
            continue
        # A categorised view lists a document once per category: the file holds it as
        # often; compared by count only.
        names = [pstcheck.item_text(d, 'FullName') for d in contacts]
        if len(set(names)) != len(names):
            found = glob.glob(os.path.join(out + '.export', '*', folder, 'Contact*'))
            if len(found) != len(contacts):
                fail('%s/%s: %d contacts, the view lists %d' % (name, view, len(found), len(contacts)))
            continue
        sub = os.path.join(work, 'v%d' % compared)
        os.makedirs(sub)
        n, _ = pstcheck.check_pffexport(pst, folder, contacts, sub)
        pstcheck.check_readpst(pst, folder, contacts, sub)
        compared += n
    if compared == 0:
        fail('%s: no folder of the books found in the file' % name)
    for book in books:
        for full_name in all_contacts(book):
            if full_name not in exported:
                fail('%s: %r of %s is missing' % (name, full_name, os.path.basename(book)))
    print('%s: %d contacts compared field by field, %d exported' % (name, compared, len(exported)))


def check_rows(name, rows, books):
    """A header row of Notes item names, then one row per contact."""
    if len(rows) < 2:
        fail('%s: no contact rows' % name)
        return
    header = rows[0]
    contacts = {}
    for book in books:
        contacts.update(all_contacts(book))
    if 'FullName' not in header:
        fail('%s: no FullName column in %r' % (name, header[:8]))
        return
    key = header.index('FullName')
    seen = set()
    for r, row in enumerate(rows[1:], 2):
        row = list(row) + [''] * (len(header) - len(row))
        doc = contacts.get(row[key])
        if doc is None:
            fail('%s: row %d (%r) is no contact of the books' % (name, r, row[key]))
            continue
        seen.add(row[key])
        for c, item in enumerate(header):
            if item == 'Attachment':
                continue
            want = item_value(doc, item)
            if row[c] != want:
                fail('%s: row %d %r column %s is %r, the book has %r' % (name, r, row[key], item, row[c][:60],
                                                                       want[:60]))
    for full_name in contacts:
        if full_name not in seen:
            fail('%s: %r is missing' % (name, full_name))
    print('%s: %d rows compared column by column' % (name, len(rows) - 1))


def check_xls(name, path, books):
    import xlrd
    workbook = xlrd.open_workbook(path)
    if 'Contacts' not in workbook.sheet_names():
        fail('%s: no sheet Contacts in %r' % (name, workbook.sheet_names()))
        return
    sheet = workbook.sheet_by_name('Contacts')
    rows = [[str(sheet.cell_value(r, c)) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
    # Every folder's rows follow its own header row.
    header = rows[0] if rows else []
    check_rows(name, [header] + [r for r in rows[1:] if r != header], books)


def check_csv(name, path, books):
    with open(path, 'rb') as f:
        data = f.read()
    rows = [r for r in csv.reader(io.StringIO(data.decode('utf-16-le').lstrip('\ufeff'))) if r]
    widths = {len(r) for r in rows}
    if len(widths) != 1:
        fail('%s: rows of different widths %s' % (name, sorted(widths)))
    header = rows[0] if rows else []
    check_rows(name, [header] + [r for r in rows[1:] if r != header], books)


def item_value(doc, name):
    """An item as the program shows it: texts joined by ';', a date as MM/DD/YYYY."""
    for item in doc.findall(pstcheck.NS + 'item'):
        if item.get('name') != name:
            continue
        dates = [d.text or '' for d in item.iter(pstcheck.NS + 'datetime')]
        if dates and not list(item.iter(pstcheck.NS + 'text')):
            shown = []
            for d in dates:
                if len(d) == 8 and d.isdigit():
                    shown.append('%s/%s/%s' % (d[4:6], d[6:8], d[0:4]))
                else:
                    shown.append(d)
            return ';'.join(shown)
    return pstcheck.item_text(doc, name)


def card_text(doc):
    values = [item_value(doc, item) if item else '' for item, _ in CARD_SLOTS]
    blocks = []
    for first, last in CARD_BLOCKS:
        blocks.append(''.join(CARD_SLOTS[i][1] + values[i] + '\r\n' for i in range(first, last + 1)))
    return '\r\n'.join(blocks)


def check_grid_copy(name, path, book):
    with open(path, 'rb') as f:
        copied = f.read().decode('cp1252', errors='replace')
    with open(path + '.folder', encoding='latin-1') as f:
        folder, letter = [line.rstrip('\n') for line in f.readlines()[:2]]
    view = folder.rstrip('\\')
    names = book_views(book)
    if view not in names and '($%s)' % view in names:
        view = '($%s)' % view
    contacts = pstcheck.contacts_of_view(book, view)
    if letter != '*':
        def first_letter(doc):
            text = pstcheck.item_text(doc, 'FirstName') or pstcheck.item_text(doc, 'FullName')
            return text[:1].upper()
        contacts = [d for d in contacts if first_letter(d) == letter]
    # The clipboard holds ANSI text: what the code page cannot show is a question mark.
    ansi = lambda s: s.encode('cp1252', errors='replace').decode('cp1252')
    # Rows of five cells: a row of names over a row of cards; tabs between cells, CR LF
    # between rows. A card with attachments ends in their list, which is not compared.
    at, checked = 0, 0
    pairs = [contacts[i:i + 5] for i in range(0, len(contacts), 5)] or [[]]
    for p, pair in enumerate(pairs):
        for row in ('names', 'cards'):
            for c in range(5):
                doc = pair[c] if c < len(pair) else None
                if doc is None:
                    want = ''
                elif row == 'names':
                    want = ansi(pstcheck.item_text(doc, 'FullNameInput'))
                elif pstcheck.attachments(doc):
                    fail('%s: %r has attachments, whose card is not compared here' % (name, doc))
                    return
                else:
                    want = ansi(card_text(doc))
                got = copied[at:at + len(want)]
                if got != want:
                    lines_want, lines_got = want.split('\r\n'), got.split('\r\n')
                    diff = next((i for i in range(min(len(lines_want), len(lines_got)))
                                 if lines_want[i] != lines_got[i]), 0)
                    fail('%s: row %d column %d: %r where the book has %r' % (
                        name, 2 * p + (row == 'cards'), c, lines_got[diff][:80] if lines_got else '',
                        lines_want[diff][:80] if lines_want else ''))
                    return
                at += len(want)
                last = p == len(pairs) - 1 and row == 'cards' and c == 4
                sep = '\t' if c < 4 else ('' if last else '\r\n')
                if not copied.startswith(sep, at):
                    fail('%s: no %r after row %d column %d' % (name, sep, 2 * p + (row == 'cards'), c))
                    return
                at += len(sep)
                checked += doc is not None and row == 'cards'
    if at != len(copied):
        fail('%s: %d characters more than the folder\'s cards: %r' % (name, len(copied) - at, copied[at:at + 60]))
    print('%s: %d cards of %s (letter %s) compared field by field' % (name, checked, view, letter))


def main():
    folder, fixtures = sys.argv[1], sys.argv[2]
    present = [n for n in list(BOOKS) if os.path.exists(os.path.join(folder, n))]
    copies = sorted(glob.glob(os.path.join(folder, 'grid-copy-*.txt')))
    if not present and not copies:
        print('no files from the Windows end-to-end tests: skipped')
        return 77
    for name in present:
        path = os.path.join(folder, name)
        books = BOOKS[name]
        work = tempfile.mkdtemp()
        try:
            if books is None:
                # Counted only: a valid PST whose contacts readpst reads.
                if subprocess.run(['pffinfo', path], capture_output=True).returncode != 0:
                    fail('%s: pffinfo cannot open it' % name)
                    continue
                subprocess.run(['readpst', '-r', '-D', '-o', work, path], check=True, capture_output=True)
                cards = sum(open(p, encoding='utf-8', errors='replace').read().count('BEGIN:VCARD')
                            for p in glob.glob(os.path.join(work, '**', 'contacts'), recursive=True))
                print('%s: %d contacts' % (name, cards))
                if not cards:
                    fail('%s: readpst finds no contact' % name)
                if name == 'stopped_then_added.pst' and not any(
                        'Andersen' in open(p, encoding='utf-8', errors='replace').read()
                        for p in glob.glob(os.path.join(work, '**', 'contacts'), recursive=True)):
                    fail('%s: the book added after the stop is missing' % name)
                continue
            books = [os.path.join(fixtures, b) for b in books]
            if name.endswith('.pst'):
                check_pst(name, path, books, work)
            elif name.endswith('.xls'):
                check_xls(name, path, books)
            else:
                check_csv(name, path, books)
        finally:
            shutil.rmtree(work, ignore_errors=True)
    for path in copies:
        check_grid_copy(os.path.basename(path), path, os.path.join(fixtures, 'sample-names.nsf'))
    failures = len(FAILURES) + len(pstcheck.FAILURES)
    print('%d failures' % failures)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
