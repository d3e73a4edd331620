#include "pack/resource_tree.h"

#include <algorithm>
#include <map>
#include <set>

namespace brisomel::pack {
namespace {

constexpr uint32_t kHighBit = 0x80000000;
constexpr size_t kDirectorySize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
constexpr uint32_t kDataAlignment = 8;
// Windows uses three levels (type, name, language); a little room for odd but valid trees.
constexpr int kMaxDepth = 8;

class TreeReader {
 public:
  TreeReader(const PeImage& image, uint32_t base, uint64_t data_limit)
      : image_(image), base_(base), data_limit_(data_limit) {}

  bool Directory(uint32_t offset, int depth, ResourceNode* node) {
    if (depth > kMaxDepth) return Fail("nest too deep");
    if (!seen_.insert(offset).second) return Fail("reach one part twice");
    ByteView head = At(offset, kDirectorySize);
    if (head.size() == 0) return Fail("lie outside the file");
    node->characteristics = head.U32(0);
    node->time_stamp = head.U32(4);
    node->major_version = head.U16(8);
    node->minor_version = head.U16(10);
    uint32_t count = uint32_t{head.U16(12)} + head.U16(14);
    ByteView entries = At(uint64_t{offset} + kDirectorySize, count * kEntrySize);
    if (count != 0 && entries.size() == 0) return Fail("lie outside the file");
    for (uint32_t k = 0; k < count; ++k) {
      uint32_t name = entries.U32(k * kEntrySize);
      uint32_t target = entries.U32(k * kEntrySize + 4);
      ResourceNode child;
      if (!Id(name, &child.id)) return false;
      bool read = (target & kHighBit) != 0 ? Directory(target & ~kHighBit, depth + 1, &child)
                                           : Data(target, &child);
      if (!read) return false;
      node->children.push_back(std::move(child));
    }
    return true;
  }

  const std::string& problem() const { return problem_; }

 private:
  ByteView At(uint64_t offset, uint64_t size) const {
    uint64_t rva = base_ + offset;
    if (rva > UINT32_MAX || size > UINT32_MAX) return {};
    return image_.AtRva(static_cast<uint32_t>(rva), static_cast<uint32_t>(size));
  }

  bool Fail(const char* what) {
    problem_ = what;
    return false;
  }

  bool Id(uint32_t name, ResourceId* id) {
    if ((name & kHighBit) == 0) {
      if (name > 0xFFFF) return Fail("hold a number name above 65535");
      *id = ResourceId::Number(static_cast<uint16_t>(name));
      return true;
    }
    uint32_t offset = name & ~kHighBit;
    ByteView length = At(offset, 2);
    ByteView units = At(uint64_t{offset} + 2, uint64_t{length.U16(0)} * 2);
    if (length.size() == 0 || units.size() != uint64_t{length.U16(0)} * 2) {
      return Fail("hold a name outside the file");
    }
    id->is_text = true;
    for (size_t i = 0; i < units.size(); i += 2) id->text.push_back(units.U16(i));
    return true;
  }

  bool Data(uint32_t offset, ResourceNode* node) {
    if (!seen_.insert(offset).second) return Fail("reach one part twice");
    ByteView entry = At(offset, kDataEntrySize);
    if (entry.size() == 0) return Fail("lie outside the file");
    uint32_t size = entry.U32(4);
    ByteView data = image_.AtRva(entry.U32(0), size);
    if (data.size() != size) return Fail("hold data outside the file");
    data_total_ += size;
    if (data_total_ > data_limit_) return Fail("hold more data than the file");
    node->is_data = true;
    node->data = data.Copy();
    node->code_page = entry.U32(8);
    return true;
  }

  const PeImage& image_;
  uint32_t base_;
  uint64_t data_limit_;
  uint64_t data_total_ = 0;
  std::set<uint32_t> seen_;
  std::string problem_;
};

}  // namespace

std::vector<const ResourceNode*> InWindowsOrder(const ResourceNode& directory) {
  std::vector<const ResourceNode*> order;
  for (const ResourceNode& child : directory.children) {
    if (child.id.is_text) order.push_back(&child);
  }
  size_t named = order.size();
  for (const ResourceNode& child : directory.children) {
    if (!child.id.is_text) order.push_back(&child);
  }
  std::stable_sort(
      order.begin() + named, order.end(),
      [](const ResourceNode* a, const ResourceNode* b) { return a->id.number < b->id.number; });
  return order;
}

ResourceNode* ResourceNode::Find(const ResourceId& child_id) {
  for (ResourceNode& child : children) {
    if (child.id == child_id) return &child;
  }
  return nullptr;
}

const ResourceNode* ResourceNode::Find(const ResourceId& child_id) const {
  return const_cast<ResourceNode*>(this)->Find(child_id);
}

ResourceNode& ResourceNode::Insert(ResourceNode child) {
  auto place = std::find_if(children.begin(), children.end(), [&](const ResourceNode& other) {
    if (child.id.is_text) return !other.id.is_text;
    return !other.id.is_text && other.id.number > child.id.number;
  });
  return *children.insert(place, std::move(child));
}

bool ReadResources(const PeImage& image, ResourceNode* root, std::string* error) {
  *root = ResourceNode();
  PeImage::DataDirectory table = image.directory(kDirectoryResources);
  if (table.rva == 0 || table.size == 0) return true;
  uint64_t limit = 0;
  for (const PeImage::Section& section : image.sections()) limit += section.raw_size;
  TreeReader reader(image, table.rva, limit);
  if (!reader.Directory(0, 0, root)) {
    *error = "is a damaged Windows program (its resources " + reader.problem() + ")";
    return false;
  }
  return true;
}

std::vector<uint8_t> LayOutResources(const ResourceNode& root, uint32_t section_rva) {
  // Places: every directory, then every data entry, then every name, then the data.
  std::vector<const ResourceNode*> directories{&root};
  std::vector<const ResourceNode*> leaves;
  std::vector<const ResourceNode*> named;
  std::map<const ResourceNode*, uint32_t> directory_at, entry_at, name_at;
  uint32_t size = 0;
  for (size_t i = 0; i < directories.size(); ++i) {
    directory_at[directories[i]] = size;
    size += static_cast<uint32_t>(kDirectorySize + kEntrySize * directories[i]->children.size());
    for (const ResourceNode* child : InWindowsOrder(*directories[i])) {
      (child->is_data ? leaves : directories).push_back(child);
      if (child->id.is_text) named.push_back(child);
    }
  }
  for (const ResourceNode* leaf : leaves) {
    entry_at[leaf] = size;
    size += kDataEntrySize;
  }
  for (const ResourceNode* node : named) {
    name_at[node] = size;
    size += static_cast<uint32_t>(2 + 2 * node->id.text.size());
  }
  std::vector<uint32_t> data_at;
  for (const ResourceNode* leaf : leaves) {
    size = (size + kDataAlignment - 1) / kDataAlignment * kDataAlignment;
    data_at.push_back(size);
    size += static_cast<uint32_t>(leaf->data.size());
  }

  std::vector<uint8_t> out;
  out.reserve(size);
  for (const ResourceNode* directory : directories) {
    std::vector<const ResourceNode*> order = InWindowsOrder(*directory);
    uint16_t text_count = 0;
    for (const ResourceNode* child : order) text_count += child->id.is_text ? 1 : 0;
    Append32(out, directory->characteristics);
    Append32(out, directory->time_stamp);
    Append16(out, directory->major_version);
    Append16(out, directory->minor_version);
    Append16(out, text_count);
    Append16(out, static_cast<uint16_t>(order.size() - text_count));
    for (const ResourceNode* child : order) {
      Append32(out, child->id.is_text ? kHighBit | name_at[child] : child->id.number);
      Append32(out, child->is_data ? entry_at[child] : kHighBit | directory_at[child]);
    }
  }
  for (size_t i = 0; i < leaves.size(); ++i) {
    Append32(out, section_rva + data_at[i]);
    Append32(out, static_cast<uint32_t>(leaves[i]->data.size()));
    Append32(out, leaves[i]->code_page);
    Append32(out, 0);
  }
  for (const ResourceNode* node : named) {
    Append16(out, static_cast<uint16_t>(node->id.text.size()));
    for (char16_t unit : node->id.text) Append16(out, unit);
  }
  for (size_t i = 0; i < leaves.size(); ++i) {
    out.resize(data_at[i], 0);
    out.insert(out.end(), leaves[i]->data.begin(), leaves[i]->data.end());
  }
  return out;
}

}  // namespace brisomel::pack
