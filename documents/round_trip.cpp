// Marks put into the XML trees of a parsed package: each mark's text is cut out of its runs at
// the mark's two ends only, and written again as runs with the colour, kana or ruby it asks for.
#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "documents/marks.h"
#include "documents/package.h"
#include "documents/writers.h"
#include "documents/xml.h"
#include "documents/zip_package.h"

namespace torvane::documents {
namespace {

using pugi::xml_node;

bool is(xml_node node, std::string_view name) {
  return name == node.name();
}

// The order of w:rPr's children in the schema; Word drops a child that is out of order.
constexpr std::array<std::string_view, 40> kRunPropertyOrder = {"w:rStyle",
                                                                "w:rFonts",
                                                                "w:b",
                                                                "w:bCs",
                                                                "w:i",
                                                                "w:iCs",
                                                                "w:caps",
                                                                "w:smallCaps",
                                                                "w:strike",
                                                                "w:dstrike",
                                                                "w:outline",
                                                                "w:shadow",
                                                                "w:emboss",
                                                                "w:imprint",
                                                                "w:noProof",
                                                                "w:snapToGrid",
                                                                "w:vanish",
                                                                "w:webHidden",
                                                                "w:color",
                                                                "w:spacing",
                                                                "w:w",
                                                                "w:kern",
                                                                "w:position",
                                                                "w:sz",
                                                                "w:szCs",
                                                                "w:highlight",
                                                                "w:u",
                                                                "w:effect",
                                                                "w:bdr",
                                                                "w:shd",
                                                                "w:fitText",
                                                                "w:vertAlign",
                                                                "w:rtl",
                                                                "w:cs",
                                                                "w:em",
                                                                "w:lang",
                                                                "w:eastAsianLayout",
                                                                "w:specVanish",
                                                                "w:oMath",
                                                                "w:rPrChange"};
// The order of w:rubyPr's children.
constexpr std::array<std::string_view, 6> kRubyPropertyOrder = {
    "w:rubyAlign", "w:hps", "w:hpsRaise", "w:hpsBaseText", "w:lid", "w:dirty"};

template <std::size_t N>
std::size_t rankIn(const std::array<std::string_view, N>& order, std::string_view name) {
  const auto found = std::find(order.begin(), order.end(), name);
  return static_cast<std::size_t>(found - order.begin());  // N for an unknown child: last
}

// The child `name` of `properties` with w:val set, put where the schema order wants it.
template <std::size_t N>
xml_node setProperty(xml_node properties, const std::array<std::string_view, N>& order,
                     std::string_view name, std::string_view value) {
  const std::string key(name);
  xml_node child = properties.child(key.c_str());
  if (!child) {
    const std::size_t rank = rankIn(order, name);
    xml_node after;
    for (xml_node c : properties.children())
      if (rankIn(order, c.name()) > rank) {
        after = c;
        break;
      }
    child = after ? properties.insert_child_before(key.c_str(), after)
                  : properties.append_child(key.c_str());
  }
  if (!child.attribute("w:val")) child.append_attribute("w:val");
  child.attribute("w:val").set_value(std::string(value).c_str());
  return child;
}

xml_node insertElement(xml_node parent, xml_node before, const char* name) {
  return before ? parent.insert_child_before(name, before) : parent.append_child(name);
}

xml_node insertText(xml_node parent, xml_node before, std::string_view text) {
  xml_node node = before ? parent.insert_child_before(pugi::node_pcdata, before)
                         : parent.append_child(pugi::node_pcdata);
  node.set_value(std::string(text).c_str());
  return node;
}

// A piece of a mark's text that one run held, with what the mark makes of it.
struct Fragment {
  std::size_t from = 0;  // in the text
  std::size_t to = 0;
  std::size_t run = 0;  // index into the mark's runs
  std::optional<MarkColour> colour;
  int piece = -1;  // index into the region's pieces
};

struct Piece {
  std::size_t begin = 0;
  std::size_t end = 0;
  const std::string* reading = nullptr;
  WordStyle style = WordStyle::Ruby;
};

// What one region of the text becomes: the words and colours inside it.
struct Region {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::vector<Piece> pieces;
  std::vector<ColourRange> colours;
  std::size_t words = 0;
};

class Editor {
 public:
  explicit Editor(ParsedPackage& package) : package_(package) {
    applied_.changed.assign(package.parts.size(), false);
  }

  AppliedMarks apply(const Marks& marks) {
    std::vector<Region> regions = buildRegions(marks);
    // From the end backwards, so a cut never moves the text an earlier region points at.
    for (auto it = regions.rbegin(); it != regions.rend(); ++it) {
      if (!edit(*it)) applied_.wordsLeftAlone += it->words;
    }
    return applied_;
  }

 private:
  bool docx() const { return package_.format == DocumentFormat::Docx; }

  // The run holding an editable text node, and the element whose children the runs are.
  xml_node runOf(xml_node node) const {
    if (docx()) return node.parent();  // w:t in w:r
    return is(node.parent(), "text:span") ? node.parent() : node;
  }
  xml_node containerOf(xml_node node) const { return runOf(node).parent(); }

  // The segment holding text position `at`.
  std::size_t segmentAt(std::size_t at) const {
    const auto& segments = package_.segments;
    auto it = std::upper_bound(segments.begin(), segments.end(), at,
                               [](std::size_t x, const Segment& s) { return x < s.begin; });
    return static_cast<std::size_t>(it - segments.begin()) - 1;
  }

  // Whether [begin, end) is editable text in one container, part and zone, outside ruby.
  bool editableRange(std::size_t begin, std::size_t end) const {
    if (begin >= end || end > package_.text.size()) return false;
    const std::size_t first = segmentAt(begin);
    const Segment& head = package_.segments[first];
    const xml_node container = containerOf(head.node);
    for (std::size_t i = first; i < package_.segments.size() && package_.segments[i].begin < end;
         ++i) {
      const Segment& s = package_.segments[i];
      if (!s.editable || s.inRuby || s.part != head.part || s.zone != head.zone ||
          containerOf(s.node) != container)
        return false;
    }
    return true;
  }

  // Colour ranges cut where the text stops being editable in one container.
  void addColourPieces(const ColourRange& range, std::vector<ColourRange>& out) const {
    std::size_t at = std::min(range.begin, package_.text.size());
    const std::size_t end = std::min(range.end, package_.text.size());
    std::optional<ColourRange> open;
    while (at < end) {
      const Segment& s = package_.segments[segmentAt(at)];
      const std::size_t stop = std::min(end, s.end());
      const bool ok = s.editable && !s.inRuby;
      const bool joins = open && ok && open->end == at && editableRange(open->begin, stop);
      if (joins) {
        open->end = stop;
      } else {
        if (open) out.push_back(*open);
        open.reset();
        if (ok) open = ColourRange{at, stop, range.colour};
      }
      at = stop;
    }
    if (open) out.push_back(*open);
  }

  std::vector<Region> buildRegions(const Marks& marks) {
    struct Item {
      std::size_t begin, end;
      const WordRewrite* word;
      ColourRange colour;
    };
    std::vector<Item> items;
    for (const WordRewrite& word : marks.words) {
      if (word.pieces.empty()) continue;
      if (!editableRange(word.begin, word.end)) {
        ++applied_.wordsLeftAlone;
        continue;
      }
      items.push_back({word.begin, word.end, &word, {}});
    }
    std::vector<ColourRange> colours;
    for (const ColourRange& range : marks.colours) addColourPieces(range, colours);
    for (const ColourRange& range : colours)
      items.push_back({range.begin, range.end, nullptr, range});
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return a.begin < b.begin; });

    std::vector<Region> regions;
    for (const Item& item : items) {
      if (regions.empty() || item.begin >= regions.back().end) {
        Region region;
        region.begin = item.begin;
        region.end = item.end;
        regions.push_back(std::move(region));
      }
      Region& region = regions.back();
      region.end = std::max(region.end, item.end);
      if (item.word != nullptr) {
        ++region.words;
        for (const RubyPiece& p : item.word->pieces) {
          const std::size_t b = std::max(p.begin, item.word->begin);
          const std::size_t e = std::min(p.end, item.word->end);
          if (b < e) region.pieces.push_back({b, e, &p.reading, item.word->style});
        }
      } else {
        region.colours.push_back(item.colour);
      }
    }
    // A region that joins two containers (a word next to a colour across a run border of
    // another element) is not one edit.
    return regions;
  }

  // The text a node holds.
  std::string_view nodeText(xml_node node) const {
    return docx() ? std::string_view(node.text().get()) : std::string_view(node.value());
  }
  void setNodeText(xml_node node, std::string_view text) const {
    const std::string value(text);
    if (docx()) {
      node.text().set(value.c_str());
    } else {
      node.set_value(value.c_str());
    }
  }

  xml_node newTextElement(xml_node run, xml_node before, std::string_view text) const {
    if (!docx()) return insertText(run, before, text);
    xml_node t = insertElement(run, before, "w:t");
    t.append_attribute("xml:space").set_value("preserve");
    t.text().set(std::string(text).c_str());
    return t;
  }

  // Cuts the run holding `node` before its byte `offset`: everything after moves into a new run
  // right behind it, which is returned; nothing happens (a null node) when one side is empty.
  xml_node cut(xml_node node, std::size_t offset) {
    const std::string_view text = nodeText(node);
    const xml_node run = runOf(node);
    if (run == node) {  // a bare text node of an .odt paragraph
      if (offset == 0 || offset >= text.size()) return {};
      const std::string tail(text.substr(offset));
      setNodeText(node, text.substr(0, offset));
      return insertText(run.parent(), node.next_sibling(), tail);
    }
    bool contentBefore = offset > 0;
    for (xml_node c = node.previous_sibling(); c && !contentBefore; c = c.previous_sibling())
      contentBefore = !is(c, "w:rPr");
    const bool contentAfter = offset < text.size() || node.next_sibling();
    if (!contentBefore || !contentAfter) return {};

    xml_node next = run.parent().insert_child_after(run.name(), run);
    for (pugi::xml_attribute a : run.attributes()) next.append_copy(a);
    if (const xml_node properties = run.child("w:rPr")) next.append_copy(properties);
    xml_node moveFrom = node.next_sibling();
    if (offset == 0) {
      moveFrom = node;
    } else if (offset < text.size()) {
      const std::string tail(text.substr(offset));
      setNodeText(node, text.substr(0, offset));
      newTextElement(next, {}, tail);
    }
    while (moveFrom) {
      const xml_node following = moveFrom.next_sibling();
      next.append_move(moveFrom);
      moveFrom = following;
    }
    return next;
  }

  // Whether a sibling between a mark's runs is a run, one to leave where it is, or neither.
  enum class Sibling { Run, Keep, Foreign };
  Sibling kindOf(xml_node node) const {
    if (docx()) {
      if (is(node, "w:r")) {
        for (xml_node c : node.children()) {
          if (!is(c, "w:rPr") && !is(c, "w:t") && !is(c, "w:lastRenderedPageBreak"))
            return Sibling::Foreign;
        }
        return Sibling::Run;
      }
      const std::string_view name = node.name();
      return name == "w:proofErr" || name == "w:bookmarkStart" || name == "w:bookmarkEnd" ||
                     name == "w:permStart" || name == "w:permEnd"
                 ? Sibling::Keep
                 : Sibling::Foreign;
    }
    if (node.type() == pugi::node_pcdata) return Sibling::Run;
    if (is(node, "text:span")) {
      for (xml_node c : node.children())
        if (c.type() != pugi::node_pcdata) return Sibling::Foreign;
      return Sibling::Run;
    }
    const std::string_view name = node.name();
    return name == "text:bookmark" || name == "text:bookmark-start" ||
                   name == "text:bookmark-end" || name == "text:soft-page-break"
               ? Sibling::Keep
               : Sibling::Foreign;
  }

  std::string runText(xml_node run) const {
    if (run.type() == pugi::node_pcdata) return run.value();
    std::string text;
    for (xml_node c : run.children()) {
      if (docx() && is(c, "w:t")) text += c.text().get();
      if (!docx() && c.type() == pugi::node_pcdata) text += c.value();
    }
    return text;
  }

  bool edit(const Region& region) {
    const Segment headSegment = package_.segments[segmentAt(region.begin)];
    const Segment tailSegment = package_.segments[segmentAt(region.end - 1)];
    xml_node container = containerOf(headSegment.node);
    if (!editableRange(region.begin, region.end)) return false;

    // Runs of their own for the region's text: cut at its end, then at its beginning.
    cut(tailSegment.node, tailSegment.nodeOffset + (region.end - tailSegment.begin));
    const xml_node afterHead =
        cut(headSegment.node, headSegment.nodeOffset + (region.begin - headSegment.begin));
    const xml_node firstRun = afterHead ? afterHead : runOf(headSegment.node);
    const xml_node lastRun =
        tailSegment.node == headSegment.node ? firstRun : runOf(tailSegment.node);

    std::vector<xml_node> runs;
    std::vector<std::size_t> runStarts;
    std::size_t at = region.begin;
    for (xml_node n = firstRun;; n = n.next_sibling()) {
      if (!n) return false;
      const Sibling kind = kindOf(n);
      if (kind == Sibling::Foreign) return false;
      if (kind == Sibling::Run) {
        runs.push_back(n);
        runStarts.push_back(at);
        at += runText(n).size();
      }
      if (n == lastRun) break;
    }
    if (at != region.end) return false;
    std::string joined;
    for (xml_node run : runs) joined += runText(run);
    if (joined != std::string_view(package_.text).substr(region.begin, region.end - region.begin))
      return false;

    const std::vector<Fragment> fragments = fragmentsOf(region, runStarts);
    write(container, firstRun, runs, region, fragments);
    for (xml_node run : runs) container.remove_child(run);
    applied_.changed[headSegment.part] = true;
    return true;
  }

  std::vector<Fragment> fragmentsOf(const Region& region,
                                    const std::vector<std::size_t>& runStarts) const {
    std::vector<std::size_t> cuts(runStarts.begin(), runStarts.end());
    cuts.push_back(region.end);
    for (const Piece& p : region.pieces) {
      cuts.push_back(p.begin);
      cuts.push_back(p.end);
    }
    for (const ColourRange& c : region.colours) {
      cuts.push_back(std::max(c.begin, region.begin));
      cuts.push_back(std::min(c.end, region.end));
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<Fragment> fragments;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
      Fragment f;
      f.from = cuts[i];
      f.to = cuts[i + 1];
      if (f.from < region.begin || f.to > region.end) continue;
      f.run =
          static_cast<std::size_t>(std::upper_bound(runStarts.begin(), runStarts.end(), f.from) -
                                   runStarts.begin()) -
          1;
      for (const ColourRange& c : region.colours)
        if (c.begin <= f.from && f.to <= c.end) f.colour = c.colour;
      for (std::size_t p = 0; p < region.pieces.size(); ++p)
        if (region.pieces[p].begin <= f.from && f.to <= region.pieces[p].end)
          f.piece = static_cast<int>(p);
      fragments.push_back(f);
    }
    return fragments;
  }

  void write(xml_node container, xml_node before, const std::vector<xml_node>& runs,
             const Region& region, const std::vector<Fragment>& fragments) {
    const std::string_view text = package_.text;
    for (std::size_t i = 0; i < fragments.size();) {
      const Fragment& f = fragments[i];
      if (f.piece < 0) {
        plain(container, before, runs[f.run], text.substr(f.from, f.to - f.from), f.colour);
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < fragments.size() && fragments[j].piece == f.piece) ++j;
      const Piece& piece = region.pieces[static_cast<std::size_t>(f.piece)];
      if (piece.style == WordStyle::Kana) {
        plain(container, before, runs[f.run], *piece.reading, f.colour);
      } else {
        ruby(container, before, runs, fragments, i, j, *piece.reading);
      }
      i = j;
    }
  }

  static const char* colourValue(MarkColour colour, bool docx) {
    if (docx) return colour == MarkColour::Red ? "FF0000" : "808080";
    return colour == MarkColour::Red ? "#ff0000" : "#808080";
  }

  void plain(xml_node container, xml_node before, xml_node source, std::string_view text,
             std::optional<MarkColour> colour) {
    if (docx()) {
      xml_node run = insertElement(container, before, "w:r");
      for (pugi::xml_attribute a : source.attributes()) run.append_copy(a);
      xml_node properties = source.child("w:rPr");
      if (properties) properties = run.append_copy(properties);
      if (colour) {
        if (!properties) properties = run.append_child("w:rPr");
        setProperty(properties, kRunPropertyOrder, "w:color", colourValue(*colour, true));
      }
      newTextElement(run, {}, text);
      return;
    }
    xml_node parent = container;
    xml_node at = before;
    if (source.type() != pugi::node_pcdata) {  // a span: the same span again around the text
      parent = insertElement(container, before, "text:span");
      for (pugi::xml_attribute a : source.attributes()) parent.append_copy(a);
      at = {};
    }
    if (colour) {
      parent = insertElement(parent, at, "text:span");
      parent.append_attribute("text:style-name").set_value(odtColourStyle(*colour));
      at = {};
    }
    insertText(parent, at, text);
  }

  void ruby(xml_node container, xml_node before, const std::vector<xml_node>& runs,
            const std::vector<Fragment>& fragments, std::size_t from, std::size_t to,
            std::string_view reading) {
    const std::string_view text = package_.text;
    const xml_node source = runs[fragments[from].run];
    if (!docx()) {
      xml_node ruby = insertElement(container, before, "text:ruby");
      ruby.append_attribute("text:style-name").set_value(odtRubyStyle());
      xml_node base = ruby.append_child("text:ruby-base");
      for (std::size_t k = from; k < to; ++k) {
        const Fragment& f = fragments[k];
        plain(base, {}, runs[f.run], text.substr(f.from, f.to - f.from), f.colour);
      }
      insertText(ruby.append_child("text:ruby-text"), {}, reading);
      return;
    }
    const xml_node sourceProperties = source.child("w:rPr");
    const int baseSize = sourceProperties.child("w:sz")
                             ? sourceProperties.child("w:sz").attribute("w:val").as_int(21)
                             : 21;  // 10.5 pt, Word's size for Japanese text
    const int rubySize = std::max(1, baseSize / 2);
    xml_node outer = insertElement(container, before, "w:r");
    if (sourceProperties) {
      xml_node properties = outer.append_copy(sourceProperties);
      properties.remove_child("w:color");
    }
    xml_node ruby = outer.append_child("w:ruby");
    xml_node rubyProperties = ruby.append_child("w:rubyPr");
    setProperty(rubyProperties, kRubyPropertyOrder, "w:rubyAlign", "distributeSpace");
    setProperty(rubyProperties, kRubyPropertyOrder, "w:hps", std::to_string(rubySize));
    setProperty(rubyProperties, kRubyPropertyOrder, "w:hpsRaise",
                std::to_string(std::max(rubySize, baseSize - 2)));
    setProperty(rubyProperties, kRubyPropertyOrder, "w:hpsBaseText", std::to_string(baseSize));
    setProperty(rubyProperties, kRubyPropertyOrder, "w:lid", "ja-JP");
    xml_node rtRun = ruby.append_child("w:rt").append_child("w:r");
    xml_node rtProperties =
        sourceProperties ? rtRun.append_copy(sourceProperties) : rtRun.append_child("w:rPr");
    rtProperties.remove_child("w:color");
    setProperty(rtProperties, kRunPropertyOrder, "w:sz", std::to_string(rubySize));
    setProperty(rtProperties, kRunPropertyOrder, "w:szCs", std::to_string(rubySize));
    newTextElement(rtRun, {}, reading);
    xml_node base = ruby.append_child("w:rubyBase");
    for (std::size_t k = from; k < to; ++k) {
      const Fragment& f = fragments[k];
      plain(base, {}, runs[f.run], text.substr(f.from, f.to - f.from), f.colour);
    }
  }

  // The automatic styles an .odt's marks use, added to content.xml once.
  const char* odtColourStyle(MarkColour colour) {
    ensureOdtStyles();
    return colour == MarkColour::Red ? "Torvane_Red" : "Torvane_Grey";
  }
  const char* odtRubyStyle() {
    ensureOdtStyles();
    return "Torvane_Ruby";
  }
  void ensureOdtStyles() {
    if (odtStylesAdded_) return;
    odtStylesAdded_ = true;
    xml_node root = package_.parts[0].xml->document_element();
    for (const auto& [prefix, uri] :
         {std::pair{"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
          std::pair{"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"}}) {
      if (!root.attribute(prefix)) root.append_attribute(prefix).set_value(uri);
    }
    xml_node styles = root.child("office:automatic-styles");
    if (!styles) {
      const xml_node body = root.child("office:body");
      styles = body ? root.insert_child_before("office:automatic-styles", body)
                    : root.append_child("office:automatic-styles");
    }
    for (const auto& [name, colour] :
         {std::pair{"Torvane_Red", "#ff0000"}, std::pair{"Torvane_Grey", "#808080"}}) {
      xml_node style = styles.append_child("style:style");
      style.append_attribute("style:name").set_value(name);
      style.append_attribute("style:family").set_value("text");
      style.append_child("style:text-properties").append_attribute("fo:color").set_value(colour);
    }
    xml_node ruby = styles.append_child("style:style");
    ruby.append_attribute("style:name").set_value("Torvane_Ruby");
    ruby.append_attribute("style:family").set_value("ruby");
    xml_node properties = ruby.append_child("style:ruby-properties");
    properties.append_attribute("style:ruby-position").set_value("above");
    properties.append_attribute("style:ruby-align").set_value("center");
  }

  ParsedPackage& package_;
  AppliedMarks applied_;
  bool odtStylesAdded_ = false;
};

}  // namespace

AppliedMarks applyMarks(ParsedPackage& package, const Marks& marks) {
  return Editor(package).apply(marks);
}

RoundTrip writeRoundTrip(const OpenedDocument& document, const Marks& marks) {
  if (!document.package) throw std::invalid_argument("a round trip needs a .docx or an .odt");
  const Package& original = *document.package;
  ParsedPackage parsed = parsePackage(original.format(), original.zipBytes());
  const AppliedMarks applied = applyMarks(parsed, marks);
  RoundTrip result;
  result.wordsLeftAlone = applied.wordsLeftAlone;
  std::vector<ZipEntry> replaced;
  for (std::size_t i = 0; i < parsed.parts.size(); ++i) {
    if (applied.changed[i])
      replaced.push_back({parsed.parts[i].name, serializeXml(*parsed.parts[i].xml)});
  }
  result.bytes =
      replaced.empty() ? original.zipBytes() : replaceEntries(original.zipBytes(), replaced);
  return result;
}

}  // namespace torvane::documents
