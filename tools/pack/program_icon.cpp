#include "pack/program_icon.h"

#include <set>

#include "pack/pe_image.h"
#include "pack/resource_tree.h"

namespace brisomel::pack {
namespace {

constexpr size_t kGroupEntrySize = 14;
constexpr uint16_t kLanguageNeutral = 0;

// The icon resource numbers a group lists; none when its data is damaged.
std::set<uint16_t> ListedIcons(const std::vector<uint8_t>& group) {
  ByteView bytes(group);
  std::set<uint16_t> listed;
  size_t count = bytes.U16(4);
  for (size_t i = 0; i < count && bytes.Has(kIconHeaderSize + i * kGroupEntrySize, 14); ++i) {
    listed.insert(bytes.U16(kIconHeaderSize + i * kGroupEntrySize + 12));
  }
  return listed;
}

// Every icon resource number listed by the data under `group` (all its languages).
void CollectListed(const ResourceNode& group, std::set<uint16_t>* listed) {
  if (group.is_data) {
    std::set<uint16_t> more = ListedIcons(group.data);
    listed->insert(more.begin(), more.end());
  }
  for (const ResourceNode& child : group.children) CollectListed(child, listed);
}

}  // namespace

std::vector<uint8_t> IconGroupData(const std::vector<IconImage>& images,
                                   const std::vector<uint16_t>& numbers) {
  std::vector<uint8_t> out;
  Append16(out, 0);
  Append16(out, 1);
  Append16(out, static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(images[i].width));  // 256 is written as 0
    out.push_back(static_cast<uint8_t>(images[i].height));
    out.push_back(images[i].color_count);
    out.push_back(0);
    Append16(out, 1);
    Append16(out, static_cast<uint16_t>(images[i].bit_count));
    Append32(out, static_cast<uint32_t>(images[i].data.size()));
    Append16(out, numbers[i]);
  }
  return out;
}

namespace {

ResourceNode Directory(ResourceId id) {
  ResourceNode node;
  node.id = std::move(id);
  return node;
}

bool ReadTree(ByteView program, PeImage* image, ResourceNode* root, std::string* error) {
  return image->Parse(program, error) && ReadResources(*image, root, error);
}

}  // namespace

bool ReplaceProgramIcon(ByteView program, const std::vector<IconImage>& images,
                        std::vector<uint8_t>* edited, std::string* error) {
  PeImage image;
  ResourceNode root;
  if (!ReadTree(program, &image, &root, error)) return false;
  if (images.empty() || images.size() > 0xFFFF) {
    *error = "cannot take an icon of " + std::to_string(images.size()) + " images";
    return false;
  }

  // Both type directories first: adding one moves the other.
  for (uint16_t type : {kResourceIcon, kResourceIconGroup}) {
    if (root.Find(ResourceId::Number(type)) == nullptr) {
      root.Insert(Directory(ResourceId::Number(type)));
    }
  }
  ResourceNode* groups = root.Find(ResourceId::Number(kResourceIconGroup));
  ResourceNode* icons = root.Find(ResourceId::Number(kResourceIcon));
  if (groups->is_data || icons->is_data) {
    *error = "is a damaged Windows program (its icon resources are not lists of names)";
    return false;
  }
  if (groups->children.empty()) {
    ResourceNode variant = Directory(ResourceId::Number(kLanguageNeutral));
    variant.is_data = true;
    groups->Insert(Directory(ResourceId::Number(1))).Insert(std::move(variant));
  }
  ResourceNode* group = groups->Find(InWindowsOrder(*groups).front()->id);
  if (group->is_data || group->children.empty() || !group->children.front().is_data) {
    *error = "is a damaged Windows program (its icon group is not a list of languages)";
    return false;
  }

  // Icon resources that only the replaced group lists go; those another group lists stay.
  std::set<uint16_t> dropped, kept;
  CollectListed(*group, &dropped);
  for (const ResourceNode& other : groups->children) {
    if (&other != group) CollectListed(other, &kept);
  }
  std::erase_if(icons->children, [&](const ResourceNode& icon) {
    return !icon.id.is_text && dropped.count(icon.id.number) != 0 &&
           kept.count(icon.id.number) == 0;
  });

  // New icon resources take the lowest free numbers, in the group's language.
  std::set<uint16_t> used;
  for (const ResourceNode& icon : icons->children) {
    if (!icon.id.is_text) used.insert(icon.id.number);
  }
  ResourceId language = group->children.front().id;
  std::vector<uint16_t> numbers;
  uint32_t next = 1;
  for (const IconImage& icon_image : images) {
    while (next <= 0xFFFF && used.count(static_cast<uint16_t>(next)) != 0) ++next;
    if (next > 0xFFFF) {
      *error = "has no free icon resource numbers left";
      return false;
    }
    numbers.push_back(static_cast<uint16_t>(next));
    ResourceNode data = Directory(language);
    data.is_data = true;
    data.data = icon_image.data;
    icons->Insert(Directory(ResourceId::Number(static_cast<uint16_t>(next++)))).Insert(data);
  }
  std::vector<uint8_t> group_data = IconGroupData(images, numbers);
  for (ResourceNode& variant : group->children) {
    variant.is_data = true;
    variant.children.clear();
    variant.data = group_data;
  }

  uint32_t rva = image.directory(kDirectoryResources).rva;
  return image.WithResources(LayOutResources(root, rva), edited, error);
}

bool ReadProgramIcon(ByteView program, std::vector<IconImage>* images, std::string* error) {
  images->clear();
  PeImage image;
  ResourceNode root;
  if (!ReadTree(program, &image, &root, error)) return false;
  const ResourceNode* groups = root.Find(ResourceId::Number(kResourceIconGroup));
  const ResourceNode* icons = root.Find(ResourceId::Number(kResourceIcon));
  if (groups == nullptr || groups->children.empty() || icons == nullptr) {
    *error = "holds no icon";
    return false;
  }
  const ResourceNode* group = InWindowsOrder(*groups).front();
  if (group->children.empty() || !group->children.front().is_data) {
    *error = "has a damaged icon group";
    return false;
  }
  ByteView bytes(group->children.front().data);
  size_t count = bytes.U16(4);
  if (bytes.U16(0) != 0 || bytes.U16(2) != 1 || count == 0 ||
      !bytes.Has(kIconHeaderSize, count * kGroupEntrySize)) {
    *error = "has a damaged icon group";
    return false;
  }
  for (size_t i = 0; i < count; ++i) {
    size_t entry = kIconHeaderSize + i * kGroupEntrySize;
    uint16_t number = bytes.U16(entry + 12);
    std::string which = "icon image " + std::to_string(i + 1);
    const ResourceNode* icon = icons->Find(ResourceId::Number(number));
    if (icon == nullptr || icon->children.empty() || !icon->children.front().is_data) {
      *error = "lacks " + which + " (icon resource " + std::to_string(number) + ")";
      return false;
    }
    IconImage read;
    std::string why;
    const std::vector<uint8_t>& data = icon->children.front().data;
    if (!ExamineIconImage(ByteView(data), &read, &why)) {
      *error = "has a damaged " + which + ": it " + why;
      return false;
    }
    read.data = data;
    int width = bytes.U8(entry) == 0 ? kMaxIconSide : bytes.U8(entry);
    int height = bytes.U8(entry + 1) == 0 ? kMaxIconSide : bytes.U8(entry + 1);
    if (width != read.width || height != read.height || bytes.U16(entry + 6) != read.bit_count ||
        bytes.U32(entry + 8) != data.size()) {
      *error = "lists " + which + " as " + std::to_string(width) + "x" + std::to_string(height) +
               " of " + std::to_string(bytes.U16(entry + 6)) + " bits, but it is " +
               std::to_string(read.width) + "x" + std::to_string(read.height) + " of " +
               std::to_string(read.bit_count) + " bits";
      return false;
    }
    images->push_back(std::move(read));
  }
  return true;
}

}  // namespace brisomel::pack
