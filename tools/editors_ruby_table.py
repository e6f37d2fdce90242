#!/usr/bin/env python3
"""The table of reading/editors_ruby/ from ruby pairs copied out of Aozora Bunko's books.

  tools/editors_ruby_table.py reading/editors_ruby/works.tsv reading/editors_ruby/pairs.tsv \
      > reading/editors_ruby/editors-ruby.tsv

WORKS lines are `path<TAB>author<TAB>title<TAB>audience`, audience `children` for a book written
for children, `general` for any other. PAIRS lines are `base<TAB>reading<TAB>after<TAB>path`: a
ruby's base as printed, its reading, the (up to) two characters of text after it, and its work.
Lines starting with # are skipped in both.

Written: one row for each base of two kanji or more, and for one kanji before okurigana (the
proposals read one kanji alone by its sentence, but a verb written with older okurigana, 慄《ふる》え,
by its kana), next kana and reading, with the works it was given in and the times, for every base
given ruby in at least two works (counted as works, whatever their audience). A children's book counts as two works:
editors of books for adults give ruby mostly where the reading is unusual (往来《ゆきき》), those
of children's books wherever the kanji is hard, as the books the proposals serve. The next kana
is the first character after the base when that is hiragana and no particle (the okurigana of
怒《おこ》って), else * (no okurigana: 音《ね》が, 音《ね》。). A base that ends in kana its
reading ends in too (思い違い《おもいちがい》) is cut to its kanji. Readings in katakana (glosses
of foreign words, 燐寸《マッチ》) and bases without a kanji are left out.
"""
import argparse
import collections
import re
import sys

KANJI = re.compile(r"[\u3400-\u9fff\uf900-\ufaff\U00020000-\U0002fa1f々〆]")
HIRAGANA = re.compile(r"^[\u3041-\u3096ー]+$")
# After a base these start the next word, not its okurigana.
PARTICLES = set("のがをにはもとへでやかよね")
KATAKANA_TO_HIRAGANA = {c: c - 0x60 for c in range(0x30A1, 0x30F7)}

HEADER = """\
# How editors of children's books gave ruby, counted over Aozora Bunko's transcriptions (works in
# works.tsv). Columns: the base (kanji), its okurigana's first kana or * for none, the reading, the
# works it was given in (a children's book counts twice), the times. Made by
# tools/editors_ruby_table.py.
"""


def normalised(base, reading, after):
    """(base, reading, after) with kana the base and reading end in moved to after."""
    while base and not KANJI.match(base[-1]) and reading.endswith(base[-1]) and len(reading) > 1:
        after = base[-1] + after
        base, reading = base[:-1], reading[:-1]
    return base, reading, after


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("works")
    parser.add_argument("pairs")
    args = parser.parse_args()
    weight = {}
    with open(args.works, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 4 or fields[3] not in ("children", "general"):
                sys.exit(f"{args.works}: not a work with its audience: {line.strip()}")
            weight[fields[0]] = 2 if fields[3] == "children" else 1
    works = collections.defaultdict(set)
    times = collections.Counter()
    with open(args.pairs, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 4 or fields[3] not in weight:
                sys.exit(f"{args.pairs}:{number}: not a pair of a listed work")
            base, reading, after, work = fields
            base, reading, after = normalised(base.strip(), reading.strip(), after)
            if not base or not all(KANJI.match(c) for c in base):
                continue
            if not HIRAGANA.match(reading):
                continue
            first = after[:1]
            okurigana = first and "\u3041" <= first <= "\u3096" and first not in PARTICLES
            if len(base) == 1 and not okurigana:
                continue
            nxt = first if okurigana else "*"
            key = (base, nxt, reading)
            works[key].add(work)
            times[key] += 1
    works_of_base = collections.defaultdict(set)
    for (base, _, _), w in works.items():
        works_of_base[base] |= w
    sys.stdout.write(HEADER)
    for key in sorted(works):
        base, nxt, reading = key
        if len(works_of_base[base]) < 2:
            continue
        counted = sum(weight[w] for w in works[key])
        sys.stdout.write(f"{base}\t{nxt}\t{reading}\t{counted}\t{times[key]}\n")


if __name__ == "__main__":
    main()
