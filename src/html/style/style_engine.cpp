#include "html/style/style_engine.h"

#include <algorithm>

#include "html/style/html_sheet.h"

namespace brisomel {
namespace {

bool IsBlank(char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

void LowerInPlace(std::u16string& text) {
  for (char16_t& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
}

// The built-in sheet, read once: its rules and the names they use. Engines start from a copy
// of the names, so the shared rules' numbers hold in every engine.
struct BuiltInSheet {
  StyleAtoms atoms;
  std::vector<std::shared_ptr<const StyleRule>> rules;
};

const BuiltInSheet& TheBuiltInSheet() {
  static const BuiltInSheet* const sheet = [] {
    auto* built = new BuiltInSheet;
    const StyleMedia media;
    const StyleSheetContext context{built->atoms, media, nullptr};
    for (auto& rule : ReadStyleSheet(HtmlDefaultSheet(), {}, context))
      built->rules.push_back(std::move(rule));
    return built;
  }();
  return *sheet;
}

std::vector<std::shared_ptr<const StyleRule>> Shared(
    std::vector<std::unique_ptr<StyleRule>> rules) {
  return {std::make_move_iterator(rules.begin()), std::make_move_iterator(rules.end())};
}

template <typename T>
void AppendBytes(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

StyleEngine::StyleEngine(StyleDefaults defaults, StyleMedia media, bool html_sheet)
    : defaults_(std::move(defaults)),
      media_(media),
      atoms_(html_sheet ? TheBuiltInSheet().atoms : StyleAtoms()) {
  default_family_ = ParseFontFamilyList(defaults_.font_family);
  if (!default_family_) default_family_ = ParseFontFamilyList(u"serif");
  compute_.medium_font_size = defaults_.font_size;
  compute_.root_font_size = defaults_.font_size;
  compute_.color = defaults_.color;
  compute_.background = defaults_.background;
  compute_.link_color = defaults_.link_color;
  compute_.default_family = default_family_.get();

  ComputedStyle document;
  document.color = defaults_.color;
  std::fill(std::begin(document.border_color), std::end(document.border_color), defaults_.color);
  document.font_size = StyleLength::Px(defaults_.font_size);
  document.font_family = default_family_.get();
  document_style_ = Intern(document);

  // The built-in sheet has no @media, so one reading serves screen and print.
  if (html_sheet) AddRules(TheBuiltInSheet().rules, kBuiltIn);
}

void StyleEngine::AddSheet(std::u16string_view text, std::u16string_view location,
                           std::u16string_view media) {
  if (!MediaListMatches(media, media_)) return;
  const StyleSheetContext context{atoms_, media_, &loader_};
  AddRules(Shared(ReadStyleSheet(text, location, context)), kPage);
}

bool StyleEngine::LinkSheet(std::u16string_view href, std::u16string_view base,
                            std::u16string_view media) {
  if (!loader_ || !MediaListMatches(media, media_)) return false;
  std::u16string text, location;
  if (!loader_(href, base, text, location)) return false;
  AddSheet(text, location);
  return true;
}

void StyleEngine::SetLinkColor(Color color) {
  compute_.link_color = color;
  ForgetComputations();
}

void StyleEngine::ForgetComputations() {
  memo_.clear();
  document_frame_.child_style = nullptr;
  for (Frame& frame : frames_) frame.child_style = nullptr;
}

void StyleEngine::AddRules(std::vector<std::shared_ptr<const StyleRule>> rules, Layer layer) {
  for (std::shared_ptr<const StyleRule>& rule : rules) {
    for (const ComplexSelector& selector : rule->selectors) {
      if (selector.never) continue;
      const uint32_t index = static_cast<uint32_t>(indexed_.size());
      std::array<uint32_t, 4> ancestor_names{};
      size_t names = 0;
      auto need = [&](uint32_t atom) {
        if (atom != 0 && names < ancestor_names.size()) ancestor_names[names++] = atom;
      };
      for (size_t k = 1; k < selector.compounds.size(); ++k) {
        need(selector.compounds[k].tag);
        for (const SimpleSelector& simple : selector.compounds[k].simple)
          if (simple.kind == SimpleSelectorKind::Id || simple.kind == SimpleSelectorKind::Class)
            need(simple.atom);
      }
      indexed_.push_back(
          {&selector, &rule->declarations, selector.specificity, layer, ancestor_names});
      // The bucket: the rightmost compound's id, else its first class, else its type.
      const CompoundSelector& subject = selector.compounds.front();
      const SimpleSelector* id = nullptr;
      const SimpleSelector* class_name = nullptr;
      for (const SimpleSelector& simple : subject.simple) {
        if (simple.kind == SimpleSelectorKind::Id && !id) id = &simple;
        if (simple.kind == SimpleSelectorKind::Class && !class_name) class_name = &simple;
      }
      if (id)
        by_id_[id->atom].push_back(index);
      else if (class_name)
        by_class_[class_name->atom].push_back(index);
      else if (subject.tag)
        by_tag_[subject.tag].push_back(index);
      else
        universal_.push_back(index);
    }
    rules_.push_back(std::move(rule));
  }
  ForgetComputations();
  // Names on the stack that the new rules mention are known now.
  name_counts_.assign(atoms_.size() + 1, 0);
  for (size_t i = 0; i < depth_; ++i) {
    Resolve(frames_[i], subjects_[i]);
    CountNames(subjects_[i], 1);
  }
}

void StyleEngine::CountNames(const SelectorSubject& subject, int change) {
  auto count = [&](uint32_t atom) {
    if (atom != 0) name_counts_[atom] += static_cast<uint32_t>(change);
  };
  count(subject.tag);
  count(subject.id);
  for (uint32_t atom : subject.classes) count(atom);
}

void StyleEngine::Resolve(const Frame& frame, SelectorSubject& subject) const {
  subject.tag = atoms_.Find(frame.tag);
  subject.id = frame.id.empty() ? 0 : atoms_.Find(frame.id);
  subject.classes.clear();
  const std::u16string_view classes = frame.classes;
  for (size_t i = 0; i < classes.size();) {
    while (i < classes.size() && IsBlank(classes[i])) ++i;
    size_t j = i;
    while (j < classes.size() && !IsBlank(classes[j])) ++j;
    if (j > i)
      if (const uint32_t atom = atoms_.Find(classes.substr(i, j - i)))
        subject.classes.push_back(atom);
    i = j;
  }
  subject.attributes.clear();
  for (size_t i = 0; i < frame.attribute_count; ++i) {
    const auto& [name, value] = frame.attributes[i];
    if (const uint32_t atom = atoms_.Find(name)) subject.attributes.push_back({atom, value});
  }
}

const ComputedStyle& StyleEngine::Push(const StyleElement& element) {
  if (frames_.size() == depth_) {
    frames_.emplace_back();
    subjects_.emplace_back();
  }
  Frame& frame = frames_[depth_];
  frame.tag.assign(element.tag);
  LowerInPlace(frame.tag);
  frame.id.clear();
  frame.classes.clear();
  frame.attribute_count = 0;
  frame.children = 0;
  bool has_id = false, has_class = false, has_style = false, has_href = false;
  std::u16string_view style_text;
  for (const StyleAttribute& attribute : element.attributes) {
    if (frame.attribute_count == frame.attributes.size()) frame.attributes.emplace_back();
    auto& [name, value] = frame.attributes[frame.attribute_count++];
    name.assign(attribute.name);
    LowerInPlace(name);
    value.assign(attribute.value);
    // The first of duplicate attributes counts, as HTML reads them.
    if (name == u"id" && !has_id) {
      has_id = true;
      frame.id = attribute.value;
    } else if (name == u"class" && !has_class) {
      has_class = true;
      frame.classes = attribute.value;
    } else if (name == u"style" && !has_style) {
      has_style = true;
      style_text = attribute.value;
    } else if (name == u"href") {
      has_href = true;
    }
  }
  SelectorSubject& subject = subjects_[depth_];
  Resolve(frame, subject);
  subject.first_child = depth_ == 0 || frames_[depth_ - 1].children == 0;
  subject.link = has_href && (frame.tag == u"a" || frame.tag == u"area" || frame.tag == u"link");
  if (depth_ > 0) ++frames_[depth_ - 1].children;
  ++depth_;

  Match();
  CountNames(subject, 1);
  const ComputedStyle& parent = depth_ > 1 ? *frames_[depth_ - 2].style : *document_style_;
  frame.style = Cascade(parent, InlineBlock(element.hints), InlineBlock(style_text));
  return *frame.style;
}

void StyleEngine::Pop() {
  if (depth_ == 0) return;
  --depth_;
  CountNames(subjects_[depth_], -1);
}

void StyleEngine::PopTo(size_t depth) {
  while (depth_ > depth) Pop();
}

const ComputedStyle& StyleEngine::Current() const {
  return depth_ > 0 ? *frames_[depth_ - 1].style : *document_style_;
}

void StyleEngine::Match() {
  matched_.clear();
  const std::span<const SelectorSubject> stack(subjects_.data(), depth_);
  const SelectorSubject& subject = stack.back();
  auto consider = [&](const std::vector<uint32_t>& bucket) {
    for (uint32_t index : bucket) {
      const IndexedRule& rule = indexed_[index];
      bool possible = true;
      for (uint32_t atom : rule.ancestor_names) {
        if (atom == 0) break;
        possible &= name_counts_[atom] > 0;
      }
      if (possible && MatchesSelector(*rule.selector, stack)) matched_.push_back(index);
    }
  };
  auto consider_key = [&](const std::unordered_map<uint32_t, std::vector<uint32_t>>& buckets,
                          uint32_t atom) {
    if (atom == 0) return;
    if (auto it = buckets.find(atom); it != buckets.end()) consider(it->second);
  };
  consider_key(by_id_, subject.id);
  for (size_t i = 0; i < subject.classes.size(); ++i) {
    // A class written twice is looked up once.
    const uint32_t atom = subject.classes[i];
    if (std::find(subject.classes.begin(), subject.classes.begin() + static_cast<long>(i), atom) ==
        subject.classes.begin() + static_cast<long>(i))
      consider_key(by_class_, atom);
  }
  consider_key(by_tag_, subject.tag);
  consider(universal_);
  std::sort(matched_.begin(), matched_.end(), [&](uint32_t a, uint32_t b) {
    const IndexedRule& x = indexed_[a];
    const IndexedRule& y = indexed_[b];
    if (x.layer != y.layer) return x.layer < y.layer;
    if (x.specificity != y.specificity) return x.specificity < y.specificity;
    return a < b;
  });
}

const std::vector<StyleDeclaration>* StyleEngine::InlineBlock(std::u16string_view text) {
  if (text.empty()) return nullptr;
  auto it = inline_blocks_.find(text);
  if (it == inline_blocks_.end()) {
    auto block = std::make_unique<std::vector<StyleDeclaration>>(ParseStyleDeclarations(text));
    it = inline_blocks_.emplace(std::u16string(text), std::move(block)).first;
  }
  return it->second->empty() ? nullptr : it->second.get();
}

const ComputedStyle* StyleEngine::Cascade(const ComputedStyle& parent,
                                          const std::vector<StyleDeclaration>* hints,
                                          const std::vector<StyleDeclaration>* style_attribute) {
  // Equal inputs give equal values: the parent, the root (rem), what matched, the inline text.
  const ComputedStyle* root = depth_ > 1 ? frames_[0].style : nullptr;
  key_.clear();
  AppendBytes(key_, &parent);
  AppendBytes(key_, root);
  AppendBytes(key_, hints);
  AppendBytes(key_, style_attribute);
  for (uint32_t index : matched_) AppendBytes(key_, index);
  Frame& parent_frame = depth_ > 1 ? frames_[depth_ - 2] : document_frame_;
  if (parent_frame.child_style && parent_frame.child_key == key_) return parent_frame.child_style;
  parent_frame.child_key = key_;
  if (auto it = memo_.find(std::string_view(key_)); it != memo_.end())
    return parent_frame.child_style = it->second;

  StyleWinners winners;
  auto apply = [&](const std::vector<StyleDeclaration>& declarations, bool important,
                   bool from_page) {
    for (const StyleDeclaration& declaration : declarations) {
      if (declaration.important != important) continue;
      const size_t slot = static_cast<size_t>(declaration.property);
      winners.values[slot] = &declaration.value;
      const uint64_t bit = PropertyBit(declaration.property);
      winners.from_page = from_page ? winners.from_page | bit : winners.from_page & ~bit;
    }
  };
  auto apply_layer = [&](Layer layer, bool important) {
    for (uint32_t index : matched_)
      if (indexed_[index].layer == layer)
        apply(*indexed_[index].declarations, important, layer != kBuiltIn);
  };
  apply_layer(kBuiltIn, false);
  if (hints) apply(*hints, false, true);
  apply_layer(kPage, false);
  if (style_attribute) apply(*style_attribute, false, true);
  if (hints) apply(*hints, true, true);
  apply_layer(kPage, true);
  if (style_attribute) apply(*style_attribute, true, true);
  apply_layer(kBuiltIn, true);

  compute_.root_font_size = root ? root->FontSizePx() : defaults_.font_size;
  const ComputedStyle* style = Intern(ComputeStyle(parent, winners, compute_));
  memo_.emplace(key_, style);
  return parent_frame.child_style = style;
}

const ComputedStyle* StyleEngine::Intern(const ComputedStyle& style) {
  const std::string_view bytes(reinterpret_cast<const char*>(&style), sizeof style);
  if (auto it = interned_.find(bytes); it != interned_.end()) return it->second;
  const ComputedStyle& stored = styles_.emplace_back(style);
  interned_.emplace(std::string_view(reinterpret_cast<const char*>(&stored), sizeof stored),
                    &stored);
  return &stored;
}

std::string StyleEngine::Describe(const ComputedStyle& style) const {
  return DescribeComputedStyle(style, *document_style_);
}

std::string StyleEngine::DescribeRules() const {
  std::string text;
  for (const auto& rule : rules_) text += DescribeStyleRule(*rule, atoms_) + "\n";
  return text;
}

}  // namespace brisomel
