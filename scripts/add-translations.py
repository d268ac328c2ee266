#!/usr/bin/env python3
"""Adds English translations to resources/language_en.ts (context MainWindow).

Usage: scripts/add-translations.py FILE  where FILE holds pairs of lines: German, English.
"""
import sys
from xml.sax.saxutils import escape

ts_path = 'resources/language_en.ts'
pairs = open(sys.argv[1], encoding='utf-8').read().split('\n')
pairs = [p for p in pairs if p.strip()]
ts = open(ts_path, encoding='utf-8').read()
marker = '<name>MainWindow</name>\n'
at = ts.index(marker) + len(marker)
added = ''
for german, english in zip(pairs[0::2], pairs[1::2]):
    source = escape(german, {'"': '"'})
    if '<source>' + source + '</source>' in ts:
        continue
    added += ('    <message>\n        <source>%s</source>\n        <translation>%s</translation>\n'
              '    </message>\n') % (source, escape(english))
ts = ts[:at] + added + ts[at:]
open(ts_path, 'w', encoding='utf-8').write(ts)
