#!/usr/bin/env python3
"""The table of reading/editors_ruby/, counted from Aozora Bunko's transcriptions.

  tools/editors_ruby_table.py CARDS reading/editors_ruby/works.tsv \
      > reading/editors_ruby/editors-ruby.tsv

CARDS is the folder cards/ of a checkout of aozorahack/aozorabunko_text (the transcriptions as
text, in Shift_JIS, ruby written 漢字《かんじ》 or ｜漢字《かんじ》). WORKS is written: every
work counted, as `path<TAB>author<TAB>title`.

Counted: the works in modern kana, save those of the authors below. Written: one row for each
base of two kanji or more, and for one kanji before okurigana (the proposals read one kanji
alone by its sentence, but a verb written with older okurigana, 慄《ふる》え, by its kana), next
kana and reading, with the authors whose works gave it (an author given once, however prolific)
and the times, for every reading two authors or more gave. The next kana is the first character after the base when that is hiragana and no
particle (the okurigana of 怒《おこ》って), else * (no okurigana: 音《ね》が). A base that ends in
kana its reading ends in too (｜見惚れ《みとれ》) is cut to its kanji. Readings in katakana
(glosses of foreign words, 燐寸《マッチ》) and bases without a kanji are left out.
"""
import argparse
import collections
import pathlib
import re
import sys

# Never counted: the authors of the evaluation set (tests/reading/ruby_eval/) and those whose
# works are kept back for judging the proposals independently. A work is left out when its
# heading names one, as author, translator or subject, or when it stands in one's folder.
KEPT_OUT_NAMES = [
    "新美南吉", "宮沢賢治", "宮澤賢治", "小川未明", "楠山正雄", "芥川龍之介", "芥川竜之介",
    "有島武郎", "鈴木三重吉", "豊島与志雄", "竹久夢二", "海野十三", "丘丘十郎", "江戸川乱歩",
    "夢野久作", "香倶土三鳥", "菊池寛", "下村千秋", "佐藤紅緑",
    # Their family and pen names alone, in titles such as 「芥川の原稿」.
    "新美", "宮沢", "宮澤", "賢治", "未明", "楠山", "芥川", "有島", "三重吉", "豊島", "与志雄",
    "夢二", "海野", "江戸川", "乱歩", "久作", "菊池", "千秋", "紅緑",
]
# Old forms a heading may spell the names in, read as the new (豊島與志雄).
OLD_FORMS = str.maketrans("與澤龍亂豐", "与沢竜乱豊")
KEPT_OUT_FOLDERS = {
    "000025", "000081", "000083", "000096", "000107", "000121", "000160", "000212", "000329",
    "000575", "000879", "000906", "001205", "001475", "001779",
}

KANJI = re.compile(r"[\u3400-\u9fff\uf900-\ufaff\U00020000-\U0002fa1f々〆ヵヶ仝]")
HIRAGANA = re.compile(r"^[\u3041-\u3096ー]+$")
# Spellings of the old kana usage: a work holding them often is no modern-kana transcription.
OLD_KANA = re.compile(r"[ゐゑヰヱ]|ませう|でせう|やうな|やうに|といふ|のやう|だらう|給ふ|[はいへ]ふ[。、」]")
OLD_READING = re.compile(r"[ゐゑ]|けふ|てふ|^くわ")
ANNOTATION = re.compile(r"［＃[^］]*］")
RUBY = re.compile(r"《([^》\n]*)》")
# After a base these start the next word, not its okurigana.
PARTICLES = set("のがをにはもとへでやかよね")
LEGEND_RULE = "-------------------------------------------------------"


def heading_and_body(text):
    """The heading's lines (title, author, translator ...) and the body, without the legend of
    the notation or the notes on the source book."""
    lines = text.split("\n")
    heading = []
    for line in lines[:8]:
        if line.startswith("----") or line.startswith("【"):
            break
        if line.strip():
            heading.append(line.strip())
    notes = text.rfind("底本：")
    body = text[:notes] if notes >= 0 else text
    legend_end = body.find(LEGEND_RULE, body.find(LEGEND_RULE) + len(LEGEND_RULE))
    if legend_end >= 0:
        body = body[legend_end + len(LEGEND_RULE):]
    return heading, body


def kept_out(folder, heading):
    """Whether a work, by its author's folder and its heading's lines, is never counted."""
    names = "".join(heading).replace(" ", "").replace("\u3000", "").translate(OLD_FORMS)
    return folder in KEPT_OUT_FOLDERS or any(n in names for n in KEPT_OUT_NAMES)


def in_modern_kana(body):
    # Under three in 20,000 characters: a long modern-kana transcription quotes an old poem now
    # and then; a short one that holds the old spellings is in them.
    return len(OLD_KANA.findall(body)) * 20000 < 3 * len(body)


def pairs_of(body):
    """(base, reading, the two characters after) of each ruby over a base holding a kanji."""
    for m in RUBY.finditer(body):
        start = m.start()
        bar = body.rfind("｜", max(0, start - 30), start)
        if bar >= 0 and "》" not in body[bar:start] and "\n" not in body[bar:start]:
            base = body[bar + 1:start]
        else:
            begin = start
            while begin > 0 and KANJI.match(body[begin - 1]):
                begin -= 1
            base = body[begin:start]
            # A base holding a character outside the code page (※［＃...］) is not whole.
            if not base or (begin > 0 and body[begin - 1] == "］"):
                continue
        after = ANNOTATION.sub("", body[m.end():m.end() + 40]).replace("｜", "")[:2]
        yield base, m.group(1), after


def normalised(base, reading, after):
    """(base, reading, after) with kana the base and reading end in moved to after."""
    while base and not KANJI.match(base[-1]) and reading.endswith(base[-1]) and len(reading) > 1:
        after = base[-1] + after
        base, reading = base[:-1], reading[:-1]
    return base, reading, after


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cards", type=pathlib.Path)
    parser.add_argument("works", type=pathlib.Path)
    args = parser.parse_args()
    authors = collections.defaultdict(set)  # an author's folder holds their works
    times = collections.Counter()
    counted = []
    for path in sorted(args.cards.glob("*/files/*/*.txt")):
        text = path.read_bytes().decode("cp932", errors="replace").replace("\r\n", "\n")
        heading, body = heading_and_body(text)
        folder = path.relative_to(args.cards).parts[0]
        if kept_out(folder, heading):
            continue
        if not in_modern_kana(body):
            continue
        work = "cards/" + path.relative_to(args.cards).as_posix()
        title = heading[0] if heading else ""
        author = heading[1] if len(heading) > 1 else ""
        counted.append(f"{work}\t{author}\t{title}")
        for base, reading, after in pairs_of(body):
            base, reading, after = normalised(base.strip(), reading.strip(), after)
            if not base or not all(KANJI.match(c) for c in base) or not HIRAGANA.match(reading):
                continue
            if OLD_READING.search(reading):  # a ruby kept in the old usage (今日《けふ》)
                continue
            if base[0] in "々ヵヶ":  # the rest of a base the text cuts (槍ヶ岳 after a line break)
                continue
            first = after[:1]
            okurigana = first and "\u3041" <= first <= "\u3096" and first not in PARTICLES
            if len(base) == 1 and not okurigana:
                continue
            key = (base, first if okurigana else "*", reading)
            authors[key].add(folder)
            times[key] += 1
    with args.works.open("w", encoding="utf-8") as out:
        out.write("# The works editors-ruby.tsv was counted from: path in aozorahack/"
                  "aozorabunko_text, author, title.\n")
        out.writelines(line + "\n" for line in counted)
    sys.stdout.write(
        "# How editors gave ruby, counted over Aozora Bunko's transcriptions in modern kana\n"
        "# (works.tsv). Columns: the base (kanji), its okurigana's first kana or * for none, the\n"
        "# reading, the authors whose works gave it, the times. Made by tools/editors_ruby_table.py.\n")
    for key in sorted(authors):
        if len(authors[key]) >= 2:
            base, nxt, reading = key
            sys.stdout.write(f"{base}\t{nxt}\t{reading}\t{len(authors[key])}\t{times[key]}\n")


if __name__ == "__main__":
    main()
