#!/usr/bin/env python3
"""Writes the page as one index.html: the style, the engine (its WebAssembly
inlined), the worker, the script and the example templates with their
fields and pictures all inside, so the file works from any static server and
straight from disk, with nothing fetched."""
import base64
import json
import pathlib
import re
import sys

web = pathlib.Path(__file__).resolve().parent
engine, output = (pathlib.Path(arg) for arg in sys.argv[1:3])

# The examples, each with the layout it is composed to.
Examples = [('scene-release', 'Scene release, 80 columns', 'nfo'),
            ('p2p-release', 'P2P release, 70 columns', 'p2p'),
            ('file_id', 'FILE_ID.DIZ, 45 columns', 'diz')]


def example(name, label, layout):
    folder = web.parent / 'examples'
    template = (folder / f'{name}.txt').read_text()
    fields = {}
    fields_file = folder / f'{name}.fields'
    if fields_file.exists():
        for line in fields_file.read_text().splitlines():
            if line and not line.startswith('#'):
                key, value = line.split('=', 1)
                fields[key] = value
    pictures = {picture: base64.b64encode((folder / picture).read_bytes()).decode()
                for picture in re.findall(r'^\s*\{\{art ([^\s}]+)', template, re.M)}
    return {'name': name, 'label': label, 'layout': layout, 'template': template, 'fields': fields,
            'pictures': pictures}


parts = {
    '/*@STYLE@*/': (web / 'style.css').read_text(),
    '/*@ENGINE@*/': engine.read_text(),
    '/*@WORKER@*/': (web / 'worker.js').read_text(),
    '/*@PAGE@*/': (web / 'page.js').read_text() + (web / 'art_view.js').read_text() +
                  (web / 'compose_view.js').read_text(),
    '/*@EXAMPLES@*/': json.dumps([example(*entry) for entry in Examples], ensure_ascii=False).replace('</', '<\\/'),
}
page = (web / 'index.html').read_text()
for marker, text in parts.items():
    # A closing tag inside would end the element early.
    if '</script' in text.lower() or '</style' in text.lower():
        sys.exit(f'assemble.py: {marker} holds a closing tag')
    page = page.replace(marker, text)
output.parent.mkdir(parents=True, exist_ok=True)
output.write_text(page)
