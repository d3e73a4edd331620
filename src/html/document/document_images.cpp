// Document images: attributes, fetching through the document, sizing, painting, hit tests.
#include "html/document/document_images.h"

#include <algorithm>
#include <cstdlib>

#include "html/document/drawing.h"
#include "html/document/section_list.h"
#include "html/reader/text_utils.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// Attribute sizes beyond this are taken as this: the layout's sums stay far from overflow.
constexpr int32_t kMaxImageSide = 32767;
constexpr int kPlaceholderBox = 24;

const Bitmap& PlaceholderPicture(const TSectionList* list, int resource) {
  static const Bitmap kNone;
  if (list && list->Services.ImageModule) return list->Services.ImageModule->Placeholder(resource);
  return kNone;
}

FontSpec AltFont() {
  FontSpec f;
  f.name = "Arial";
  f.size = 8;
  return f;
}

// Draws `picture` into `dest` through `mask` (white = transparent): the destination shows
// where the mask is white, the picture elsewhere.
void DrawMasked(Canvas& canvas, const Rect& dest, const Bitmap& picture, const Bitmap& mask) {
  Rect src{0, 0, picture.width, picture.height};
  Rect msrc{0, 0, mask.width, mask.height};
  canvas.StretchBitmap(dest, picture, src, kSrcInvert);
  canvas.StretchBitmap(dest, mask, msrc, kSrcAnd);
  canvas.StretchBitmap(dest, picture, src, kSrcInvert);
}

}  // namespace

TImageObj::TImageObj(TSectionList* list, int32_t Pos_, const TAttributeList& Attributes)
    : Pos(Pos_), ParentSectionList(list) {
  for (const auto& item : Attributes) {
    const TAttribute& a = *item;
    switch (a.Symbol) {
      case symSrc:
        Source = TrimBlanks(a.Text);
        break;
      case symAlt:
        Alt = a.Text;
        break;
      case symAlign: {
        const std::u16string v = UpperCase(a.Text);
        if (v == u"TOP") {
          ObjAlign = oaTop;
        } else if (v == u"MIDDLE" || v == u"ABSMIDDLE") {
          ObjAlign = oaMiddle;
        } else if (v == u"LEFT") {
          ObjAlign = oaLeft;
        } else if (v == u"RIGHT") {
          ObjAlign = oaRight;
        }
        break;
      }
      case symBorder:
        NoBorder = a.Value == 0;
        break;
      case symWidth:
        if (a.Text.find(u'%') != std::u16string::npos) {
          if (a.Value >= 1 && a.Value <= 100) {
            SpecWidth = a.Value;
            PercentWidth = true;
          }
        } else if (a.Value > 0) {
          SpecWidth = std::min(a.Value, kMaxImageSide);
          PercentWidth = false;
        }
        break;
      case symHeight:
        // Heights below 1 are ignored.
        if (a.Value >= 1) SpecHeight = std::min(a.Value, kMaxImageSide);
        break;
      case symTransp:
        Transparent = 1;
        break;
      case symIsmap:
        IsMap = true;
        break;
      case symUsemap: {
        UseMap = true;
        std::u16string name = TrimBlanks(a.Text);
        if (!name.empty() && name[0] == u'#') name.erase(0, 1);
        MapName = UpperCase(name);
        break;
      }
      case symHspace:
        HSpace = std::min(20, std::abs(std::max(a.Value, -1000000)));
        break;
      default:
        break;
    }
  }
}

TImageObj::~TImageObj() {
  ReleaseCache();
  if (ParentSectionList) ParentSectionList->ForgetImage(this);
}

void TImageObj::ReleaseCache() {
  if (!CacheKey_.empty() && ParentSectionList && ParentSectionList->Services.ImageModule) {
    ParentSectionList->Services.ImageModule->Cache().ReleaseUse(CacheKey_);
  }
  CacheKey_.clear();
}

std::unique_ptr<TImageObj> TImageObj::CreateCopy(TSectionList& Parent) const {
  auto copy = std::make_unique<TImageObj>(&Parent, Pos, TAttributeList{});
  copy->SpecHeight = SpecHeight;
  copy->SpecWidth = SpecWidth;
  copy->PercentWidth = PercentWidth;
  copy->ObjHeight = ObjHeight;
  copy->ObjWidth = ObjWidth;
  copy->ImageKnown = ImageKnown;
  copy->KnownZoom_ = KnownZoom_;
  copy->Source = Source;
  copy->Alt = Alt;
  copy->ObjAlign = ObjAlign;
  copy->NoBorder = NoBorder;
  copy->Image = Image;
  copy->Mask = Mask;
  copy->Alpha = Alpha;
  copy->Transparent = Transparent;
  copy->IsMap = IsMap;
  copy->UseMap = UseMap;
  copy->HasBorder = HasBorder;
  copy->MapName = MapName;
  copy->HSpace = HSpace;
  copy->FormControl = FormControl;
  copy->ImageHeight = ImageHeight;
  copy->ImageWidth = ImageWidth;
  copy->Failed = Failed;
  copy->Pending = Pending;
  if (!CacheKey_.empty() && Parent.Services.ImageModule) {
    Parent.Services.ImageModule->Cache().AddUse(CacheKey_);
    copy->CacheKey_ = CacheKey_;
  }
  if (Gif) {
    // The copy animates (or prints) on its own.
    copy->OwnGif_ = Gif->Copy();
    copy->Gif = copy->OwnGif_.get();
  }
  return copy;
}

bool TImageObj::IsPlaceholder() const {
  if (!ParentSectionList || !ParentSectionList->ShowImages) return true;
  return Failed || Pending || (!Image && !Gif);
}

void TImageObj::Fetch() {
  TSectionList* list = ParentSectionList;
  Failed = Pending = false;
  if (!Source.empty()) {
    // The request handlers get the name as written; files are looked up by the expanded name.
    const bool expand = !list->ImageHandlers.bitmap_request && !list->ImageHandlers.image_request &&
                        list->ExpandName;
    const std::string name = expand ? list->ExpandName(Source) : Utf16ToUtf8(Source);
    std::string key = brisomel::CacheKey(name);
    bool pending = list->IsMissing(key);
    if (!pending) {
      TLookupResult r = list->LookupImage(name, Transparent == 1 ? tkBottomLeft : tkNone);
      pending = r.delayed;
      if (r.item) {
        CacheKey_ = key;
        if (r.gif) {
          if (r.from_cache) {
            OwnGif_ = r.gif->Copy();
            Gif = OwnGif_.get();
          } else {
            Gif = r.gif;
          }
          if (Gif->Animated()) list->AnimatedImages.push_back(this);
        } else {
          Image = r.bitmap;
          Mask = r.mask;
          Alpha = Mask ? r.alpha : nullptr;
          if (Mask) Transparent = r.kind == tkBottomLeft ? 1 : (r.from_cache ? 3 : 2);
        }
        if (Image || Gif) return;
        ReleaseCache();
      }
    }
    if (pending) {
      Pending = true;
      Image = &PlaceholderPicture(list, kResourceImageWait);
      list->MissingImages.push_back({key, this});
      return;
    }
  }
  Failed = true;
  Image = &PlaceholderPicture(list, kResourceImageError);
  Mask = &PlaceholderPicture(list, kResourceImageErrorMask);
  Alpha = nullptr;
  Transparent = 1;
}

void TImageObj::ReplaceImage(const Bitmap* bitmap, const Bitmap* mask, TTransparency kind) {
  Pending = false;
  ImageKnown = false;
  if (bitmap) {
    Image = bitmap;
    Mask = mask;
    Alpha = nullptr;
    Transparent = mask ? 2 : 0;
    Failed = false;
  } else {
    Failed = true;
    Image = &PlaceholderPicture(ParentSectionList, kResourceImageError);
    Mask = &PlaceholderPicture(ParentSectionList, kResourceImageErrorMask);
    Alpha = nullptr;
    Transparent = 1;
  }
}

void TImageObj::LayOut(Canvas& canvas, int32_t AvailWidth, const TFontObj* FontRun) {
  TSectionList* list = ParentSectionList;
  bool show = list && list->ShowImages;
  if (show && !Image && !Gif) {
    Fetch();
  } else if (show && Gif && !Pending && !Failed) {
    // Animated pictures register again at every document layout.
    if (Gif->Animated() && std::find(list->AnimatedImages.begin(), list->AnimatedImages.end(),
                                     this) == list->AnimatedImages.end()) {
      list->AnimatedImages.push_back(this);
    }
  }
  bool placeholder = IsPlaceholder();
  int32_t W0 = 0, H0 = 0;
  if (!show) {
    const Bitmap& wait = PlaceholderPicture(list, kResourceImageWait);
    W0 = wait.width;
    H0 = wait.height;
  } else if (Gif) {
    W0 = Gif->Width();
    H0 = Gif->Height();
  } else if (Image) {
    W0 = Image->width;
    H0 = Image->height;
  }
  // The size is worked out at 100% and then zoomed (a width in percent of the line excepted);
  // a size known at another zoom is worked out again.
  const int zoom = list ? list->Zoom : 100;
  if (ImageKnown && KnownZoom_ != zoom) ImageKnown = false;
  if (!ImageKnown) {
    KnownZoom_ = zoom;
    if (placeholder) {
      if (SpecWidth > 0 && SpecHeight > 0 && !PercentWidth) {
        ObjWidth = SpecWidth;
        ObjHeight = SpecHeight;
        ImageKnown = true;
      } else {
        ObjWidth = W0;
        ObjHeight = H0;
      }
    } else if (PercentWidth) {
      ObjWidth = std::max(0, MulDiv(std::max(0, AvailWidth), SpecWidth, 100));
      ObjHeight = SpecHeight > 0 ? SpecHeight : H0;
    } else {
      if (SpecWidth > 0 && SpecHeight > 0) {
        ObjWidth = SpecWidth;
        ObjHeight = SpecHeight;
      } else if (SpecHeight > 0) {
        ObjHeight = SpecHeight;
        ObjWidth = H0 > 0 ? MulDiv(SpecHeight, W0, H0) : 0;
      } else if (SpecWidth > 0) {
        ObjWidth = SpecWidth;
        ObjHeight = W0 > 0 ? MulDiv(SpecWidth, H0, W0) : 0;
      } else {
        ObjWidth = W0;
        ObjHeight = H0;
      }
      ObjWidth = std::clamp(ObjWidth, 0, kMaxImageSide);
      ObjHeight = std::clamp(ObjHeight, 0, kMaxImageSide);
      ImageKnown = true;
    }
    if (list && zoom != 100) {
      if (!PercentWidth) ObjWidth = std::clamp(list->Zoomed(ObjWidth), 0, kMaxImageSide);
      ObjHeight = std::clamp(list->Zoomed(ObjHeight), 0, kMaxImageSide);
    }
    if (placeholder && !ImageKnown) {
      int32_t w = 0, h = 0;
      if (!Alt.empty()) {
        canvas.SaveState();
        canvas.SetFont(AltFont());
        Size extent = canvas.TextExtent(Alt);
        canvas.RestoreState();
        w = std::min(extent.cx + 2, kMaxImageSide);
        h = std::min(extent.cy, kMaxImageSide);
      }
      ObjWidth = std::max(ObjWidth, w + kPlaceholderBox);
      ObjHeight = std::max(ObjHeight, std::max(kPlaceholderBox, h));
    }
  }
  HasBorder = FontRun && !FontRun->Target.Url.empty() && !NoBorder;
  int32_t border = HasBorder ? 2 : 0;
  ImageWidth = ObjWidth + border;
  ImageHeight = ObjHeight + border;
}

int32_t TImageObj::PictureTop(const TFontObj* FontRun, int32_t BaselineY, int32_t TopY) const {
  switch (ObjAlign) {
    case oaTop:
    case oaLeft:
    case oaRight:
      return TopY;
    case oaMiddle: {
      int32_t descent = FontRun ? FontRun->Descent : 0;
      int32_t cell = FontRun ? FontRun->CellHeight : 0;
      return BaselineY + descent - cell / 2 - ImageHeight / 2;
    }
    default:
      return BaselineY - ImageHeight;
  }
}

void TImageObj::Paint(Canvas& canvas, int32_t X, const TFontObj* FontRun, int32_t BaselineY,
                      int32_t TopY) {
  TSectionList* list = ParentSectionList;
  if (ObjAlign > oaRight) return;
  bool show = list && list->ShowImages;
  bool printing = list && list->Printing;
  int32_t yoff = list ? list->YOff : 0;
  bool placeholder = IsPlaceholder();
  const Bitmap* picture = show ? Image : &PlaceholderPicture(list, kResourceImageWait);
  const Bitmap* mask = show ? Mask : nullptr;
  const std::vector<uint8_t>* alpha = show && !placeholder ? Alpha : nullptr;
  TGIFImage* gif = show && !placeholder ? Gif : nullptr;
  int32_t inset = placeholder ? 4 : 0;
  int32_t border = HasBorder ? 1 : 0;

  canvas.SaveState();
  canvas.SetBrush(Brush{BrushStyle::kHollow, 0});
  FontSpec alt_font = AltFont();
  canvas.SetFont(alt_font);
  Color saved_text = canvas.text_color();

  int32_t top = PictureTop(FontRun, BaselineY, TopY);
  int32_t px = X + inset + border, py = top + inset + border;
  DrawX = px;
  DrawY = py + yoff;
  bool too_small = placeholder && (ObjWidth < kPlaceholderBox || ObjHeight < kPlaceholderBox);
  if (!too_small) {
    try {
      if (gif) {
        if (!printing) {
          gif->drawn = true;
          gif->SetVisible(true);
        }
        const Bitmap& frame = gif->Composite();
        Rect dest{px, py, px + ObjWidth, py + ObjHeight};
        if (!frame.empty()) {
          if (!gif->CompositeMask().empty()) {
            DrawMasked(canvas, dest, frame, gif->CompositeMask());
          } else {
            canvas.StretchBitmap(dest, frame, Rect{0, 0, frame.width, frame.height}, kSrcCopy);
          }
        }
      } else if (picture && !picture->empty()) {
        Rect natural{px, py, px + picture->width, py + picture->height};
        Rect stretched{px, py, px + ObjWidth, py + ObjHeight};
        Rect dest = placeholder ? natural : stretched;
        canvas.SetStretchMode(StretchMode::kColorOnColor);
        const Rect whole{0, 0, picture->width, picture->height};
        if (alpha && !printing && canvas.AlphaBlendBitmap(dest, *picture, whole, *alpha)) {
          // Blended with the page, background image or cell beneath it.
        } else if ((Transparent != 0 || Failed) && mask && !mask->empty()) {
          DrawMasked(canvas, dest, *picture, *mask);
        } else {
          canvas.StretchBitmap(dest, *picture, Rect{0, 0, picture->width, picture->height},
                               kSrcCopy);
        }
      }
    } catch (...) {
      // A picture that fails to draw leaves its place empty; the rest of the page draws.
    }
  }
  canvas.SetTextColor(saved_text);
  if (placeholder && !HasBorder) {
    canvas.SetTextColor(0);
    DrawWrappedText(
        canvas, Rect{X + kPlaceholderBox, top + inset, X + ObjWidth - 2, top + ObjHeight - 1}, Alt);
    DrawCellBorder(printing, list ? list->Background : 0xFFFFFF, canvas,
                   Rect{X, top, X + ObjWidth - 1, top + ObjHeight - 1}, false);
  }
  if (HasBorder) {
    Color c = FontRun ? FontRun->TheFont->FontColor() : 0;
    canvas.SetPen(Pen{PenStyle::kSolid, 1, c});
    canvas.SetTextColor(c);
    if (placeholder) {
      DrawWrappedText(canvas,
                      Rect{X + kPlaceholderBox, top + inset, X + ObjWidth - 2, top + ObjHeight - 1},
                      Alt);
    }
    canvas.SetBrush(Brush{BrushStyle::kHollow, 0});
    canvas.Rectangle(Rect{X, top, X + ImageWidth, top + ImageHeight});
  }
  canvas.RestoreState();
}

bool TImageObj::Hit(int32_t X, int32_t Y, int32_t& IX, int32_t& IY) const {
  int32_t w = HasBorder ? ImageWidth - 2 : ImageWidth;
  int32_t h = HasBorder ? ImageHeight - 2 : ImageHeight;
  int32_t dx = X - DrawX, dy = Y - DrawY;
  if (dx < 0 || dx >= w || dy < 0 || dy >= h) return false;
  IX = dx;
  IY = dy;
  return true;
}

// --- TImageObjList ---

TImageObj* TImageObjList::ImageAt(int32_t Pos) const {
  auto it = std::lower_bound(Items.begin(), Items.end(), Pos,
                             [](const auto& image, int32_t p) { return image->Pos < p; });
  return it != Items.end() && (*it)->Pos == Pos ? it->get() : nullptr;
}

int32_t TImageObjList::HeightAt(int32_t Pos, uint8_t& Align) const {
  TImageObj* image = ImageAt(Pos);
  if (!image) return -1;
  Align = image->ObjAlign;
  return image->ImageHeight;
}

int32_t TImageObjList::WidthAt(int32_t Pos, uint8_t& Align) const {
  TImageObj* image = ImageAt(Pos);
  if (!image) return -1;
  Align = image->ObjAlign;
  return image->ImageWidth;
}

int32_t TImageObjList::DistanceToNext(int32_t Pos) const {
  auto it = std::lower_bound(Items.begin(), Items.end(), Pos,
                             [](const auto& image, int32_t p) { return image->Pos < p; });
  return it == Items.end() ? 9999 : (*it)->Pos - Pos;
}

bool TImageObjList::HitLink(int32_t X, int32_t Y, TFormControlObj*& FormControl, TMapItem*& Map,
                            bool& MapFound, bool& IsMap, int32_t& Pos, int32_t& IX,
                            int32_t& IY) const {
  for (const auto& image : Items) {
    if (!image->Hit(X, Y, IX, IY)) continue;
    FormControl = image->FormControl;
    IsMap = image->IsMap;
    Pos = image->Pos;
    Map = nullptr;
    MapFound = false;
    if (image->UseMap && image->ParentSectionList) {
      Map = image->ParentSectionList->FindMap(image->MapName);
      MapFound = Map != nullptr;
    }
    return true;
  }
  return false;
}

bool TImageObjList::HitImage(int32_t X, int32_t Y, int32_t& IX, int32_t& IY,
                             TImageObj*& Obj) const {
  for (const auto& image : Items) {
    if (image->Hit(X, Y, IX, IY)) {
      Obj = image.get();
      return true;
    }
  }
  return false;
}

void TImageObjList::CreateCopy(TSectionList& Parent, const TImageObjList& Source) {
  for (const auto& image : Source.Items) Items.push_back(image->CreateCopy(Parent));
}

}  // namespace brisomel
