#!/usr/bin/env python3
"""Reads the PST files the Windows end-to-end tests left in build/artifacts/e2e with the
independent readers (readpst, pffexport, pffinfo) and compares every contact, field by
field, with the Notes address book it came from (parsed here from its DXL text).

Usage: pst_e2e_check.py ARTIFACT_DIR NOTES_FIXTURE_DIR
Exit status 77 when the Windows tests have not run.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = '{http://www.lotus.com/dxl}'
FAILURES = []


def fail(msg):
    FAILURES.append(msg)
    print('FAIL: ' + msg)


def blank_controls(s):
    # The engine's item texts carry no TAB, CR, LF or U+0081: each becomes a space.
    return re.sub('[\t\r\n\x81]', ' ', s)


def item_text(doc, name):
    """The text of an item as the engine reads it: list values joined by ';'."""
    for item in doc.findall(NS + 'item'):
        if item.get('name') != name:
            continue
        texts = [t.text or '' for t in item.iter(NS + 'text')]
        return blank_controls(';'.join(texts))
    return ''


def has_item(doc, name):
    return any(i.get('name') == name for i in doc.findall(NS + 'item'))


def attachments(doc):
    import base64
    out = []
    for item in doc.findall(NS + 'item'):
        if item.get('name') != '$FILE':
            continue
        for f in item.iter(NS + 'file'):
            data = f.find(NS + 'filedata')
            try:
                raw = base64.b64decode(''.join((data.text or '').split()), validate=True)
            except Exception:
                raw = None
            # A declared size that disagrees with the data marks a damaged attachment.
            if raw is not None and f.get('size') not in (None, str(len(raw))):
                raw = None
            out.append((f.get('name'), raw, f.get('compression')))
    return out


def contacts_of_view(book, view_name):
    with open(book, encoding='utf-8') as f:
        text = f.read()
    # The fixture carries one undefined entity on purpose; it stands for no text.
    text = re.sub(r'&(?!(?:amp|lt|gt|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);)[A-Za-z0-9]+;', '', text)
    root = ET.fromstring(text)
    docs = {}
    for d in root.findall(NS + 'document'):
        ni = d.find(NS + 'noteinfo')
        docs[int(ni.get('noteid'), 16)] = d
    for v in list(root.findall(NS + 'view')) + list(root.findall(NS + 'folder')):
        if v.get('name') != view_name:
            continue
        out = []
        for e in v.iter(NS + 'entry'):
            nid = e.get('noteid')
            d = docs.get(int(nid, 16)) if nid else None
            # A contact is a document with a MiddleInitial item (the engine's classification).
            if d is not None and has_item(d, 'MiddleInitial'):
                out.append(d)
        return out
    raise SystemExit('view %s not in %s' % (view_name, book))


# pffexport's labels for the properties the contact puts reach, by Notes item.
PFF_FIELDS = [
    ('FirstName', 'Given name'),
    ('LastName', 'Surname'),
    ('CompanyName', 'Company name'),
    ('OfficePhoneNumber', 'Business phone number 1'),
    ('FullName', 'Display name'),
]


def parse_pff_contact(path):
    fields = {}
    body = ''
    with open(path, encoding='utf-8', errors='replace') as f:
        text = f.read()
    head, _, body = text.partition('\nBody:\n')
    for line in head.splitlines():
        m = re.match(r'^([A-Za-z0-9 ]+):\t+(.*)$', line)
        if m:
            fields[m.group(1)] = m.group(2)
    return fields, body


def check_pffexport(pst, folder, contacts, work):
    out = os.path.join(work, 'pff')
    subprocess.run(['pffexport', '-q', '-m', 'all', '-t', out, pst], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # The top folder's name is the store's own (Outlook's files name it differently).
    items = sorted(glob.glob(os.path.join(out + '.export', '*', folder, 'Contact*')))
    if len(items) != len(contacts):
        fail('%s/%s: pffexport lists %d contacts, the book has %d' % (pst, folder, len(items), len(contacts)))
    found = []
    for d in items:
        # Message.txt carries the display name; Contact.txt the contact fields and body.
        fields, body = {}, ''
        for name in ('Message.txt', 'Contact.txt'):
            p = os.path.join(d, name)
            if os.path.exists(p):
                f, b = parse_pff_contact(p)
                fields.update(f)
                body = body or b
        atts = {}
        for a in glob.glob(os.path.join(d, 'Attachments', '*')):
            with open(a, 'rb') as fh:
                atts[os.path.basename(a)] = fh.read()
        found.append((fields, body, atts))
    checked = 0
    for doc in contacts:
        want = {label: item_text(doc, item) for item, label in PFF_FIELDS}
        match = [f for f in found if f[0].get('Display name', '') == want['Display name']
                 and f[0].get('Given name', '') == want['Given name']]
        if len(match) != 1:
            fail('%s/%s: contact %r found %d times' % (pst, folder, want['Display name'], len(match)))
            continue
        fields, body, atts = match[0]
        for label, value in want.items():
            if fields.get(label, '') != value:
                fail('%s/%s: %r %s is %r, the book has %r' % (pst, folder, want['Display name'], label,
                                                            fields.get(label, ''), value))
        # The body starts with the record's preview text.
        company = item_text(doc, 'CompanyName')
        if ('Company Name : %s' % company) not in body:
            fail('%s/%s: %r body lacks its company line' % (pst, folder, want['Display name']))
        checked += 1
    return checked, found


def vcard_unescape(s):
    return re.sub(r'\\(.)', lambda m: '\n' if m.group(1) in 'nN' else m.group(1), s)


def check_readpst(pst, folder, contacts, work):
    out = os.path.join(work, 'rp')
    os.makedirs(out)
    subprocess.run(['readpst', '-r', '-D', '-o', out, pst], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    files = glob.glob(os.path.join(out, '*', folder, 'contacts'))
    cards = []
    for path in files:
        with open(path, encoding='utf-8', errors='replace') as f:
            for card in f.read().split('BEGIN:VCARD')[1:]:
                props = {}
                for line in card.splitlines():
                    if ':' in line:
                        k, v = line.split(':', 1)
                        props.setdefault(k.split(';')[0], vcard_unescape(v))
                cards.append(props)
    if len(cards) != len(contacts):
        fail('%s/%s: readpst lists %d contacts, the book has %d' % (pst, folder, len(cards), len(contacts)))
    for doc in contacts:
        last, first = item_text(doc, 'LastName'), item_text(doc, 'FirstName')
        fn = item_text(doc, 'FullName')
        # readpst names a card by surname and given name (N) and shows the file-as name (FN).
        match = [c for c in cards if c.get('N', '').split(';')[:2] == [last, first]]
        if not match:
            fail('%s/%s: readpst has no card N:%s;%s' % (pst, folder, last, first))
            continue
        if not any(c.get('N', '').split(';')[2:3] == [item_text(doc, 'MiddleInitial')] for c in match):
            fail('%s/%s: readpst N of %r is %r' % (pst, folder, fn, [c.get('N') for c in match]))
        file_as = '%s, %s' % (last, first) if last and first else (last or first or fn)
        if not any(c.get('FN', '') == file_as for c in match):
            fail('%s/%s: readpst FN of %r is %r, expected %r' % (pst, folder, fn, [c.get('FN') for c in match],
                                                                 file_as))
        c = match[0]
        if c.get('ORG', '') != item_text(doc, 'CompanyName'):
            fail('%s/%s: readpst ORG of %r is %r' % (pst, folder, fn, c.get('ORG')))
        email = item_text(doc, 'email_1')
        if email and c.get('EMAIL', '') != email:
            fail('%s/%s: readpst EMAIL of %r is %r, the book has %r' % (pst, folder, fn, c.get('EMAIL'), email))
    return len(cards)


def readable(pst):
    for cmd in (['pffinfo', pst], ['readpst', '-o', tempfile.mkdtemp(), '-D', pst]):
        r = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if r.returncode != 0:
            fail('%s: %s fails: %s' % (pst, cmd[0], r.stderr.decode(errors='replace')[-300:]))


def main():
    artifacts, fixtures = sys.argv[1], sys.argv[2]
    book = os.path.join(fixtures, 'names.nsf')
    if not os.path.exists(os.path.join(artifacts, 'new-unicode.pst')):
        print('no end-to-end PST files in %s: run the Windows tests first' % artifacts)
        return 77
    contacts = contacts_of_view(book, 'All Documents')
    for name in sorted(os.listdir(artifacts)):
        if name.endswith('.pst'):
            readable(os.path.join(artifacts, name))
    targets = ['new-unicode.pst', 'new-ansi.pst', 'attachments.pst'] + \
        sorted(n for n in os.listdir(artifacts) if n.startswith('sample-'))
    for name in targets:
        pst = os.path.join(artifacts, name)
        if not os.path.exists(pst):
            fail('%s is missing' % pst)
            continue
        work = tempfile.mkdtemp()
        try:
            n, found = check_pffexport(pst, 'All Documents', contacts, work)
            cards = check_readpst(pst, 'All Documents', contacts, work)
            print('%s: %d contacts compared field by field (pffexport), %d read by readpst' % (name, n, cards))
            if name == 'attachments.pst':
                check_attachments(pst, contacts, found)
        finally:
            shutil.rmtree(work, ignore_errors=True)
    cancelled = os.path.join(artifacts, 'cancelled.pst')
    if os.path.exists(cancelled):
        work = tempfile.mkdtemp()
        subprocess.run(['pffexport', '-q', '-t', os.path.join(work, 'p'), cancelled], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        kept = glob.glob(os.path.join(work, 'p.export', '*', 'All Documents', 'Contact*'))
        print('cancelled.pst: %d contacts kept' % len(kept))
        if not 0 < len(kept) < len(contacts):
            fail('cancelled.pst holds %d contacts' % len(kept))
        shutil.rmtree(work, ignore_errors=True)
    print('%d failures' % len(FAILURES))
    return 1 if FAILURES else 0


def check_attachments(pst, contacts, found):
    """Every attachment that the book holds readable data for arrives with its name and bytes."""
    arrived = {}
    for _fields, _body, atts in found:
        for name, data in atts.items():
            arrived.setdefault(name, []).append(data)
    for doc in contacts:
        for name, raw, compression in attachments(doc):
            if raw is None or compression != 'none':
                continue
            # pffexport names the exported files after the attachment, as a file system allows.
            base = re.split(r'[\\/]', name)[-1]
            candidates = [k for k in arrived if k == name or k.endswith(base)]
            if not any(raw in arrived[k] for k in candidates):
                fail('%s: attachment %r (%d bytes) not found among %r' % (pst, name, len(raw), sorted(arrived)))


if __name__ == '__main__':
    sys.exit(main())
