#include "raster/font.h"

namespace vesk::raster {

namespace {
template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TFont::SetName(const std::string& value) {
  if (Store(desc_.Name, value)) Changed();
}
void TFont::SetSize(std::int32_t value) {
  if (Store(desc_.Size, value)) Changed();
}
void TFont::SetStyle(std::uint8_t value) {
  if (Store(desc_.Style, value)) Changed();
}
void TFont::SetColor(TGdiColor value) {
  if (Store(desc_.Color, value)) Changed();
}
void TFont::SetQuality(platform::FontQuality value) {
  if (Store(desc_.Quality, value)) Changed();
}

void TFont::Assign(const platform::FontDesc& source) {
  if (Store(desc_, source)) Changed();
}

}  // namespace vesk::raster
