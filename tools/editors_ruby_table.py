#!/usr/bin/env python3
"""The table of reading/editors_ruby/ from ruby pairs copied out of Aozora Bunko's books.

  tools/editors_ruby_table.py --works reading/editors_ruby/works.tsv PAIRS.tsv... \
      > reading/editors_ruby/editors-ruby.tsv

A PAIRS line `#WORK<TAB>path<TAB>author<TAB>title` starts a work; it is written to the --works
file. Each other PAIRS line is `base<TAB>reading<TAB>after<TAB>work`: a ruby's base as printed, its reading,
the (up to) two characters of text after it, and the work it is in; lines starting with # are
skipped. Written: one row for each base, next kana and reading, with the number of works and of
times it was given, for every base given ruby in at least two works. The next kana is the first
character after the base when that is hiragana (the okurigana of 怒《おこ》って), else empty.
A base that ends in kana its reading ends in too (思い違い《おもいちがい》) is cut to its kanji.
Readings in katakana (glosses of foreign words, 燐寸《マッチ》) and bases without a kanji are left out.
"""
import argparse
import collections
import re
import sys

KANJI = re.compile(r"[\u3400-\u9fff\uf900-\ufaff\U00020000-\U0002fa1f々〆ヶ]")
HIRAGANA = re.compile(r"^[\u3041-\u3096ー]+$")
# After a base these start the next word, not its okurigana.
PARTICLES = set("のがをにはもとへでやかよね")
KATAKANA_TO_HIRAGANA = {c: c - 0x60 for c in range(0x30A1, 0x30F7)}

HEADER = """\
# How editors of children's books gave ruby, counted over Aozora Bunko's transcriptions (works in
# README.md). Columns: the base (kanji), its okurigana's first kana or * for none, the reading, the
# number of works it was given in, the number of times. Made by tools/editors_ruby_table.py.
"""


def normalised(base, reading, after):
    """(base, reading, after) with kana the base and reading end in moved to after."""
    while base and not KANJI.match(base[-1]) and reading.endswith(base[-1]) and len(reading) > 1:
        after = base[-1] + after
        base, reading = base[:-1], reading[:-1]
    return base, reading, after


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--works", required=True)
    parser.add_argument("pairs", nargs="+")
    args = parser.parse_args()
    works = collections.defaultdict(set)
    times = collections.Counter()
    titles = {}
    for path in args.pairs:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("#WORK\t"):
                    fields = line.rstrip("\n").split("\t")
                    if len(fields) >= 4:
                        titles[fields[1]] = (fields[2], fields[3])
                    continue
                if line.startswith("#") or not line.strip():
                    continue
                fields = line.rstrip("\n").split("\t")
                if len(fields) != 4:
                    continue
                base, reading, after, work = fields
                base, reading, after = normalised(base.strip(), reading.strip(), after)
                if not base or not all(KANJI.match(c) for c in base):
                    continue
                if not HIRAGANA.match(reading):
                    continue
                first = after[:1]
                okurigana = first and "\u3041" <= first <= "\u3096" and first not in PARTICLES
                nxt = first if okurigana else "*"
                key = (base, nxt, reading)
                works[key].add(work)
                times[key] += 1
    used = {w for ws in works.values() for w in ws}
    with open(args.works, "w", encoding="utf-8") as out:
        out.write("# The works the ruby of editors-ruby.tsv was counted in: Aozora Bunko's path, author, title.\n")
        for path in sorted(used):
            author, title = titles.get(path, ("", ""))
            out.write(f"{path}\t{author}\t{title}\n")
    works_of_base = collections.defaultdict(set)
    for (base, _, _), w in works.items():
        works_of_base[base] |= w
    sys.stdout.write(HEADER)
    for key in sorted(works):
        base, nxt, reading = key
        if len(works_of_base[base]) < 2:
            continue
        sys.stdout.write(f"{base}\t{nxt}\t{reading}\t{len(works[key])}\t{times[key]}\n")


if __name__ == "__main__":
    main()
