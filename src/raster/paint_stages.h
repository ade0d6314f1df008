#pragma once
// The list of paint stages of an image control: what is painted, in which
// order, when the control paints itself into a bitmap.
#include <cstdint>
#include <vector>

namespace vesk::raster {

// Stage kinds (the value of TPaintStage::Stage). Any other value paints
// nothing.
inline constexpr std::uint32_t pstCustom = 1;           // OnPaintStage, if assigned
inline constexpr std::uint32_t pstClearBuffer = 2;      // Clear with the control's colour
inline constexpr std::uint32_t pstClearBackground = 3;  // fill outside the bitmap's rectangle
inline constexpr std::uint32_t pstDrawBitmap = 4;       // the control's bitmap
inline constexpr std::uint32_t pstDrawLayers = 5;       // layers whose flags share a bit with Parameter
inline constexpr std::uint32_t pstControlFrame = 6;     // dotted frame around the control
inline constexpr std::uint32_t pstBitmapFrame = 7;      // dotted frame around the bitmap

struct TPaintStage {
  bool DesignTime = false;
  bool RunTime = false;
  std::uint32_t Stage = 0;
  // Meaning depends on the kind: the layer mask of pstDrawLayers.
  std::uint32_t Parameter = 0;
};

class TPaintStages {
 public:
  // Appends {DesignTime false, RunTime true, Stage 0, Parameter 0} and
  // returns it. The reference stays valid until the list next changes.
  TPaintStage& Add();
  // Removes one record, moving the later ones down. An index outside
  // 0 .. Count - 1 raises EListError "Invalid stage index" and changes
  // nothing.
  void Delete(std::int32_t index);
  void Clear() noexcept { items_.clear(); }

  [[nodiscard]] std::int32_t Count() const noexcept {
    return static_cast<std::int32_t>(items_.size());
  }
  // Unchecked: the caller keeps 0 <= index < Count.
  [[nodiscard]] TPaintStage& Items(std::int32_t index) noexcept {
    return items_[static_cast<std::size_t>(index)];
  }
  [[nodiscard]] const TPaintStage& Items(std::int32_t index) const noexcept {
    return items_[static_cast<std::size_t>(index)];
  }

 private:
  std::vector<TPaintStage> items_;
};

}  // namespace vesk::raster
