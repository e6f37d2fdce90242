// Opening a .docx that holds 1 MB of text, and writing its round trip with a word in ruby every
// few lines: each should take well under half a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>

#include "documents/document.h"
#include "documents/writers.h"
#include "documents/zip_package.h"

namespace {

using namespace torvane::documents;

std::size_t textBytes() {
  return std::getenv("TORVANE_BENCH_SMALL") != nullptr ? 64 << 10 : 1 << 20;
}

// Paragraphs of kanji and kana in runs of a few characters each, as Word splits them at every
// edit and spelling mark; every fourth run bold.
std::string bigDocx() {
  static const std::string kChars[] = {"漢", "字", "危", "険", "な", "の", "を", "に",
                                       "爆", "発", "は", "が", "学", "校", "、", "。"};
  std::mt19937 random(932);
  std::string body;
  std::size_t text = 0;
  int run = 0;
  while (text < textBytes()) {
    body += "<w:p><w:pPr><w:pStyle w:val=\"Normal\"/></w:pPr>";
    for (int r = 0; r < 30; ++r, ++run) {
      body += run % 4 == 0 ? "<w:r><w:rPr><w:b/></w:rPr><w:t>" : "<w:r><w:rPr/><w:t>";
      const int length = 1 + static_cast<int>(random() % 6);
      for (int c = 0; c < length; ++c) body += kChars[random() % std::size(kChars)];
      text += static_cast<std::size_t>(length) * 3;
      body += "</w:t></w:r>";
    }
    body += "</w:p>";
  }
  return buildZip({{"[Content_Types].xml", "<Types/>"},
                   {"word/document.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document "
                    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                    "<w:body>" +
                        body + "</w:body></w:document>"}});
}

const std::string& docx() {
  static const std::string bytes = bigDocx();
  return bytes;
}

void BM_OpenDocx(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    OpenedDocument document = openDocument(docx());
    size = document.text.size();
    benchmark::DoNotOptimize(document.text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["text_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_OpenDocx)->Unit(benchmark::kMillisecond);

// A two-character word in ruby every 300 bytes, wherever it falls across runs.
void BM_RoundTripDocx(benchmark::State& state) {
  const OpenedDocument document = openDocument(docx());
  Marks marks;
  const std::string& text = document.text;
  for (std::size_t at = 0; at + 6 < text.size(); at += 300) {
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    const std::size_t end = at + 6;  // two characters of three bytes, or a line end among them
    if (end > text.size() || text.substr(at, 6).find_first_of("\r\n") != std::string::npos) continue;
    marks.words.push_back({at, end, {{at, end, "かんじ"}}, WordStyle::Ruby});
  }
  std::size_t left = 0;
  for (auto _ : state) {
    RoundTrip trip = writeRoundTrip(document, marks);
    left = trip.wordsLeftAlone;
    benchmark::DoNotOptimize(trip.bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.text.size()));
  state.counters["words"] = static_cast<double>(marks.words.size());
  state.counters["left_alone"] = static_cast<double>(left);
}
BENCHMARK(BM_RoundTripDocx)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
