#!/usr/bin/env python3
"""Writes a large address book for benchmarks: make_large_book.py OUT.nsf [CONTACTS].

The book has CONTACTS Person documents (default 100,000) with the items a real address
book holds, some non-ASCII names, a rich-text body each and an attachment on every 50th;
a few hundred Group and calendar documents; the views ($People), ($All), My Contacts and
By Category, and folders Contacts (every contact), Friends and Suppliers\\Europe. The output
is deterministic for a given count. It is not committed: generate it where it is needed.
"""
import base64
import sys
from xml.sax.saxutils import escape, quoteattr

FIRST = ['Alice', 'Bruno', 'Chlo\u00e9', 'Dmitri', 'Emma', 'Farid', 'Grace', 'Hiro', 'Ingrid', 'Jos\u00e9',
         'Kai', 'Lena', 'Mateo', 'Nora', 'Olaf', 'Priya', 'Quentin', 'Rosa', 'Sven', 'Tara']
LAST = ['Andersen', 'Bianchi', 'Dubois', 'Ivanov', 'Evans', 'Haddad', 'Green', 'Tanaka', 'Svensson',
        'Garc\u00eda', 'M\u00fcller', 'Nowak', 'O\'Brien', 'Petrov', 'Rossi', 'Schmidt', 'Yamada', 'Zhang']
CITIES = ['Boston', 'K\u00f6ln', 'Lyon', 'Milano', 'Kazan', '\u6771\u4eac', 'Leeds', 'Porto']
COMPANIES = ['Acme Corp', 'Nordic Shipping', 'Caf\u00e9 de Lyon', 'Volga Trade', 'Iberia Foods & Co']


def t(s):
    return '<text>%s</text>' % escape(s)


def person(i, nid):
    f, l = FIRST[i % len(FIRST)], LAST[(i // len(FIRST)) % len(LAST)]
    mi = chr(ord('A') + i % 26)
    full = '%s %s %s' % (f, mi, l)
    city = CITIES[i % len(CITIES)]
    mail = ('%s.%s%d@example.com' % (f, l, i)).lower().replace("'", '')
    items = [
        ('Form', t('Person')), ('Type', t('Person')), ('FirstName', t(f)), ('MiddleInitial', t(mi)),
        ('LastName', t(l)), ('FullName', '<textlist><text>%s</text><text>%s</text></textlist>'
                             % (escape('CN=%s/O=Example' % full), escape(full))),
        ('FullNameInput', t(full)), ('ShortName', t('%s%d' % (f[0].lower(), i))),
        ('InternetAddress', t(mail)), ('MailAddress', t(mail)), ('CompanyName', t(COMPANIES[i % len(COMPANIES)])),
        ('Department', t('Dept %d' % (i % 40))), ('JobTitle', t(['Manager', 'Engineer', 'Buyer', 'Clerk'][i % 4])),
        ('OfficePhoneNumber', t('+1 617 555 %04d' % (i % 10000))), ('CellPhoneNumber', t('+1 857 555 %04d' % ((i * 7) % 10000))),
        ('OfficeFAXPhoneNumber', t('+1 617 555 %04d' % ((i * 3) % 10000))),
        ('OfficeStreetAddress', t('%d Main Street\nSuite %d' % (i % 900 + 1, i % 50))),
        ('OfficeCity', t(city)), ('OfficeState', t('MA')), ('OfficeZIP', t('%05d' % (i % 99999))),
        ('OfficeCountry', t('USA')), ('Categories', '<textlist><text>Customers</text><text>Region %d</text></textlist>' % (i % 7)),
        ('Comment', t('Contact number %d.\tImported.' % i)),
        ('Birthday', "<datetime>19%02d%02d%02d</datetime>" % (50 + i % 50, 1 + i % 12, 1 + i % 28)),
        ('Body', "<richtext><pardef id='1'/><par def='1'>Notes about <run><font style='bold'/>%s</run>.</par>"
                 "<par def='1'>Second paragraph %d.</par></richtext>" % (escape(full), i)),
    ]
    parts = ["<document form='Person'><noteinfo noteid='%x' unid='%032X' sequence='1'/>" % (nid, 0xC0FFEE0000 + nid)]
    parts += ['<item name=%s>%s</item>' % (quoteattr(n), v) for n, v in items]
    if i % 50 == 0:
        data = ('BEGIN:VCARD\r\nFN:%s\r\nEND:VCARD\r\n' % full).encode('utf-8')
        parts.append("<item name='$FILE'><object><file hosttype='msdos' compression='none' flags='storedindoc' "
                     "encoding='none' name='card%d.vcf' size='%d'><filedata>%s</filedata></file></object></item>"
                     % (i, len(data), base64.b64encode(data).decode()))
    parts.append('</document>\n')
    return ''.join(parts)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    nid = 0x8F2
    contacts, others = [], []
    with open(out, 'w', encoding='utf-8', newline='\n') as f:
        f.write("<?xml version='1.0' encoding='utf-8'?>\n<!DOCTYPE database SYSTEM 'xmlschemas/domino_9_0_1.dtd'>\n"
                "<database xmlns='http://www.lotus.com/dxl' version='9.0' replicaid='85257A3B00612C4F' "
                "path='big-names.nsf' title='Benchmark Address Book'>\n<databaseinfo dbid='85257A3B00612C4F'/>\n")
        for i in range(count):
            f.write(person(i, nid))
            contacts.append(nid)
            nid += 4
        for g in range(max(1, count // 500)):
            f.write("<document form='Group'><noteinfo noteid='%x'/><item name='ListName'><text>Group %d</text></item>"
                    "<item name='Members'><textlist><text>a</text><text>b</text></textlist></item></document>\n" % (nid, g))
            others.append(nid)
            nid += 4
            f.write("<document form='Appointment'><noteinfo noteid='%x'/><item name='Subject'><text>Meeting %d</text>"
                    "</item><item name='Location'><text>Room %d</text></item></document>\n" % (nid, g, g % 9))
            others.append(nid)
            nid += 4

        def design(kind, name, ids, extra=''):
            nonlocal nid
            f.write("<%s name=%s%s><noteinfo noteid='%x'/><entries>" % (kind, quoteattr(name), extra, nid))
            nid += 4
            for x in ids:
                if isinstance(x, str):
                    f.write("<entry category=%s/>" % quoteattr(x))
                else:
                    f.write("<entry noteid='%x'/>" % x)
            f.write("</entries></%s>\n" % kind)

        design('view', '($People)', contacts, " alias='People'")
        design('view', '($All)', contacts + others)
        design('view', 'My Contacts', contacts[: count // 2])
        by_cat = []
        for r in range(7):
            by_cat.append('Region %d' % r)
            by_cat.extend(contacts[r::7][:2000])
        design('view', 'By Category', by_cat)
        design('folder', 'Contacts', contacts)
        design('folder', 'Friends', contacts[::97])
        design('folder', 'Suppliers\\Europe', contacts[1::13])
        f.write('</database>\n')


if __name__ == '__main__':
    main()
