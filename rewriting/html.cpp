#include "rewriting/html.h"

namespace torvane::reading::html {

void appendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      case '\0': out += "\xEF\xBF\xBD"; break;
      default: out += c;
    }
  }
}

// Everything the page needs is in it: no scripts, fonts or pictures from elsewhere.
std::string_view documentHead() {
  return "<!DOCTYPE html>\n"
         "<html lang=\"ja\">\n"
         "<head>\n"
         "<meta charset=\"utf-8\">\n"
         "<title>ふりがな付きの文章</title>\n"
         "<style>\n"
         "body { font-family: \"IPAGothic\", \"IPAゴシック\", \"Noto Sans CJK JP\", "
         "\"Hiragino Sans\", \"Yu Gothic\", \"Meiryo\", sans-serif; font-size: 18px; "
         "line-height: 2.2; }\n"
         "p { margin: 0; min-height: 1em; white-space: pre-wrap; }\n"
         "rt { font-size: 0.5em; }\n"
         "</style>\n"
         "</head>\n"
         "<body>\n";
}

std::string_view documentTail() {
  return "</body>\n</html>\n";
}

}  // namespace torvane::reading::html
