// Fuzzes the frameset reader over a buffer, with every event assigned: the tree it builds is
// only kept, and the document-kind test must agree that a document read as a frame set is
// one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "html/reader/frameset_parser.h"

namespace {

using namespace brisomel;

class CountingTarget : public TFrameSetTarget {
 public:
  void SetFrameSetAttributes(const TAttributeList&) override {}
  TFrameSetTarget& AddSubFrameSet() override {
    children_.push_back(std::make_unique<CountingTarget>());
    return *children_.back();
  }
  void AddFrame(const TAttributeList&, const std::string&) override { ++frames_; }
  void EndFrameSet(const TFrameSetParseResult&) override {}

 private:
  std::vector<std::unique_ptr<CountingTarget>> children_;
  int frames_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  TFrameSetEvents events;
  events.OnSoundRequest = [](void*, const std::string&, int, bool) {};
  events.OnMeta = [](void*, const std::string&, const std::string&, const std::string&) {};
  events.OnScript = [](void*, const std::string&, const std::string&) {};
  events.OnInclude = [](void*, const std::string&, const std::vector<std::string>&,
                        std::string& buffer) { buffer = "<frame src=inc>"; };
  CountingTarget top;
  TFrameSetParseResult result;
  const bool found =
      ParseFrameSetDocument(events, top, TDocumentSource::Buffer(text, size), result);
  if (found && !IsFrameSetDocument(events.OnInclude, nullptr, TDocumentSource::Buffer(text, size)))
    abort();
  return 0;
}
