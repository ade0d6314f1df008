#pragma once
// The font object of a bitmap: a font description with change notification.
#include <cstdint>
#include <string>

#include "platform/font.h"
#include "raster/color32.h"
#include "raster/notifiable_persistent.h"

namespace vesk::raster {

class TFont : public TNotifiablePersistent {
 public:
  [[nodiscard]] const platform::FontDesc& Desc() const noexcept { return desc_; }

  [[nodiscard]] const std::string& Name() const noexcept { return desc_.Name; }
  [[nodiscard]] std::int32_t Size() const noexcept { return desc_.Size; }
  [[nodiscard]] std::uint8_t Style() const noexcept { return desc_.Style; }
  [[nodiscard]] TGdiColor Color() const noexcept { return desc_.Color; }
  [[nodiscard]] platform::FontQuality Quality() const noexcept { return desc_.Quality; }

  // Each setter stores and calls Changed only when the value differs.
  void SetName(const std::string& value);
  void SetSize(std::int32_t value);
  void SetStyle(std::uint8_t value);
  void SetColor(TGdiColor value);
  void SetQuality(platform::FontQuality value);

  // Takes every attribute of the source, then one Changed if anything differed.
  void Assign(const TFont& source) { Assign(source.desc_); }
  void Assign(const platform::FontDesc& source);

 private:
  platform::FontDesc desc_;
};

}  // namespace vesk::raster
