#!/usr/bin/env python3
"""Rows for tests/reading/ruby_eval/ from Aozora Bunko text with ruby.

  tools/ruby_eval_rows.py --source TEXT IN > OUT.tsv

IN is Aozora's ruby notation (the "テキストファイル(ルビあり)" form), always with the bar:
｜base《reading》. Lines `#work<TAB>id<TAB>author<TAB>title<TAB>path` start a work; other
lines starting with # are skipped; a work's line may come again to continue it. Each ruby whose base holds a kanji becomes a row whose
context is its sentence with the ruby removed (a long sentence cut at commas). A word given
the same reading more than twice in a work is left out after the second time. Whole works
go to the tune or the report half, the larger works first to the smaller half.
"""
import argparse
import re
import sys

RUBY = re.compile(r"｜([^｜《》]+)《([^《》]+)》")
KANJI = re.compile(r"[\u3400-\u9fff\uf900-\ufaff々〆ヶ]")
KANA = re.compile(r"^[\u3041-\u309f\u30a0-\u30ffー]+$")
SENTENCE_END = re.compile(r"(?<=[。！？])(?![」』）])|(?<=[。！？][」』）])")
LONGEST = 60  # characters; longer sentences are cut after a comma

HEADER = """\
# Ruby as the editors of published children's texts gave it, for measuring the reading proposals.
# Source: {source}
# Columns: half (tune: rules and dictionaries may be tuned on it; report: never), work, the sentence
# with its ruby removed, the character index of the base in it, the base, its reading as given.
# Whole halves are works. Long sentences are cut at a comma; a word read the same way more than
# twice within a work was left out after the second time, and so were ruby over kana, ruby on a
# transcriber's note or a gaiji, katakana glosses of foreign words (脱出《エスケープ》) and readings
# printed in full-size kana (はいこうじよう). Made by tools/ruby_eval_rows.py.
"""


def plain(text):
    return RUBY.sub(lambda m: m.group(1), text)


def chunks(sentence):
    """The sentence, or its comma-ended pieces packed up to LONGEST plain characters."""
    if len(plain(sentence)) <= LONGEST:
        return [sentence]
    clauses = [c for c in re.split(r"(?<=、)", sentence) if c]
    out, current = [], ""
    for clause in clauses:
        if current and len(plain(current + clause)) > LONGEST:
            out.append(current)
            current = ""
        current += clause
    if current:
        out.append(current)
    return out


def items_of(chunk):
    """(context, at, base, reading) for each ruby in a chunk of marked-up text."""
    context, found, last = "", [], 0
    for m in RUBY.finditer(chunk):
        context += chunk[last:m.start()]
        found.append((len(context), m.group(1), m.group(2)))
        context += m.group(1)
        last = m.end()
    context += chunk[last:]
    return [(context, at, base, reading) for at, base, reading in found]


def read_works(path):
    works, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("#work\t"):
                _, wid, author, title, where = line.split("\t")
                # A work may be read in several passes; a repeated line continues it.
                current = next((w for w in works if w["id"] == wid), None)
                if current is None:
                    current = {"id": wid, "author": author, "title": title, "path": where,
                               "rows": [], "seen": {}}
                    works.append(current)
                continue
            if not line.strip() or line.startswith("#"):
                continue
            if current is None:
                sys.exit(f"{path}:{number}: text before the first #work line")
            if "《" in RUBY.sub("", line) or "｜" in RUBY.sub("", line):
                sys.exit(f"{path}:{number}: ruby without its bar: {line}")
            for sentence in SENTENCE_END.split(line.strip().lstrip("　")):
                for chunk in chunks(sentence.strip()):
                    for context, at, base, reading in items_of(chunk):
                        if not KANJI.search(base):
                            continue
                        if not KANA.match(reading):
                            sys.exit(f"{path}:{number}: a reading not in kana: {reading}")
                        key = (base, reading)
                        current["seen"][key] = current["seen"].get(key, 0) + 1
                        if current["seen"][key] > 2:
                            continue
                        current["rows"].append((context, at, base, reading))
    return works


def split_halves(works):
    size = {"tune": 0, "report": 0}
    for work in sorted(works, key=lambda w: -len(w["rows"])):
        half = "tune" if size["tune"] <= size["report"] else "report"
        work["half"] = half
        size[half] += len(work["rows"])
    return size


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True, help="the header's Source: line")
    parser.add_argument("input")
    args = parser.parse_args()
    works = read_works(args.input)
    size = split_halves(works)
    out = sys.stdout
    out.write(HEADER.format(source=args.source))
    for w in works:
        out.write(f"# work\t{w['id']}\t{w['half']}\t{w['author']}\t{w['title']}\t{w['path']}\n")
    out.write("half\twork\tcontext\tat\tbase\treading\n")
    for w in works:
        for context, at, base, reading in w["rows"]:
            out.write(f"{w['half']}\t{w['id']}\t{context}\t{at}\t{base}\t{reading}\n")
    print(f"{len(works)} works, tune {size['tune']}, report {size['report']}", file=sys.stderr)


if __name__ == "__main__":
    main()
