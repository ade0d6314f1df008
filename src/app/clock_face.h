#pragma once
// The clock's face as the window composes it once a second, without the
// window: the image control `Image321` with the face as its bitmap and four
// rotating layers (the text, then the hour, minute and second hands), the
// composition bitmap it paints into, and the never-drawn `pma.png`. The
// clock window builds it step by step in its creation handler and composes
// it in RenderClock; the frame tool and the tests build and compose the
// same face from any skin folder.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/blend_function.h"
#include "app/clock_source.h"
#include "app/face_geometry.h"
#include "app/font_substitution.h"
#include "app/hand_angles.h"
#include "imaging/alpha_text.h"
#include "raster/bitmap32.h"
#include "raster/image32.h"
#include "raster/rot_layer.h"

namespace vesk::app {

// A hand: its image in the skin folder and its pivot in the image's pixels
// at 100 %.
struct THandSkin {
  const char* File;
  TFloatPoint Pivot;
};
inline constexpr THandSkin kHourHandSkin{"hours.png", kHourHandPivot};
inline constexpr THandSkin kMinuteHandSkin{"minutes.png", kMinuteHandPivot};
inline constexpr THandSkin kSecondHandSkin{"seconds.png", kSecondHandPivot};
inline constexpr const char* kFaceSkinFile = "clockface.png";
inline constexpr const char* kPmaSkinFile = "pma.png";

class TClockFace {
 public:
  // Makes the image control: hidden, bitmap merged and sampled by the
  // nearest resampler, aligned top-left at scale 1.
  TClockFace();
  ~TClockFace();
  TClockFace(const TClockFace&) = delete;
  TClockFace& operator=(const TClockFace&) = delete;

  // ---- display scale --------------------------------------------------------
  // The scale the face is built and drawn at (100 % unless set before
  // building): scaled skin files or resampled ones, scaled pivots, text
  // positions and fonts (docs/scaling.md).
  void SetScale(TFaceScale scale) noexcept { scale_ = scale; }
  [[nodiscard]] TFaceScale Scale() const noexcept { return scale_; }
  // Drops everything built (image control, layers, composition, pma.png's
  // bitmap, the resolved fonts) so that the face can be built again, at a
  // new scale.
  void Reset();

  // ---- building, one creation step each, in the order they run ---------
  // `skin_folder` holds the five images and ends with a path separator.
  // A file that cannot be opened or decoded raises the loader's error and
  // the later steps do not run.

  // The text layer, first in the layer collection so the hands lie over it.
  void CreateTextLayer();
  // The face bitmap: 600 x 400, cleared, then clockface.png (size and
  // pixels), combined with cmBlend. Its size becomes everything's size.
  void LoadFace(const std::string& skin_folder);
  // pma.png into a 120 x 120 bitmap that is kept but never drawn.
  void LoadPma(const std::string& skin_folder);
  // The text layer's bitmap: the face's size, cleared, dmBlend, cmMerge.
  void PrepareTextLayer();
  // The composition bitmap: the face's width, then height, cmMerge.
  void CreateCompositionBitmap();
  // The hour, minute and second hands: each its image, a Lanczos kernel
  // resampler, its pivot, placed on kHandPosition.
  void CreateHands(const std::string& skin_folder);
  // Of the default paint stages only the bitmap and the visible layers stay.
  void KeepBitmapAndLayerStages();
  // Every step above, in that order.
  void Build(const std::string& skin_folder);

  [[nodiscard]] std::int32_t Width() { return Image321->Bitmap().Width(); }
  [[nodiscard]] std::int32_t Height() { return Image321->Bitmap().Height(); }

  // True once every part exists (creation may have stopped at a missing
  // file; the face then stays empty and the calls below do nothing).
  [[nodiscard]] bool Built() const noexcept;

  // ---- once a second -------------------------------------------------------
  // The text layer follows the viewport; the hands turn to the angles, hour,
  // minute and second in that order.
  void TurnHands(const THandAngles& angles);
  // TurnHands with the angles of the time's hour, minute and second.
  void SetTime(const TLocalTime& t);
  // Redraws the text layer for `t` (ghost segments, time, label, date; the
  // text blended with the record's constant alpha, the fade level), clears
  // the composition and paints the face and the layers into it.
  void Compose(const TLocalTime& t, const TBlendFunction& blend);

  // The face's fonts as drawn: each requested font resolved once (the
  // system's face, the bundled substitute or the system's matching).
  [[nodiscard]] platform::FontDesc DrawingFont(const platform::FontDesc& requested);

  // Frees what the window's destroy handler frees: pma.png's bitmap, the
  // composition and the text layer. The image control keeps the hands.
  void FreeOwned();

  // ---- components and state -------------------------------------------------
  std::unique_ptr<raster::TImage32> Image321;
  std::unique_ptr<raster::TBitmap32> CompositionBitmap;
  std::unique_ptr<raster::TBitmap32> PmaBitmap;
  // Layers of Image321 (its layer collection owns them).
  raster::TRotLayer* TextLayer = nullptr;
  raster::TRotLayer* HourHand = nullptr;
  raster::TRotLayer* MinuteHand = nullptr;
  raster::TRotLayer* SecondHand = nullptr;

 private:
  // A hand of `file`, its pivot and its place on the face already scaled.
  raster::TRotLayer* CreateHand(const std::string& skin_folder, const char* file, TFloatPoint pivot,
                                TFloatPoint position);

  std::optional<TFontResolver> fonts_;
  TFaceScale scale_{};
  // The four strings' bitmaps, reused while text, font and colour stay.
  imaging::TTextBitmapCache text_bitmaps_;
  // The last string measured for the layout, in its font, and its width.
  struct TMeasuredText {
    platform::FontDesc Font;
    std::string Text;
    std::int32_t Width = 0;
  };
  std::optional<TMeasuredText> measured_;
};

}  // namespace vesk::app
