#!/usr/bin/env python3
"""Writes the page as one index.html: the style, the engine (its WebAssembly
inlined), the worker and the script all inside, so the file works from any
static server and straight from disk, with nothing fetched."""
import pathlib
import sys

web = pathlib.Path(__file__).resolve().parent
engine, output = (pathlib.Path(arg) for arg in sys.argv[1:3])

parts = {
    '/*@STYLE@*/': (web / 'style.css').read_text(),
    '/*@ENGINE@*/': engine.read_text(),
    '/*@WORKER@*/': (web / 'worker.js').read_text(),
    '/*@PAGE@*/': (web / 'page.js').read_text() + (web / 'art_view.js').read_text(),
}
page = (web / 'index.html').read_text()
for marker, text in parts.items():
    # A closing tag inside would end the element early.
    if '</script' in text.lower() or '</style' in text.lower():
        sys.exit(f'assemble.py: {marker} holds a closing tag')
    page = page.replace(marker, text)
output.parent.mkdir(parents=True, exist_ok=True)
output.write_text(page)
