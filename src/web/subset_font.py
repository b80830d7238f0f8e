#!/usr/bin/python3
"""A font of the page cut down to the characters the program shows in it.

    subset_font.py OUT.woff FONT.ttf SOURCE...

Takes every character of the given sources (the core's texts and the page's
own) and printable ASCII, and writes the font with those glyphs alone.
"""
import sys

from fontTools import subset

out, font, *sources = sys.argv[1:]
chars = {chr(c) for c in range(0x20, 0x7F)}
for path in sources:
    with open(path, encoding="utf-8") as f:
        chars.update(c for c in f.read() if ord(c) >= 0x80)
subset.main([font, "--text=" + "".join(sorted(chars)), "--flavor=woff",
             "--layout-features=*", "--output-file=" + out])
