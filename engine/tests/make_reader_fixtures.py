#!/usr/bin/env python3
"""Writes the reader's own test databases (DXL-shaped, like tests/fixtures/notes).

reader-cases.nsf holds what the shared address books lack: contact slots whose items are
not text (rich text, numbers, dates, raw data, formulas), a document with none of the
record's items, folders of exactly 1 and 96 contacts for the progress positions, views
whose names test the scan's retention rules, and hierarchical folders for the tree.
Usage: make_reader_fixtures.py OUTPUT_DIRECTORY
"""
import os
import sys
from xml.sax.saxutils import escape, quoteattr


class Book:
    def __init__(self, title):
        self.title = title
        self.next_id = 0x100
        self.docs, self.designs = [], []

    def new_id(self):
        self.next_id += 4
        return self.next_id

    def document(self, form, items, raw=''):
        nid = self.new_id()
        body = ''.join("<item name=%s>%s</item>" % (quoteattr(n), v) for n, v in items)
        self.docs.append("<document form=%s><noteinfo noteid='%x' unid='%032X'/>%s%s</document>"
                         % (quoteattr(form), nid, 0xB00000 + nid, body, raw))
        return nid

    def design(self, kind, name, ids):
        nid = self.new_id()
        entries = ''.join("<entry noteid='%x'/>" % i for i in ids)
        self.designs.append("<%s name=%s><noteinfo noteid='%x' unid='%032X'/>"
                            "<column itemname='FullName'/><entries>%s</entries></%s>"
                            % (kind, quoteattr(name), nid, 0xC00000 + nid, entries, kind))

    def xml(self):
        return ("<?xml version='1.0' encoding='utf-8'?>\n"
                "<database xmlns='http://www.lotus.com/dxl' version='9.0' replicaid='0123456789ABCDEF' "
                "path='reader-cases.nsf' title=%s>\n%s\n%s\n</database>\n"
                % (quoteattr(self.title), '\n'.join(self.designs), '\n'.join(self.docs)))


def text(s):
    return '<text>%s</text>' % escape(s).replace('\r', '&#13;').replace('\t', '&#9;')


def person(first, last, full=None, extra=()):
    full = full if full is not None else ('%s %s' % (first, last)).strip()
    items = [('Form', text('Person')), ('FirstName', text(first)), ('MiddleInitial', text('')),
             ('LastName', text(last)), ('FullName', text(full)), ('FullNameInput', text(full))]
    return items + list(extra)


def main(out):
    b = Book('Reader Cases')
    odd = b.document('Person', person('Otto', 'Types', extra=[
        ('CompanyName', "<richtext><par>Rich company</par></richtext>"),
        ('JobTitle', '<number>42</number>'),
        ('Birthday', "<datetime>19700102</datetime>"),
        ('Children', '<numberlist><number>1</number><number>2</number></numberlist>'),
        ('Department', "<rawitemdata type='1e'>AAEC</rawitemdata>"),
        ('Title', '<formula>@Now</formula>'),
        ('Spouse', '<text/>'),
    ]))
    bare = b.document('Memo', [('Subject', text('Nothing the record reads'))])
    many = [b.document('Person', person('Name%02d' % i, 'Many')) for i in range(96)]
    one = b.document('Person', person('Single', 'Entry'))
    b.design('view', 'Random View', [odd])
    b.design('view', 'Archive $All Mail', [odd, bare])
    b.design('view', '($Sent)', [bare])
    b.design('view', '($Follow-Up)', [])
    b.design('folder', 'Odd', [odd, bare])
    b.design('folder', 'Ninety Six', many)
    b.design('folder', 'One', [one])
    b.design('folder', 'Projects\\2009', [one])
    b.design('folder', 'Projects', [odd])
    b.design('folder', 'X9', [one])
    # The letter filter: first name, else full name, upper-cased.
    b.design('folder', 'Filter', [b.document('Person', person('bob', 'Builder')),
                                  b.document('Person', person('', 'Bell', 'Bertha Bell')),
                                  b.document('Person', person('Anna', 'Bell', 'Bell'))])
    with open(os.path.join(out, 'reader-cases.nsf'), 'w', encoding='utf-8') as f:
        f.write(b.xml())
    # A database without a single view or folder.
    empty = Book('No Views')
    empty.document('Person', person('Lone', 'Document'))
    with open(os.path.join(out, 'no-views.nsf'), 'w', encoding='utf-8') as f:
        f.write(empty.xml())

if __name__ == '__main__':
    main(sys.argv[1])
