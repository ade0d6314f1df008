// The image control's stage list, its view state around PaintTo, and what
// layers see of the viewport.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/exceptions.h"
#include "raster/image32.h"

namespace vesk::raster {
namespace {

struct StageRow {
  std::uint32_t stage;
  bool run_time;
  std::uint32_t parameter;
};

void ExpectStages(TPaintStages& stages, const std::vector<StageRow>& rows) {
  ASSERT_EQ(stages.Count(), static_cast<std::int32_t>(rows.size()));
  for (std::int32_t i = 0; i < stages.Count(); ++i) {
    SCOPED_TRACE("stage " + std::to_string(i));
    EXPECT_TRUE(stages.Items(i).DesignTime);
    EXPECT_EQ(stages.Items(i).Stage, rows[i].stage);
    EXPECT_EQ(stages.Items(i).RunTime, rows[i].run_time);
    EXPECT_EQ(stages.Items(i).Parameter, rows[i].parameter);
  }
}

TEST(PaintStages, DefaultListAndTheClocksThreeDeletions) {
  TImage32 image;
  ExpectStages(image.PaintStages(), {{pstClearBackground, true, 0},
                                     {pstControlFrame, false, 0},
                                     {pstDrawBitmap, true, 0},
                                     {pstBitmapFrame, false, 0},
                                     {pstDrawLayers, true, 0x80000000u}});
  image.PaintStages().Delete(3);
  image.PaintStages().Delete(1);
  image.PaintStages().Delete(0);
  ExpectStages(image.PaintStages(), {{pstDrawBitmap, true, 0}, {pstDrawLayers, true, 0x80000000u}});
}

TEST(PaintStages, DeleteOutsideTheListRaisesAndChangesNothing) {
  TImage32 image;
  for (const std::int32_t index : {5, -1}) {
    try {
      image.PaintStages().Delete(index);
      ADD_FAILURE() << "no error for index " << index;
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), "Invalid stage index");
    }
    EXPECT_EQ(image.PaintStages().Count(), 5);
    EXPECT_EQ(image.PaintStages().Items(4).Stage, pstDrawLayers);
  }
  TPaintStages empty;
  EXPECT_THROW(empty.Delete(0), EListError);
  TPaintStage& added = empty.Add();
  EXPECT_FALSE(added.DesignTime);
  EXPECT_TRUE(added.RunTime);
  EXPECT_EQ(added.Stage, 0u);
  EXPECT_EQ(added.Parameter, 0u);
}

// Records the viewport a layer sees while it paints, and the control's state.
class TViewProbe : public TCustomLayer {
 public:
  TViewProbe(TLayerCollection* c, TCustomImage32* image) : TCustomLayer(c), image_(image) {}
  void Paint(TBitmap32&) override {
    ++paints;
    LayerCollection()->GetViewportScale(sx, sy);
    LayerCollection()->GetViewportShift(tx, ty);
    painting_to = image_->PaintingTo();
    view_valid = image_->ViewValid();
    mode = image_->RepaintMode();
  }
  int paints = 0;
  float sx = 0, sy = 0, tx = 0, ty = 0;
  bool painting_to = false, view_valid = false;
  TRepaintMode mode = rmDirect;

 private:
  TCustomImage32* image_;
};

TEST(PaintTo, MapsTheBitmapOntoTheDestinationRectangle) {
  TImage32 image;
  for (const std::int32_t index : {3, 2, 1, 0}) image.PaintStages().Delete(index);  // layers only
  image.Bitmap().SetSize(100, 50);
  auto* probe = image.Layers().Add<TViewProbe>(&image);
  image.SetRepaintMode(rmOptimizer);
  TBitmap32 dest;
  dest.SetSize(8, 8);

  image.PaintTo(dest, TRect{10, 20, 310, 120});
  EXPECT_EQ(probe->paints, 1);
  EXPECT_EQ(probe->sx, 3.0f);
  EXPECT_EQ(probe->sy, 2.0f);
  EXPECT_EQ(probe->tx, 10.0f);
  EXPECT_EQ(probe->ty, 20.0f);
  EXPECT_TRUE(probe->painting_to);
  EXPECT_TRUE(probe->view_valid);
  EXPECT_EQ(probe->mode, rmFull);

  EXPECT_EQ(image.ViewBitmapRect(), (TRect{10, 20, 310, 120}));
  EXPECT_EQ(image.ViewScaleX(), 3 * FixedOne);
  EXPECT_EQ(image.ViewScaleY(), 2 * FixedOne);
  EXPECT_EQ(image.ViewShiftX(), 10);
  EXPECT_EQ(image.ViewShiftY(), 20);
  EXPECT_EQ(image.ViewInvScaleX(), 21845);  // 65536 / 3, rounded
  EXPECT_EQ(image.ViewInvScaleY(), FixedHalf);
  EXPECT_FALSE(image.ViewValid());
  EXPECT_FALSE(image.PaintingTo());
  EXPECT_EQ(image.RepaintMode(), rmOptimizer);

  image.PaintTo(dest, TRect{0, 0, 200, 50});
  EXPECT_EQ(image.ViewScaleX(), 131072);
  // 50 bitmap rows on 75 target rows: 65536 * 2 / 3 = 43690.67 -> 43691.
  image.PaintTo(dest, TRect{0, 0, 300, 75});
  EXPECT_EQ(image.ViewInvScaleY(), 43691);
}

TEST(PaintTo, EmptyBitmapOrThinRectangleGivesTheIdentityViewAndStillPaintsLayers) {
  TImage32 image;
  for (const std::int32_t index : {3, 1, 0}) image.PaintStages().Delete(index);
  auto* probe = image.Layers().Add<TViewProbe>(&image);
  TBitmap32 dest;
  dest.SetSize(4, 4);
  dest.Clear(0x11223344);

  image.PaintTo(dest, TRect{10, 20, 50, 60});  // empty bitmap
  EXPECT_EQ(probe->paints, 1);
  EXPECT_EQ(probe->sx, 1.0f);
  EXPECT_EQ(probe->sy, 1.0f);
  EXPECT_EQ(probe->tx, 0.0f);
  EXPECT_EQ(probe->ty, 0.0f);

  image.Bitmap().SetSize(2, 2);
  image.Bitmap().Clear(0xFF0000FF);
  for (const TRect r : {TRect{1, 1, 1, 3}, TRect{0, 2, 4, 2}, TRect{3, 0, 0, 4}}) {
    image.PaintTo(dest, r);
    EXPECT_EQ(image.ViewScaleX(), FixedOne);
    EXPECT_EQ(image.ViewScaleY(), FixedOne);
    EXPECT_EQ(image.ViewInvScaleX(), FixedOne);
    EXPECT_EQ(image.ViewShiftX(), 0);
    EXPECT_EQ(image.ViewShiftY(), 0);
  }
  EXPECT_EQ(probe->paints, 4);
  for (std::int32_t y = 0; y < 4; ++y) {
    for (std::int32_t x = 0; x < 4; ++x) EXPECT_EQ(dest.Pixel(x, y), 0x11223344u);
  }
}

TEST(PaintTo, LayersPaintInCollectionOrderFilteredByTheStageMask) {
  std::vector<std::string> order;
  class TOrderLayer : public TCustomLayer {
   public:
    TOrderLayer(TLayerCollection* c, std::vector<std::string>* o, std::string n)
        : TCustomLayer(c), order_(o), name_(std::move(n)) {}
    void Paint(TBitmap32&) override { order_->push_back(name_); }

   private:
    std::vector<std::string>* order_;
    std::string name_;
  };
  TImage32 image;
  image.Layers().Add<TOrderLayer>(&order, "text");
  image.Layers().Add<TOrderLayer>(&order, "hour");
  auto* hidden = image.Layers().Add<TOrderLayer>(&order, "hidden");
  image.Layers().Add<TOrderLayer>(&order, "minute");
  image.Layers().Add<TOrderLayer>(&order, "second");
  hidden->SetLayerFlags(0x00000001u);
  TBitmap32 dest;
  dest.SetSize(2, 2);
  image.PaintTo(dest, TRect{0, 0, 2, 2});
  EXPECT_EQ(order, (std::vector<std::string>{"text", "hour", "minute", "second"}));

  // A layer stage whose mask names bit 0 paints only the hidden layer.
  order.clear();
  image.PaintStages().Clear();
  TPaintStage& s = image.PaintStages().Add();
  s.Stage = pstDrawLayers;
  s.Parameter = 1;
  image.PaintTo(dest, TRect{0, 0, 2, 2});
  EXPECT_EQ(order, (std::vector<std::string>{"hidden"}));
}

TEST(PaintTo, CustomStagesAndFailures) {
  TImage32 image;
  image.PaintStages().Clear();
  for (std::uint32_t kind : {pstCustom, 0u, 99u, pstCustom, pstCustom}) image.PaintStages().Add().Stage = kind;
  image.PaintStages().Items(3).RunTime = false;
  std::vector<std::uint32_t> seen;
  image.OnPaintStage = [&](TCustomImage32* sender, TBitmap32&, std::uint32_t index) {
    EXPECT_EQ(sender, &image);
    seen.push_back(index);
  };
  TBitmap32 dest;
  image.PaintTo(dest, TRect{0, 0, 1, 1});
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{0, 4}));

  // An error leaves PaintTo after the failing stage, with the view and the
  // repaint mode restored.
  image.SetRepaintMode(rmDirect);
  seen.clear();
  image.OnPaintStage = [&](TCustomImage32*, TBitmap32&, std::uint32_t index) {
    seen.push_back(index);
    throw Exception("stage failed");
  };
  EXPECT_THROW(image.PaintTo(dest, TRect{0, 0, 1, 1}), Exception);
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{0}));
  EXPECT_FALSE(image.PaintingTo());
  EXPECT_FALSE(image.ViewValid());
  EXPECT_EQ(image.RepaintMode(), rmDirect);
}

TEST(ImageView, OutsidePaintToTheViewFollowsTheControlsGeometry) {
  TImage32 image;
  image.Bitmap().SetSize(40, 30);
  EXPECT_FALSE(image.ViewValid());
  float sx = 0, sy = 0, tx = 1, ty = 1;
  image.Layers().GetViewportScale(sx, sy);
  image.Layers().GetViewportShift(tx, ty);
  EXPECT_TRUE(image.ViewValid());
  EXPECT_EQ(image.ViewBitmapRect(), (TRect{0, 0, 40, 30}));
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
  EXPECT_EQ(tx, 0.0f);
  EXPECT_EQ(ty, 0.0f);

  // A change of scale makes the view stale; smScale then doubles it.
  int scale_events = 0, changes = 0;
  image.OnScaleChange = [&](TObject*) { ++scale_events; };
  image.OnChange = [&](TObject*) { ++changes; };
  image.SetScale(1.0f);  // unchanged: nothing
  EXPECT_EQ(scale_events + changes, 0);
  EXPECT_TRUE(image.ViewValid());
  image.SetScaleMode(smScale);
  image.SetScale(2.0f);
  EXPECT_EQ(scale_events, 1);
  EXPECT_EQ(changes, 2);
  image.Layers().GetViewportScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_EQ(image.ViewBitmapRect(), (TRect{0, 0, 80, 60}));
  image.SetScale(0.0f);
  EXPECT_EQ(image.Scale(), 0.001f);

  image.SetScaleMode(smNormal);
  image.SetBitmapAlign(baCenter);
  image.Layers().GetViewportShift(tx, ty);
  EXPECT_EQ(tx, 76.0f);  // (192 - 40) / 2
  EXPECT_EQ(ty, 81.0f);  // (192 - 30) / 2

  // A bitmap resize invalidates the view and fires OnBitmapResize.
  int resizes = 0;
  image.OnBitmapResize = [&](TObject*) { ++resizes; };
  image.Bitmap().SetSize(10, 10);
  EXPECT_FALSE(image.ViewValid());
  EXPECT_EQ(resizes, 1);
}

TEST(ImageControl, BitmapChangesReachTheControlAndDestructionIsSilent) {
  int changes = 0;
  {
    TImage32 image;
    EXPECT_EQ(image.Width(), 192);
    EXPECT_EQ(image.Height(), 192);
    EXPECT_EQ(image.RepaintMode(), rmFull);
    image.OnChange = [&](TObject*) { ++changes; };
    image.Bitmap().SetSize(3, 3);
    const int after_resize = changes;
    EXPECT_GE(after_resize, 1);
    image.Bitmap().Clear(0xFF000000);
    EXPECT_EQ(changes, after_resize + 1);
    EXPECT_FALSE(image.BufferValid());
    image.Layers().Add<TCustomLayer>();
    image.Layers().Add<TCustomLayer>();
    changes = 0;
  }
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace vesk::raster
