// The simple blocks: page break, paragraph and heading spaces, and horizontal rules. They hold
// no characters; their heights scale with the document's base font size.
#pragma once

#include "html/document/section_base.h"
#include "html/reader/attributes.h"

namespace brisomel {

// PAGE: ends the printed page at its Y.
class TPage : public TSectionBase {
 public:
  explicit TPage(TSectionList* list) : TSectionBase(list) {}
  const char* ClassName() const override { return "TPage"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  int32_t Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                int32_t Y) override;
};

class TParagraphSpace : public TSectionBase {
 public:
  explicit TParagraphSpace(TSectionList* list) : TSectionBase(list) {}
  const char* ClassName() const override { return "TParagraphSpace"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  void ComputeHeight() override;
  void CopySelection() override;
};

class THeadingSpace : public TSectionBase {
 public:
  THeadingSpace(TSectionList* list, int Level) : TSectionBase(list), HeadingSize(Level) {}
  const char* ClassName() const override { return "THeadingSpace"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  void ComputeHeight() override;
  void CopySelection() override;
  int HeadingSize;
};

// HR.
class THorzLine : public TSectionBase {
 public:
  THorzLine(TSectionList* list, const TAttributeList& Attributes);
  const char* ClassName() const override { return "THorzLine"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  void ComputeHeight() override;
  void CopySelection() override;
  int32_t LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                 int32_t& Curs) override;
  int32_t Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                int32_t Y) override;

  enum TAlign { alLeft, alCenter, alRight };
  int32_t VSize = 2;    // thickness
  int32_t HWidth = -1;  // -1: full width
  bool HPercent = false;
  Color HRColor = 0;
  bool HasColor = false;
  TAlign Align = alCenter;
  bool NoShade = false;
  // The float edges at the rule's Y, from the cell's left edge, taken at layout.
  int32_t EdgeLeft = 0, EdgeRight = 0;

 private:
  explicit THorzLine(TSectionList* list) : TSectionBase(list) {}
};

}  // namespace brisomel
