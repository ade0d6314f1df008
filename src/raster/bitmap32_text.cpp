// TBitmap32: the font and text measurement.
#include <mutex>

#include "platform/surface.h"
#include "raster/bitmap32.h"

namespace vesk::raster {

namespace {
// The process-wide 8 x 8 surface that measures text for bitmaps without a
// surface of their own. Made on first use, locked around each measurement.
struct StockBitmap {
  std::mutex lock;
  std::unique_ptr<platform::Surface> surface = platform::CreateNativeSurface(8, 8);
};

StockBitmap& Stock() {
  static StockBitmap stock;
  return stock;
}
}  // namespace

void TBitmap32::FontChanged() {
  if (selected_font_) {
    if (surface_) surface_->ReleaseFont();
    selected_font_ = false;
  }
}

// The font is selected into the surface by the first text operation after a
// font or size change and stays selected.
void TBitmap32::UpdateFont() {
  if (surface_) selected_font_ = true;
}

TSize TBitmap32::TextExtent(std::string_view text) {
  UpdateFont();
  TSize e;
  if (surface_) {
    e = surface_->MeasureText(font_.Desc(), text);
  } else {
    StockBitmap& stock = Stock();
    std::lock_guard<std::mutex> guard(stock.lock);
    e = stock.surface->MeasureText(font_.Desc(), text);
    stock.surface->ReleaseFont();
  }
  return TSize{e.cx, e.cy};
}

void TBitmap32::Textout(std::int32_t x, std::int32_t y, std::string_view text) {
  if (!surface_) return;
  UpdateFont();
  surface_->DrawText(font_.Desc(), x, y, text, font_.Color(), std::nullopt);
  surface_->Flush();
  Changed();
}

}  // namespace vesk::raster
