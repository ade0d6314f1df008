#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "bitmap_events.h"
#include "raster/bitmap32.h"
#include "raster/exceptions.h"
#include "raster/nearest_resampler.h"

namespace vesk::raster {
namespace {

using testing::EventLog;
using Lines = std::vector<std::string>;

TEST(Bitmap32Notify, UnpairedEndUpdateRaisesAndKeepsTheCount) {
  TBitmap32 b;
  try {
    b.EndUpdate();
    ADD_FAILURE() << "no error";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Unpaired TThreadPersistent.EndUpdate");
  }
  EXPECT_EQ(b.UpdateCount(), 0);
  b.BeginUpdate();
  b.BeginUpdate();
  b.EndUpdate();
  b.EndUpdate();
  EXPECT_THROW(b.EndUpdate(), EAssertionFailed);
  EXPECT_EQ(b.UpdateCount(), 0);
}

TEST(Bitmap32Notify, ChangedFiresOnlyOutsideBrackets) {
  TBitmap32 b;
  b.SetSize(3, 2);
  EventLog log(b);
  b.BeginUpdate();
  b.Changed();
  b.Changed(TRect{1, 1, 2, 2}, 7);
  b.EndUpdate();
  EXPECT_TRUE(log.lines.empty());
  b.Changed(TRect{1, 1, 2, 2}, 7);
  EXPECT_EQ(log.lines, (Lines{"area(1,1,2,2)?", "change"}));
}

TEST(Bitmap32Notify, MeasuringReportsAreasOnly) {
  TBitmap32 b;
  b.SetSize(2, 2);
  b.Clear(0xFF0000FFu);
  b.SetMeasuring(true);
  EventLog log(b);
  b.BeginUpdate();
  b.Clear(0xFFFFFFFFu);
  b.FillRectS(0, 0, 1, 1, 0xFFFFFFFFu);
  b.ResetAlpha(0);
  b.EndUpdate();
  // Areas are reported even inside the bracket; no OnChange; no pixel changed
  // (FillRectS writes nothing while measuring).
  EXPECT_EQ(log.lines, (Lines{"area(0,0,2,2)", "area(0,0,1,1)", "area(0,0,2,2)"}));
  EXPECT_EQ(b.Pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(b.Pixel(1, 1), 0xFF0000FFu);
}

TEST(Bitmap32Notify, ModeSettersNotifyOnlyOnChange) {
  TBitmap32 b;
  EventLog log(b);
  b.SetDrawMode(dmOpaque);
  b.SetCombineMode(cmBlend);
  b.SetWrapMode(wmClamp);
  b.SetMasterAlpha(255);
  b.SetOuterColor(0x12345678u);
  EXPECT_TRUE(log.lines.empty());
  b.SetDrawMode(dmBlend);
  b.SetCombineMode(cmMerge);
  b.SetWrapMode(wmMirror);
  b.SetMasterAlpha(128);
  EXPECT_EQ(log.lines.size(), 8u);  // area + change each
  EXPECT_EQ(b.OuterColor(), 0x12345678u);
}

TEST(Bitmap32Notify, ResamplerReplacementAndClassName) {
  TBitmap32 b;
  EventLog log(b);
  auto* first = dynamic_cast<TNearestResampler*>(b.Resampler());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Bitmap(), &b);
  EXPECT_EQ(first->PixelAccessMode(), pamSafe);
  EXPECT_FLOAT_EQ(first->GetWidth(), 1.0f);

  // The same name, an empty name and an unknown name change nothing.
  b.SetResamplerClassName("TNearestResampler");
  b.SetResamplerClassName("");
  b.SetResamplerClassName("tnearestresampler");
  b.SetResamplerClassName("TNoSuchResampler");
  EXPECT_EQ(b.Resampler(), first);
  EXPECT_TRUE(log.lines.empty());

  // Null and the current object are ignored.
  b.SetResampler(nullptr);
  b.SetResampler(std::unique_ptr<TCustomResampler>(b.Resampler()));
  EXPECT_EQ(b.Resampler(), first);
  EXPECT_TRUE(log.lines.empty());

  // A new resampler for the bitmap replaces the old one and reports once.
  TNearestResampler* second = TNearestResampler::Create(b);
  EXPECT_EQ(b.Resampler(), second);
  EXPECT_EQ(log.lines, (Lines{"area(0,0,0,0)", "change"}));

  // The resampler's own changes reach the bitmap.
  log.Clear();
  second->SetPixelAccessMode(pamSafe);
  EXPECT_TRUE(log.lines.empty());
  second->SetPixelAccessMode(pamWrap);
  EXPECT_EQ(log.lines, (Lines{"area(0,0,0,0)", "change"}));
}

TEST(Bitmap32Notify, LockIsRecursiveAndCounted) {
  TBitmap32 b;
  b.Lock();
  b.Lock();
  EXPECT_EQ(b.LockCount(), 2);
  // Another thread waits until both levels are released.
  std::atomic<bool> entered{false};
  std::thread other([&] {
    TLockScope scope(b);
    entered = true;
  });
  b.Unlock();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(entered);
  b.Unlock();
  other.join();
  EXPECT_TRUE(entered);
  EXPECT_EQ(b.LockCount(), 0);
}

}  // namespace
}  // namespace vesk::raster
