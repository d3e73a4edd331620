// Images inside documents. Each IMG (and INPUT TYPE=image) is a TImageObj at one character
// position of a text section (marker 0x04). It fetches its picture through the document,
// works out its display size from the picture and the WIDTH/HEIGHT attributes (percent widths
// follow the available width), shows a placeholder box with the ALT text while the picture is
// missing, draws itself inline or as a float, and answers hit tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/document/fonts.h"
#include "html/images/bitmap_cache.h"
#include "html/images/gif_image.h"
#include "html/reader/attributes.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace brisomel {

class TSectionList;
class TCell;
class TFormControlObj;
class TMapItem;

enum TObjAlign : uint8_t { oaTop = 0, oaMiddle = 1, oaBottom = 2, oaLeft = 3, oaRight = 4 };

class TImageObj {
 public:
  TImageObj(TSectionList* list, int32_t Pos, const TAttributeList& Attributes);
  ~TImageObj();
  TImageObj(const TImageObj&) = delete;
  TImageObj& operator=(const TImageObj&) = delete;
  std::unique_ptr<TImageObj> CreateCopy(TSectionList& Parent) const;

  // Fetches the picture when needed and sets the display size for AvailWidth.
  void LayOut(Canvas& canvas, int32_t AvailWidth, const TFontObj* FontRun);
  // Draws with BaselineY and TopY already in window coordinates (YOff subtracted).
  void Paint(Canvas& canvas, int32_t X, const TFontObj* FontRun, int32_t BaselineY, int32_t TopY);
  // The viewer delivers a picture that was pending (null: it failed).
  void ReplaceImage(const Bitmap* bitmap, const Bitmap* mask, TTransparency kind);

  bool Floating() const { return ObjAlign == oaLeft || ObjAlign == oaRight; }
  bool IsPlaceholder() const;
  // Hit test in canvas X and document Y: offsets inside the picture.
  bool Hit(int32_t X, int32_t Y, int32_t& IX, int32_t& IY) const;
  // The picture's top for painting (see Paint), in the same Y units as the arguments.
  int32_t PictureTop(const TFontObj* FontRun, int32_t BaselineY, int32_t TopY) const;

  int32_t Pos;
  int32_t SpecHeight = 0, SpecWidth = 0;
  bool PercentWidth = false;
  int32_t ObjHeight = 0, ObjWidth = 0;
  bool ImageKnown = false;
  std::u16string Source;
  std::u16string Alt;
  uint8_t ObjAlign = oaBottom;
  bool NoBorder = false;
  // The picture: a bitmap (from the cache or a placeholder) or an animated GIF.
  const Bitmap* Image = nullptr;
  TGIFImage* Gif = nullptr;
  const Bitmap* Mask = nullptr;
  // The picture's alpha plane (the cache entry's) when it has partial transparency: drawn
  // blended with what is beneath it where the canvas can, through Mask otherwise.
  const std::vector<uint8_t>* Alpha = nullptr;
  TSectionList* ParentSectionList;
  uint8_t Transparent = 0;
  bool IsMap = false;
  bool UseMap = false;
  bool HasBorder = false;
  int32_t DrawX = 0, DrawY = 0;
  std::u16string MapName;
  int32_t HSpace = 5;
  TFormControlObj* FormControl = nullptr;
  TCell* Cell = nullptr;
  int32_t ImageHeight = 0, ImageWidth = 0;
  // Layout of a float: its X from the cell's left edge and its document Y.
  int32_t FloatX = 0, FloatY = 0;
  // Set when the picture failed (error placeholder) or is pending (waiting placeholder).
  bool Failed = false, Pending = false;

 private:
  void Fetch();
  void ReleaseCache();
  std::string CacheKey_;  // the cache entry this image holds a use of
  int KnownZoom_ = 100;   // the zoom ObjWidth and ObjHeight were worked out for
  std::unique_ptr<TGIFImage> OwnGif_;
};

class TImageObjList {
 public:
  TImageObjList() = default;
  TImageObjList(const TImageObjList&) = delete;
  TImageObjList& operator=(const TImageObjList&) = delete;

  TImageObj* Add(std::unique_ptr<TImageObj> image) {
    Items.push_back(std::move(image));
    return Items.back().get();
  }
  int Count() const { return static_cast<int>(Items.size()); }
  TImageObj& operator[](int i) const { return *Items[i]; }

  TImageObj* ImageAt(int32_t Pos) const;
  int32_t HeightAt(int32_t Pos, uint8_t& Align) const;
  int32_t WidthAt(int32_t Pos, uint8_t& Align) const;
  // Pos of the first image at or after Pos, minus Pos; 9999 when there is none.
  int32_t DistanceToNext(int32_t Pos) const;
  bool HitLink(int32_t X, int32_t Y, TFormControlObj*& FormControl, TMapItem*& Map, bool& MapFound,
               bool& IsMap, int32_t& Pos, int32_t& IX, int32_t& IY) const;
  bool HitImage(int32_t X, int32_t Y, int32_t& IX, int32_t& IY, TImageObj*& Obj) const;
  void CreateCopy(TSectionList& Parent, const TImageObjList& Source);

  std::vector<std::unique_ptr<TImageObj>> Items;
};

}  // namespace brisomel
