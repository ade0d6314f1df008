#include "raster/pixel_routines.h"

#include "raster/blend_avx2.h"
#include "raster/blend_scalar.h"
#include "raster/blend_vector.h"
#include "raster/lowlevel.h"
#include "raster/merge.h"

namespace vesk::raster {

namespace {

constexpr int kB = Column(cmBlend);
constexpr int kM = Column(cmMerge);

// The plain routines: the vector result set and the merge family pixel by
// pixel, and the fill and copy word by word.
constexpr TPixelRoutines kPlainRoutines{
    TBlendImplementation::biVector,
    {&blend_vector::BlendPixel, &MergePixel},
    {&blend_vector::BlendPixelInPlace, &MergePixelInPlace},
    {&blend_vector::BlendPixelEx, &MergePixelEx},
    {&blend_vector::BlendPixelExInPlace, &MergePixelExInPlace},
    {&blend_vector::BlendRowPortable, &MergeRowPortable},
    {&blend_vector::BlendRowExPortable, &MergeRowEx},
    &blend_vector::CombinePixel,
    &blend_vector::CombinePixelInPlace,
    &lowlevel::FillLongwordPortable,
    &lowlevel::MoveLongwordPortable,
};

void UseScalarBlendSet(TPixelRoutines& r) noexcept {
  r.Blend = TBlendImplementation::biScalar;
  r.Pixel[kB] = &blend_scalar::BlendPixel;
  r.PixelInPlace[kB] = &blend_scalar::BlendPixelInPlace;
  r.PixelEx[kB] = &blend_scalar::BlendPixelEx;
  r.PixelExInPlace[kB] = &blend_scalar::BlendPixelExInPlace;
  r.Row[kB] = &blend_scalar::BlendRow;
  r.RowEx[kB] = &blend_scalar::BlendRowEx;
  r.Combine = &blend_scalar::CombinePixel;
  r.CombineInPlace = &blend_scalar::CombinePixelInPlace;
}

// The table with the given blend result set, overridden per feature of
// the processor.
TPixelRoutines MakeRoutines(TBlendImplementation blend_set, const TCpuidResults& cpu) noexcept {
  TPixelRoutines r = kPlainRoutines;
  if (blend_set == TBlendImplementation::biScalar) {
    UseScalarBlendSet(r);
    return r;
  }
  r.Fill = &lowlevel::FillLongwordWide;
  r.Move = &lowlevel::MoveLongwordWide;
#if defined(__SSE2__)
  // The vector merge row mixes an opaque background with the vector set's
  // arithmetic, so it belongs to that set.
  if (CpuidHasFeature(cpu, cfSSE2)) {
    r.Row[kB] = &blend_vector::BlendRowSse2;
    r.RowEx[kB] = &blend_vector::BlendRowExSse2;
    r.Row[kM] = &MergeRowSse2;
  }
#endif
#if VESK_ROWS_AVX2
  if (CpuidHasFeature(cpu, cfSSE2) && CpuidHasFeature(cpu, cfAVX2)) {
    r.Row[kB] = &avx2::BlendRow;
    r.Row[kM] = &avx2::MergeRowVector;
  }
#endif
  return r;
}

}  // namespace

TPixelRoutines MakePixelRoutines(const TCpuidResults& cpu) noexcept {
  return MakeRoutines(CpuidHasFeature(cpu, cfMMX) ? TBlendImplementation::biVector : TBlendImplementation::biScalar,
                      cpu);
}

TPixelRoutines& PixelRoutines() noexcept {
  static TPixelRoutines routines = MakePixelRoutines(ReadCpuid());
  return routines;
}

void BindBlendImplementation(TBlendImplementation impl) noexcept { PixelRoutines() = MakeRoutines(impl, ReadCpuid()); }

void RestoreStartupBlendBinding() noexcept { PixelRoutines() = MakePixelRoutines(ReadCpuid()); }

}  // namespace vesk::raster
