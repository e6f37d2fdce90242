"""What tools/editors_ruby_table.py counts and leaves out: the kept-back authors, old kana, and
the bases of the ruby notation."""
import pathlib
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
import editors_ruby_table as table  # noqa: E402


class PairsOf(unittest.TestCase):
    def test_bases_as_the_notation_marks_them(self):
        cases = [
            ("雪の中を歩《ある》いた", [("歩", "ある", "いた")]),
            ("その｜白い鳥《しらとり》が", [("白い鳥", "しらとり", "が")]),
            # An annotation after the ruby is no text; a base after a character outside the
            # code page is not whole.
            ("生命《いのち》［＃「生命」に傍点］だ", [("生命", "いのち", "だ")]),
            ("※［＃「木＋怱」、第3水準1-85-87］蔵《くら》", []),
        ]
        for body, pairs in cases:
            self.assertEqual(list(table.pairs_of(body)), pairs, body)


class WorksCounted(unittest.TestCase):
    def test_kept_back_authors_are_left_out_in_any_spelling(self):
        for heading in (["高尾ざんげ解説", "豊島與志雄著"], ["啄木と賢治", "高村光太郎"],
                        ["赤い蝋燭と人魚", "小川　未明"]):
            self.assertTrue(table.kept_out("000001", heading), heading)
        self.assertTrue(table.kept_out("000081", ["題のない詩"]))  # by folder alone
        self.assertFalse(table.kept_out("000020", ["可哀相な姉", "渡辺温"]))

    def test_old_kana_transcriptions_are_left_out(self):
        modern = "今日は雨が降っている。" * 2000
        self.assertTrue(table.in_modern_kana(modern))
        self.assertTrue(table.in_modern_kana(modern + "といふ歌を引いた"))  # one quotation
        self.assertFalse(table.in_modern_kana("鴨がゐる。鴨がゐる。"))
        self.assertFalse(table.in_modern_kana("さう言ひ給ふ。" * 500))


if __name__ == "__main__":
    unittest.main()
