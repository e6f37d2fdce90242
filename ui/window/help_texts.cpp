#include "ui/window/help_texts.h"

namespace torvane::ui {

QString usageText() {
  return QStringLiteral(
      "<h3>使い方</h3>"
      "<ol>"
      "<li>文章をコピーして「貼り付ける」を押します（上の欄に直接入力もできます）。</li>"
      "<li>一覧から学年を選びます（「一年生で習う漢字で」〜「中学までに習う漢字で」）。</li>"
      "<li>「チェックする」を押すと、その学年でまだ習わない文字が<font color='#ff0000'>赤</font>、"
      "漢字以外で許される文字が<font color='#808080'>灰色</font>になり、下の欄に文章中の漢字が"
      "習う学年ごとに並びます。最後に、問題が何種類・何箇所あったかを知らせます。</li>"
      "<li>「コピーする」で、色の付いた文章を他のソフトに貼り付けられます。</li>"
      "</ol>"
      "<p><b>判定表</b>：「判定表」メニューで、1989年告示の学年別漢字配当表と1981年の常用漢字表"
      "（初めの設定）と、2020年度からの配当表と2010年の常用漢字表を切り替えます。"
      "使っている表はメニューバーの右端に出ます。「表の違いを見る…」で、二つの表で学年の違う"
      "文字を一覧できます。</p>"
      "<p><b>読みがな</b>：チェックのあと「書き換え」→「読みがなの案…」で、赤くなった漢字を含む"
      "語の読みの案が出ます。読みを直し、語ごとにひらがなにするかルビを付けるかを選んで、"
      "ルビ付きでコピーしたり、HTMLとして保存したり、上の欄に反映したりできます。</p>");
}

QString aboutText() {
  return QStringLiteral(
             "<h3>Torvane %1</h3>"
             "<p>習った漢字で書こう：文章中の漢字を、習う学年で点検します。</p>"
             "<p><b>判定表</b></p>"
             "<ul>"
             "<li>1989年告示の学年別漢字配当表（小学校学習指導要領、1006字）と"
             "1981年の常用漢字表（1945字）</li>"
             "<li>2017年告示の学年別漢字配当表（小学校学習指導要領、2020年度から、1026字）と"
             "2010年の常用漢字表（内閣告示、2136字）</li>"
             "</ul>"
             "<p><b>使っているソフトウェアとライセンス</b></p>"
             "<ul>"
             "<li>Qt 6（LGPL 3）</li>"
             "<li>ICU（Unicode License）</li>"
             "<li>libjpeg（Independent JPEG Group License）</li>"
             "<li>GNU C Library の iconv（LGPL 2.1 以降）：Shift_JIS（CP932）との変換</li>"
             "<li>MeCab（BSD License）と IPA 辞書（IPAdic License）：読みがなの案</li>"
             "<li>IPA フォント（IPA Font License）</li>"
             "</ul>")
      .arg(QStringLiteral(TORVANE_VERSION));
}

}  // namespace torvane::ui
