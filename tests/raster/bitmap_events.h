#pragma once
// Records the notifications of a bitmap as readable lines, in order.
#include <cstdio>
#include <string>
#include <vector>

#include "raster/bitmap32.h"

namespace vesk::raster::testing {

inline std::string RectText(const TRect& r) {
  char text[64];
  std::snprintf(text, sizeof text, "(%d,%d,%d,%d)", r.Left, r.Top, r.Right, r.Bottom);
  return text;
}

struct EventLog {
  std::vector<std::string> lines;

  explicit EventLog(TBitmap32& b) {
    b.OnChange = [this](TObject*) { lines.push_back("change"); };
    b.OnResize = [this](TObject*) { lines.push_back("resize"); };
    b.OnHandleChanged = [this](TObject*) { lines.push_back("handle"); };
    b.OnAreaChanged = [this](TObject*, const TRect& area, std::uint32_t info) {
      lines.push_back("area" + RectText(area) + (info == kAreaInfoRect ? "" : "?"));
    };
  }
  void Clear() { lines.clear(); }
};

}  // namespace vesk::raster::testing
