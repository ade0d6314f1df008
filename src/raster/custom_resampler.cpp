#include "raster/custom_resampler.h"

#include <string>

#include "raster/exceptions.h"

namespace vesk::raster {

void TCustomResampler::Resample(TBitmap32&, const TRect&, const TRect&, TBitmap32&, const TRect&, TDrawMode,
                                const TPixelCombineEvent&) {
  throw EBitmapException("Stretched drawing is not implemented by " + std::string(ClassName()));
}

}  // namespace vesk::raster
