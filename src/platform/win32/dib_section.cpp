#include "platform/win32/dib_section.h"

#include "platform/surface.h"

namespace vesk::platform {

DibSection CreateSelectedDibSection(std::int32_t width, std::int32_t height, WORD bit_count) {
  if (!SurfaceSizeValid(width, height)) throw SurfaceError(kErrAllocateDib);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bit_count;
  info.bmiHeader.biCompression = BI_RGB;
  DibSection dib;
  dib.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &dib.bits, nullptr, 0);
  if (dib.bitmap == nullptr || dib.bits == nullptr) {
    if (dib.bitmap != nullptr) DeleteObject(dib.bitmap);
    throw SurfaceError(kErrAllocateDib);
  }
  dib.dc = CreateCompatibleDC(nullptr);
  if (dib.dc == nullptr) {
    DeleteObject(dib.bitmap);
    throw SurfaceError(kErrCreateDc);
  }
  HGDIOBJ previous = SelectObject(dib.dc, dib.bitmap);
  if (previous == nullptr || previous == HGDI_ERROR) {
    DeleteDC(dib.dc);
    DeleteObject(dib.bitmap);
    throw SurfaceError(kErrSelectObject);
  }
  return dib;
}

}  // namespace vesk::platform
