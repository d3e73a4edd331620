// The document: settings, background image, layout and painting of the whole page, the
// animation tick, and hiding of form controls that scrolled away.
#include "html/document/section_list.h"

#include <algorithm>

#include "html/document/document_images.h"
#include "html/images/palette.h"
#include "text/utf.h"

namespace brisomel {

TSectionList::TSectionList(const TDocumentServices& services, void* Owner_, void* PaintPanel_)
    : TCell(this),
      Services(services),
      AnimationTimer(std::make_unique<TManualTimer>()),
      Owner(Owner_),
      PaintPanel(PaintPanel_) {
  AnimationTimer->SetEnabled(false);
  AnimationTimer->SetInterval(kAnimationInterval);
}

TSectionList::~TSectionList() {
  // Sections (and their images, which release cache uses) go before the background entry.
  AnimatedImages.clear();
  MissingImages.clear();
  Sections.clear();
  if (!BackgroundKey_.empty() && Services.ImageModule) {
    Services.ImageModule->Cache().ReleaseUse(BackgroundKey_);
  }
}

std::unique_ptr<TSectionList> TSectionList::CreateCopy() const {
  auto copy = std::make_unique<TSectionList>(Services, Owner, PaintPanel);
  static_cast<TFontSettings&>(*copy) = static_cast<const TFontSettings&>(*this);
  copy->ShowImages = ShowImages;
  copy->Printing = Printing;
  copy->YOff = YOff;
  copy->SelB = SelB;
  copy->SelE = SelE;
  copy->ImageHandlers = ImageHandlers;
  copy->OnObjectClick = OnObjectClick;
  copy->ExpandName = ExpandName;
  copy->Background = Background;
  for (const auto& s : Sections) {
    auto section = s->CreateCopy(*copy);
    section->ParentSectionList = copy.get();
    copy->Sections.push_back(std::move(section));
  }
  return copy;
}

void TSectionList::Clear() {
  if (!BackgroundKey_.empty() && Services.ImageModule) {
    Services.ImageModule->Cache().ReleaseUse(BackgroundKey_);
  }
  BackgroundKey_.clear();
  BackgroundBitmap = nullptr;
  BackgroundAlpha_ = nullptr;
  BackgroundLoaded = false;
  FormControls.clear();
  CurrentForm = nullptr;
  Forms.clear();
  AnimatedImages.clear();
  Maps.clear();
  MissingImages.clear();
  Sections.clear();
  SelB = SelE = 0;
}

void TSectionList::SetYOffset(int32_t Y) {
  if (Y == YOff) return;
  YOff = Y;
  ControlsNeedHiding = true;
  for (TFormControlObj* c : FormControls) c->ShowIt = false;
}

void TSectionList::SetFonts(const std::string& Name, const std::string& PreName, int Size,
                            Color Color_, Color HotSpot, Color Background_) {
  FontName = Name.substr(0, 33);
  PreFontName = PreName.substr(0, 33);
  FontSize = Size;
  FontColor = Color_;
  HotSpotColor = HotSpot;
  SetBackground(Background_);
  RefreshFonts();
}

void TSectionList::SetBackground(Color color) {
  Background = color;
  if (OnBackgroundChange) OnBackgroundChange();
}

void TSectionList::SetBackgroundImage(const std::u16string& Name) {
  BackgroundImageName_ = Name;
  if (!BackgroundKey_.empty() && Services.ImageModule) {
    Services.ImageModule->Cache().ReleaseUse(BackgroundKey_);
  }
  BackgroundKey_.clear();
  BackgroundBitmap = nullptr;
  BackgroundAlpha_ = nullptr;
  BackgroundLoaded = false;
}

const Bitmap* TSectionList::BackgroundImage() {
  if (ShowImages && !BackgroundImageName_.empty() && !BackgroundLoaded) {
    const bool expand = !ImageHandlers.bitmap_request && !ImageHandlers.image_request && ExpandName;
    const std::string name =
        expand ? ExpandName(BackgroundImageName_) : Utf16ToUtf8(BackgroundImageName_);
    TLookupResult r = LookupImage(name, tkNone);
    if (r.delayed) {
      MissingImages.push_back({brisomel::CacheKey(name), nullptr});
    } else if (r.item) {
      if (r.bitmap && !r.gif) {
        BackgroundBitmap = r.bitmap;
        BackgroundAlpha_ = r.alpha;
        BackgroundKey_ = brisomel::CacheKey(name);
      } else if (Services.ImageModule) {
        Services.ImageModule->Cache().ReleaseUse(brisomel::CacheKey(name));
      }
    }
    BackgroundLoaded = true;
  }
  return BackgroundBitmap;
}

int32_t TSectionList::SelectionLength() {
  if (SelB >= SelE) return 0;
  TTextCounter counter;
  TTextSink* saved = TextSink;
  TextSink = &counter;
  CopySelection();
  TextSink = saved;
  return static_cast<int32_t>(std::min<int64_t>(counter.Count, INT32_MAX));
}

std::u16string TSectionList::SelectedText() {
  TTextCollector collector;
  TTextSink* saved = TextSink;
  TextSink = &collector;
  CopySelection();
  TextSink = saved;
  return collector.Text;
}

int32_t TSectionList::SectionTop(int Index) const {
  if (Index <= 0 || Sections.empty()) return 0;
  Index = std::min(Index, static_cast<int>(Sections.size()) - 1);
  int32_t top = 0;
  for (int i = 0; i < Index; ++i) top += Sections[i]->SectionHeight;
  return top;
}

int32_t TSectionList::LayOut(Canvas& canvas, int32_t Y, int32_t Width, int32_t& MaxWidth,
                             int32_t& Curs) {
  AnimationTimer->SetEnabled(false);
  for (TFormControlObj* c : FormControls) c->MeasureSize(canvas);
  // Images register themselves as animated again during layout.
  AnimatedImages.clear();
  ++LayoutGeneration;
  InLayout = true;
  int32_t height;
  try {
    height = TCell::LayOut(canvas, Y, Width, MaxWidth, Curs);
  } catch (...) {
    InLayout = false;
    throw;
  }
  InLayout = false;
  for (TImageObj* image : AnimatedImages) {
    if (!image->Gif) continue;
    image->Gif->SetCurrentFrame(1);
    if (!Printing) image->Gif->SetAnimate(true);
  }
  if (!AnimatedImages.empty()) AnimationTimer->SetEnabled(true);
  HideControls();
  return height;
}

void TSectionList::ControlEnter(TFormControlObj* Control) {
  if (!Printing && OnControlEntered) OnControlEntered(Control);
  for (TFormControlObj* c : FormControls)
    if (!c->ShowIt) c->MoveOff();
}

void TSectionList::ControlExit() {
  for (TFormControlObj* c : FormControls)
    if (!c->ShowIt) c->Hide();
}

void TSectionList::HideControls() {
  if (Printing) return;
  bool focus_inside = std::any_of(FormControls.begin(), FormControls.end(),
                                  [](const TFormControlObj* c) { return c->HasFocus(); });
  for (TFormControlObj* c : FormControls) {
    if (c->ShowIt) continue;
    if (focus_inside) {
      c->MoveOff();
    } else {
      c->Hide();
    }
  }
}

int32_t TSectionList::Paint(Canvas& canvas, const Rect& ARect, int32_t ClipWidth, int32_t X,
                            int32_t Y) {
  PageBottom = ARect.bottom;
  AnimationTimer->SetEnabled(false);
  for (TImageObj* image : AnimatedImages) {
    if (image->Gif) image->Gif->drawn = false;
  }
  std::vector<uint32_t> palette;
  if (Services.ImageModule && !Services.ImageModule->SharedPalette().empty()) {
    auto p = Services.ImageModule->SharedPalette();
    palette.assign(p.begin(), p.end());
    canvas.SelectPalette(&palette);
  }
  int32_t result;
  try {
    result = TCell::Paint(canvas, ARect, ClipWidth, X, Y);
  } catch (...) {
    if (!palette.empty()) canvas.SelectPalette(nullptr);
    throw;
  }
  if (!palette.empty()) canvas.SelectPalette(nullptr);
  if (ControlsNeedHiding) {
    HideControls();
    ControlsNeedHiding = false;
  }
  if (!AnimatedImages.empty()) AnimationTimer->SetEnabled(true);
  return result;
}

void TSectionList::AnimationTick() {
  if (Printing) return;
  for (TImageObj* image : AnimatedImages) {
    if (!image->Gif || !image->Gif->drawn) continue;
    int before = image->Gif->CurrentFrame();
    image->Gif->Step(nullptr);
    if (image->Gif->CurrentFrame() != before && InvalidateRect) {
      int32_t top = image->DrawY - YOff;
      InvalidateRect(
          Rect{image->DrawX, top, image->DrawX + image->ObjWidth, top + image->ObjHeight});
    }
  }
  AnimationTimer->SetInterval(kAnimationInterval);
}

TLookupResult TSectionList::LookupImage(const std::string& Source, TTransparency kind) {
  if (!Services.ImageModule || !Services.FileSystem) return TLookupResult{};
  return brisomel::LookupImage(*Services.ImageModule, *Services.FileSystem, Source, kind,
                               ImageHandlers);
}

TMapItem* TSectionList::FindMap(std::u16string_view Name) const {
  for (const auto& m : Maps) {
    if (m->Name() == Name) return m.get();
  }
  return nullptr;
}

void TSectionList::ForgetImage(TImageObj* image) {
  std::erase(AnimatedImages, image);
  std::erase_if(MissingImages, [image](const TMissingImage& m) { return m.Image == image; });
}

bool TSectionList::IsMissing(const std::string& UpperName) const {
  return std::any_of(MissingImages.begin(), MissingImages.end(),
                     [&](const TMissingImage& m) { return m.Name == UpperName; });
}

}  // namespace brisomel
