#include "app/clock_face.h"

#include "app/face_text_layout.h"
#include "app/face_text_runs.h"
#include "app/scaled_skin.h"
#include "imaging/alpha_text.h"
#include "imaging/skin_loader.h"
#include "raster/kernel_resampler.h"
#include "raster/kernels.h"
#include "raster/nearest_resampler.h"

namespace vesk::app {

TClockFace::TClockFace() { Reset(); }

void TClockFace::Reset() {
  TextLayer = HourHand = MinuteHand = SecondHand = nullptr;  // owned by the old Image321
  CompositionBitmap.reset();
  PmaBitmap.reset();
  fonts_.reset();
  Image321 = std::make_unique<raster::TImage32>();
  Image321->SetVisible(false);
  Image321->Bitmap().SetCombineMode(raster::cmMerge);
  raster::TNearestResampler::Create(Image321->Bitmap());
  Image321->SetBitmapAlign(raster::baTopLeft);
  Image321->SetScale(1.0f);
  Image321->SetScaleMode(raster::smNormal);
}

TClockFace::~TClockFace() = default;

void TClockFace::CreateTextLayer() { TextLayer = Image321->Layers().Add<raster::TRotLayer>(); }

void TClockFace::LoadFace(const std::string& skin_folder) {
  raster::TBitmap32& face = Image321->Bitmap();
  face.SetSize(600, 400);
  face.Clear(0);
  LoadScaledSkinImage(face, skin_folder, kFaceSkinFile, scale_);
  face.SetCombineMode(raster::cmBlend);
}

void TClockFace::LoadPma(const std::string& skin_folder) {
  PmaBitmap = std::make_unique<raster::TBitmap32>();
  PmaBitmap->SetSize(120, 120);
  imaging::LoadSkinImageFile(*PmaBitmap, skin_folder + kPmaSkinFile);
}

void TClockFace::PrepareTextLayer() {
  raster::TBitmap32& text = TextLayer->Bitmap();
  text.SetSize(Width(), Height());
  text.Clear(0);
  text.SetDrawMode(raster::dmBlend);
  text.SetCombineMode(raster::cmMerge);
}

void TClockFace::CreateCompositionBitmap() {
  CompositionBitmap = std::make_unique<raster::TBitmap32>();
  CompositionBitmap->SetWidth(Width());
  CompositionBitmap->SetHeight(Height());
  CompositionBitmap->SetCombineMode(raster::cmMerge);
}

raster::TRotLayer* TClockFace::CreateHand(const std::string& skin_folder, const char* file, TFloatPoint pivot,
                                          TFloatPoint position) {
  auto* hand = Image321->Layers().Add<raster::TRotLayer>();
  LoadScaledSkinImage(hand->Bitmap(), skin_folder, file, scale_);
  raster::TKernelResampler::Create(hand->Bitmap())->SetKernel(std::make_unique<raster::TLanczosKernel>());
  hand->SetBitmapCenter(pivot);
  hand->SetPosition(position);
  return hand;
}

void TClockFace::CreateHands(const std::string& skin_folder) {
  const TFaceGeometry g = FaceGeometry(scale_);
  HourHand = CreateHand(skin_folder, kHourHandSkin.File, g.HourPivot, g.HandPosition);
  MinuteHand = CreateHand(skin_folder, kMinuteHandSkin.File, g.MinutePivot, g.HandPosition);
  SecondHand = CreateHand(skin_folder, kSecondHandSkin.File, g.SecondPivot, g.HandPosition);
}

void TClockFace::KeepBitmapAndLayerStages() {
  // Default stages: background, control frame, bitmap, bitmap frame, layers.
  Image321->PaintStages().Delete(3);
  Image321->PaintStages().Delete(1);
  Image321->PaintStages().Delete(0);
}

void TClockFace::Build(const std::string& skin_folder) {
  CreateTextLayer();
  LoadFace(skin_folder);
  LoadPma(skin_folder);
  PrepareTextLayer();
  CreateCompositionBitmap();
  CreateHands(skin_folder);
  KeepBitmapAndLayerStages();
}

bool TClockFace::Built() const noexcept {
  return TextLayer != nullptr && CompositionBitmap != nullptr && HourHand != nullptr && MinuteHand != nullptr &&
         SecondHand != nullptr;
}

void TClockFace::TurnHands(const THandAngles& angles) {
  if (!Built()) return;
  TextLayer->SetScaled(true);
  HourHand->SetAngle(angles.Hour);
  MinuteHand->SetAngle(angles.Minute);
  SecondHand->SetAngle(angles.Second);
}

void TClockFace::SetTime(const TLocalTime& t) { TurnHands(HandAngles(t.Hour, t.Minute, t.Second)); }

platform::FontDesc TClockFace::DrawingFont(const platform::FontDesc& requested) {
  if (!fonts_) {
    // Asked of the text layer's own surface, so the answer is that of the
    // system that draws the text.
    TFontQueries system;
    system.FaceOf = [this](const platform::FontDesc& font) {
      platform::Surface* surface = TextLayer->Bitmap().Surface();
      return surface != nullptr ? surface->TextFace(font) : std::string();
    };
    system.TextWidth = [this](const platform::FontDesc& font, std::string_view text) {
      platform::Surface* surface = TextLayer->Bitmap().Surface();
      return surface != nullptr ? surface->MeasureText(font, text).cx : 0;
    };
    fonts_.emplace(std::move(system));
  }
  return fonts_->Resolve(requested, scale_);
}

namespace {
std::function<std::int32_t(const platform::FontDesc&, std::string_view)> TextWidthOn(platform::Surface& surface) {
  return [&surface](const platform::FontDesc& font, std::string_view text) { return surface.MeasureText(font, text).cx; };
}
}  // namespace

void TClockFace::Compose(const TLocalTime& t, const TBlendFunction& blend) {
  if (!Built()) return;
  raster::TBitmap32& text = TextLayer->Bitmap();
  text.ResetClipRect();
  text.Clear(0);
  // Ghost segments, the time over them, the label, the date centred by its
  // measured width.
  // The date changes once a day: its width is measured again only then.
  const TFaceTextLayout items = MakeFaceTextLayout(
      t,
      [&](const TFaceTextItem& item) {
        const platform::FontDesc font = DrawingFont(item.Font);
        if (!measured_ || measured_->Font != font || measured_->Text != item.Text) {
          text.Font().Assign(font);
          measured_ = TMeasuredText{font, item.Text, text.TextWidth(item.Text)};
        }
        return measured_->Width;
      },
      FaceGeometry(scale_));
  // Everything outside the rectangles the items were blended into is still
  // transparent black.
  TRect drawn{};
  for (const TFaceTextItem& item : items) {
    const platform::FontDesc font = DrawingFont(item.Font);
    text.Font().Assign(font);
    if (text.Surface() != nullptr) {
      // Letters (the read-out's "am"/"pm") in the font's letter face.
      for (const TTextRun& run : TextRuns(item.Text, font, fonts_->ResolveLetters(font), TextWidthOn(*text.Surface()))) {
        const TRect r = text_bitmaps_.DrawAlphaText(item.Position.X + run.X, item.Position.Y, run.Text,
                                                            run.Font, *text.Surface(), blend);
        drawn = IsRectEmpty(drawn) ? r : UnionRect(drawn, r);
      }
      text.Changed();
    }
  }
  text_bitmaps_.EndRound();
  CompositionBitmap->Clear(0);
  // The text layer is walked only where text lies: with the clip rectangle
  // around the drawn items the layer's transformed bounds shrink to them,
  // and the transparent rest would have left the composition unchanged.
  // Even edges: the transformed bounds of an identity round odd edges
  // outwards by a column or row, which would reach past the clip and leave
  // the whole-row copy of the layer's rows.
  drawn = TRect{drawn.Left & ~1, drawn.Top & ~1, drawn.Right + (drawn.Right & 1), drawn.Bottom + (drawn.Bottom & 1)};
  text.SetClipRect(drawn);
  Image321->PaintTo(*CompositionBitmap, TRect{0, 0, Width(), Height()});
  text.ResetClipRect();
}

void TClockFace::FreeOwned() {
  PmaBitmap.reset();
  CompositionBitmap.reset();
  delete TextLayer;  // leaves the layer collection
  TextLayer = nullptr;
}

}  // namespace vesk::app
