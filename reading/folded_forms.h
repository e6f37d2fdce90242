// Kanji in forms the dictionary does not know, and the forms it knows them by. The proposals read
// a word through these forms and keep the text's own in the word and its ruby.
#pragma once

#include <string>
#include <string_view>

namespace torvane::reading {

// The form the dictionary knows a character by, or 0 when it is its own: the jōyō list's 頰, 剝,
// 塡, 𠮟 outside code page 932, the names and words older texts print (鷗外, 摑む, 蠟燭), and the
// old forms (旧字体) of the jōyō kanji that texts of before 1946 keep in names and words (與太郎,
// 鷄, 行燈) and a few variants they print (嶋, 峯, 烟, 寐).
char32_t foldedForm(char32_t c);

// A text with each character in the form the dictionary knows it by: 行燈 as 行灯.
std::string inFoldedForms(std::string_view utf8);

}  // namespace torvane::reading
