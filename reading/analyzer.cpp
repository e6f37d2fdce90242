#include "reading/analyzer.h"

#include <mecab.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
#include <utility>

#include "reading/kana.h"
#include "reading/modern_kana.h"
#include "reading/text_chunks.h"

namespace torvane::reading {

struct Analyzer::Model {
  std::unique_ptr<mecab_model_t, decltype(&mecab_model_destroy)> model{nullptr,
                                                                       &mecab_model_destroy};
  // Looking a word up needs a lattice for its nodes; one kept and cleared costs less than one
  // made for each of a text's words.
  std::mutex lookupMutex;
  std::unique_ptr<mecab_lattice_t, decltype(&mecab_lattice_destroy)> lookupLattice{
      nullptr, &mecab_lattice_destroy};
};

namespace {

namespace fs = std::filesystem;

using Tagger = std::unique_ptr<mecab_t, decltype(&mecab_destroy)>;
using Lattice = std::unique_ptr<mecab_lattice_t, decltype(&mecab_lattice_destroy)>;

bool isFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

fs::path executableDir() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : self.parent_path();
}

// The fields of an IPA dictionary feature string: 品詞, 細分類1-3, 活用型, 活用形, 原形, 読み,
// 発音; a listed word adds a tenth, "P" when its list marks it common and "-" otherwise.
struct Fields {
  std::string_view all[10];
  std::size_t count = 0;
};

// The first `wanted` fields, in one pass, without measuring the string first: this runs for
// every morpheme of a text.
Fields splitFeature(const char* feature, std::size_t wanted = 10) {
  Fields fields;
  const char* start = feature;
  for (const char* at = feature;; ++at) {
    if (*at != ',' && *at != '\0') continue;
    fields.all[fields.count++] = std::string_view(start, static_cast<std::size_t>(at - start));
    if (*at == '\0' || fields.count == wanted) break;
    start = at + 1;
  }
  return fields;
}

Morpheme toMorpheme(const mecab_node_t& node, std::size_t offset) {
  const Fields f = splitFeature(node.feature, 8);  // up to 読み
  Morpheme m;
  m.offset = offset;
  m.length = node.length;
  const std::string_view pos = f.count > 1 ? f.all[1] : f.all[0];
  m.partOfSpeech = std::string_view(node.feature, pos.data() + pos.size() - node.feature);
  if (f.count > 2) m.subclass2 = f.all[2];
  if (f.count > 3) m.subclass3 = f.all[3];
  if (f.count > 5) m.conjugation = f.all[5];
  if (f.count > 6) m.baseForm = f.all[6];
  m.known = node.stat != MECAB_UNK_NODE && f.count > 7 && f.all[7] != "*";
  if (m.known) {
    m.reading = inModernKana(std::string_view(node.surface, node.length), toHiragana(f.all[7]));
  }
  return m;
}

// Whether a file starts like a compiled user dictionary: MeCab's magic number (the file size
// mixed with a constant), version 102 and the user-dictionary type. MeCab's own check leaks
// memory when it fails, so a file that is no dictionary at all is turned away here.
std::optional<std::string> notAUserDictionary(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::uint32_t header[3] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return "it is too short";
  std::error_code error;
  const auto size = fs::file_size(path, error);
  constexpr std::uint32_t kMagic = 0xef718f77u, kVersion = 102, kUserDictionary = 1;
  if (error || (header[0] ^ kMagic) != size) return "it is no MeCab dictionary";
  if (header[1] != kVersion) return "it is a MeCab dictionary of another version";
  if (header[2] != kUserDictionary) return "it is no user dictionary";
  return std::nullopt;
}

}  // namespace

DictionaryPaths defaultDictionaryPaths() {
  DictionaryPaths paths;
  const char* dicdir = std::getenv("TORVANE_MECAB_DICDIR");
  paths.systemDir = dicdir != nullptr ? dicdir : TORVANE_MECAB_DICDIR;
  if (const char* user = std::getenv("TORVANE_USER_DIC")) {
    paths.userDictionary = user;
    return paths;
  }
  const fs::path here = executableDir();
  const fs::path candidates[] = {
      here / "torvane-user.dic", here / "../share/torvane/torvane-user.dic",
      TORVANE_INSTALL_DATADIR "/torvane-user.dic", TORVANE_BUILD_USER_DIC};
  for (const fs::path& candidate : candidates) {
    if (isFile(candidate)) {
      paths.userDictionary = candidate.lexically_normal().string();
      return paths;
    }
  }
  paths.userDictionary = TORVANE_BUILD_USER_DIC;  // reported as missing when opened
  return paths;
}

std::variant<Analyzer, AnalyzerError> Analyzer::open(const DictionaryPaths& paths) {
  const fs::path dicdir(paths.systemDir);
  if (!isFile(dicdir / "sys.dic") || !isFile(dicdir / "dicrc")) {
    return AnalyzerError{"the MeCab dictionary is not installed (no " + paths.systemDir +
                         "/sys.dic): install the Debian package " +
                         std::string(kDictionaryPackage)};
  }
  // The dictionary's own dicrc serves as the resource file, so no /etc/mecabrc is needed.
  const std::string rcfile = (dicdir / "dicrc").string();
  auto tryOpen = [&](const std::string* user) {
    std::vector<std::string> args = {"torvane", "-r", rcfile, "-d", paths.systemDir};
    if (user != nullptr) args.insert(args.end(), {"-u", *user});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    auto model = std::make_unique<Model>();
    model->model.reset(mecab_model_new(static_cast<int>(argv.size()), argv.data()));
    return model;
  };

  std::optional<std::string> userProblem;
  std::unique_ptr<Model> model;
  if (!paths.userDictionary.empty()) {
    if (!isFile(paths.userDictionary)) {
      userProblem = "the user dictionary " + paths.userDictionary + " is missing";
    } else if (const auto why = notAUserDictionary(paths.userDictionary)) {
      userProblem = "the user dictionary " + paths.userDictionary + " cannot be used: " + *why;
    } else {
      model = tryOpen(&paths.userDictionary);
      if (!model->model) {
        userProblem = "the user dictionary " + paths.userDictionary +
                      " cannot be used: " + mecab_strerror(nullptr);
      }
    }
  }
  if (!model || !model->model) model = tryOpen(nullptr);
  if (!model->model) {
    return AnalyzerError{"the MeCab dictionary in " + paths.systemDir + " cannot be opened (" +
                         mecab_strerror(nullptr) + "): reinstall the Debian package " +
                         std::string(kDictionaryPackage)};
  }
  return Analyzer(std::move(model), std::move(userProblem));
}

Analyzer::Analyzer(std::unique_ptr<Model> model, std::optional<std::string> userProblem)
    : model_(std::move(model)), userProblem_(std::move(userProblem)) {}
Analyzer::Analyzer(Analyzer&&) noexcept = default;
Analyzer& Analyzer::operator=(Analyzer&&) noexcept = default;
Analyzer::~Analyzer() = default;

namespace {

// Where a dictionary word glues a particle to kanji, the byte offset in the word of that
// particle, else 0. The IPA dictionary spells a few compounds with kana for a rare kanji (平が for
// 平臥, 目と for 目睹) and keeps place names with the particle that followed them (宮の, 八街へ);
// in a text these are almost always a kanji word and its particle: 覚平が, 私の病が, 宮の森.
std::size_t gluedParticleAt(const mecab_node_t& node) {
  const std::string_view feature(node.feature);
  const bool suruNoun = feature.starts_with("名詞,サ変接続,");
  const bool properNoun = feature.starts_with("名詞,固有名詞,");
  if (!suruNoun && !properNoun) return 0;
  const std::string_view surface(node.surface, node.length);
  constexpr std::size_t kKanaBytes = 3;
  if (surface.size() <= kKanaBytes) return 0;
  const std::size_t at = surface.size() - kKanaBytes;
  const std::string_view last = surface.substr(at);
  // に ends real words (犬死に), so only a name's に counts.
  static constexpr std::string_view kParticles[] = {"が", "の", "は", "へ", "と", "も"};
  const bool particle =
      std::ranges::find(kParticles, last) != std::end(kParticles) || (properNoun && last == "に");
  if (!particle) return 0;
  for (std::size_t i = 0; i < at;) {
    const Utf8Char c = utf8CharAt(surface, i);
    if (!isKanji(c.value)) return 0;
    i += c.length;
  }
  return at;
}

// The morphemes of some chunks of a text, with a tagger and a lattice of their own; room is made
// for `expected` of them.
std::vector<Morpheme> parseChunks(mecab_model_t* model, std::string_view utf8,
                                  std::span<const TextChunk> chunks, std::size_t expected) {
  const Tagger tagger(mecab_model_new_tagger(model), &mecab_destroy);
  const Lattice lattice(mecab_model_new_lattice(model), &mecab_lattice_destroy);
  std::vector<Morpheme> morphemes;
  if (!tagger || !lattice) return morphemes;
  morphemes.reserve(expected);

  // One lattice at a time, reused: its memory is that of the longest piece.
  for (const TextChunk& piece : chunks) {
    mecab_lattice_set_sentence2(lattice.get(), utf8.data() + piece.offset, piece.length);
    if (mecab_parse_lattice(tagger.get(), lattice.get()) == 0) continue;
    // A particle glued to kanji is cut off and the piece parsed again, the cut held.
    std::vector<std::size_t> cuts;
    for (const mecab_node_t* node = mecab_lattice_get_bos_node(lattice.get()); node != nullptr;
         node = node->next) {
      if (node->stat != MECAB_NOR_NODE) continue;
      if (const std::size_t at = gluedParticleAt(*node)) {
        cuts.push_back(static_cast<std::size_t>(node->surface - utf8.data()) - piece.offset + at);
      }
    }
    if (!cuts.empty()) {
      mecab_lattice_set_sentence2(lattice.get(), utf8.data() + piece.offset, piece.length);
      for (const std::size_t cut : cuts) {
        mecab_lattice_set_boundary_constraint(lattice.get(), cut, MECAB_TOKEN_BOUNDARY);
      }
      if (mecab_parse_lattice(tagger.get(), lattice.get()) == 0) continue;
    }
    for (const mecab_node_t* node = mecab_lattice_get_bos_node(lattice.get()); node != nullptr;
         node = node->next) {
      if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
      const auto offset = static_cast<std::size_t>(node->surface - utf8.data());
      morphemes.push_back(toMorpheme(*node, offset));
    }
  }
  return morphemes;
}

// Japanese prose has a morpheme in about every four bytes of UTF-8.
constexpr std::size_t kBytesPerMorpheme = 4;

// A long text is parsed in portions side by side, one for each core: MeCab's search takes most
// of the proposals' time, a model serves several taggers at once, and the chunks are parsed
// each on its own anyway. A portion shorter than this is not worth a thread.
constexpr std::size_t kPortionBytes = 256 * 1024;
constexpr std::size_t kMostPortions = 4;

}  // namespace

std::vector<Morpheme> Analyzer::parse(std::string_view utf8) const {
  mecab_model_t* model = model_->model.get();
  const std::vector<TextChunk> chunks = analysisChunks(utf8);
  const std::size_t expected = utf8.size() / kBytesPerMorpheme;
  const std::size_t portions =
      std::min({utf8.size() / kPortionBytes, std::size_t{std::thread::hardware_concurrency()},
                kMostPortions});
  if (portions < 2) return parseChunks(model, utf8, chunks, expected);

  // Portions of about equal bytes, cut between chunks; the first is parsed here.
  std::vector<std::span<const TextChunk>> parts;
  auto begin = chunks.begin();
  for (std::size_t k = 1; k <= portions; ++k) {
    const auto end = k == portions
                         ? chunks.end()
                         : std::ranges::lower_bound(begin, chunks.end(), utf8.size() * k / portions,
                                                    {}, &TextChunk::offset);
    parts.emplace_back(begin, end);
    begin = end;
  }
  std::vector<std::future<std::vector<Morpheme>>> others;
  for (std::size_t k = 1; k < parts.size(); ++k) {
    auto parseOne = [model, utf8, part = parts[k], count = expected / portions] {
      return parseChunks(model, utf8, part, count);
    };
    try {
      others.push_back(std::async(std::launch::async, parseOne));
    } catch (const std::system_error&) {
      others.push_back(std::async(std::launch::deferred, parseOne));  // no thread to be had
    }
  }
  std::vector<Morpheme> morphemes = parseChunks(model, utf8, parts.front(), expected);
  for (auto& other : others) {
    std::vector<Morpheme> more = other.get();
    morphemes.insert(morphemes.end(), std::make_move_iterator(more.begin()),
                     std::make_move_iterator(more.end()));
  }
  return morphemes;
}

Analyzer::WordReadings Analyzer::lookUp(std::string_view surface) const {
  WordReadings readings;
  if (surface.empty()) return readings;
  std::vector<std::pair<long, std::string>> ranked;
  {
    const std::lock_guard lock(model_->lookupMutex);
    if (!model_->lookupLattice) {
      model_->lookupLattice.reset(mecab_model_new_lattice(model_->model.get()));
      if (!model_->lookupLattice) return readings;
    }
    mecab_lattice_t* lattice = model_->lookupLattice.get();
    mecab_lattice_clear(lattice);  // frees the nodes of the last look-up
    const mecab_node_t* node = mecab_model_lookup(model_->model.get(), surface.data(),
                                                  surface.data() + surface.size(), lattice);
    for (; node != nullptr; node = node->bnext) {
      if (node->length != surface.size() || node->stat == MECAB_UNK_NODE) continue;
      const Fields f = splitFeature(node->feature);
      if (f.count < 8 || f.all[7] == "*") continue;
      std::string reading = inModernKana(surface, toHiragana(f.all[7]));
      if (f.count > 9) {
        const ListedReading r{reading, f.all[9] == "P", f.all[0] == "動詞" || f.all[0] == "形容詞"};
        if (std::find(readings.listed.begin(), readings.listed.end(), r) == readings.listed.end()) {
          readings.listed.push_back(r);
        }
        if (!r.common) continue;  // a rare listed reading is no choice to offer
      }
      ranked.emplace_back(node->wcost, std::move(reading));
    }
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [cost, reading] : ranked) {
    if (std::find(readings.ranked.begin(), readings.ranked.end(), reading) ==
        readings.ranked.end()) {
      readings.ranked.push_back(std::move(reading));
    }
  }
  // The list's own order: the trie gives a word's entries in no useful one.
  std::sort(readings.listed.begin(), readings.listed.end(),
            [](const auto& a, const auto& b) { return a.reading < b.reading; });
  return readings;
}

std::vector<std::string> Analyzer::readingsOf(std::string_view surface) const {
  return lookUp(surface).ranked;
}

std::vector<Analyzer::ListedReading> Analyzer::listedReadingsOf(std::string_view surface) const {
  return lookUp(surface).listed;
}

}  // namespace torvane::reading
