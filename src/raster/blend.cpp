// Binding of the blend family and the dispatch tables.
//
// Every blend-family variable and every cmBlend table entry is
// constant-initialised to a forwarding routine (First*) that binds once and
// then calls through the bound variable; blend.cpp's own dynamic initialiser
// binds at start-up as well. So whichever comes first - this unit's
// initialiser or a call from another unit's static initialiser - binds, and
// no call ever sees an unbound routine. The lookup tables are compile-time
// constants (blend_tables.cpp), so they exist before any binding.
#include "raster/blend.h"

#include "raster/blend_scalar.h"
#include "raster/blend_vector.h"
#include "raster/cpu.h"

namespace vesk::raster {

namespace {

void EnsureBound() noexcept;

TColor32 FirstBlendPixel(TColor32 F, TColor32 B) {
  EnsureBound();
  return BlendPixel(F, B);
}
void FirstBlendPixelInPlace(TColor32 F, TColor32& B) {
  EnsureBound();
  BlendPixelInPlace(F, B);
}
TColor32 FirstBlendPixelEx(TColor32 F, TColor32 B, std::uint32_t M) {
  EnsureBound();
  return BlendPixelEx(F, B, M);
}
void FirstBlendPixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) {
  EnsureBound();
  BlendPixelExInPlace(F, B, M);
}
void FirstBlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  EnsureBound();
  BlendRow(Src, Dst, Count);
}
void FirstBlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) {
  EnsureBound();
  BlendRowEx(Src, Dst, Count, M);
}
TColor32 FirstCombinePixel(TColor32 X, TColor32 Y, std::uint32_t W) {
  EnsureBound();
  return CombinePixel(X, Y, W);
}
void FirstCombinePixelInPlace(TColor32 X, TColor32& Y, std::uint32_t W) {
  EnsureBound();
  CombinePixelInPlace(X, Y, W);
}

// The vector-active flag: whether the vector result set is bound.
constinit bool g_vector_active = false;
constinit TBlendImplementation g_startup_implementation = TBlendImplementation::biVector;

constexpr int kBlendColumn = static_cast<int>(cmBlend);

}  // namespace

constinit TBlendReg BlendPixel = &FirstBlendPixel;
constinit TBlendMem BlendPixelInPlace = &FirstBlendPixelInPlace;
constinit TBlendRegEx BlendPixelEx = &FirstBlendPixelEx;
constinit TBlendMemEx BlendPixelExInPlace = &FirstBlendPixelExInPlace;
constinit TBlendLine BlendRow = &FirstBlendRow;
constinit TBlendLineEx BlendRowEx = &FirstBlendRowEx;
constinit TCombineReg CombinePixel = &FirstCombinePixel;
constinit TCombineMem CombinePixelInPlace = &FirstCombinePixelInPlace;

// The merge column never changes; the blend column is rebound with the family.
constinit TBlendReg BLEND_REG[2] = {&FirstBlendPixel, &MergePixel};
constinit TBlendMem BLEND_MEM[2] = {&FirstBlendPixelInPlace, &MergePixelInPlace};
constinit TBlendRegEx BLEND_REG_EX[2] = {&FirstBlendPixelEx, &MergePixelEx};
constinit TBlendMemEx BLEND_MEM_EX[2] = {&FirstBlendPixelExInPlace, &MergePixelExInPlace};
constinit TBlendLine BLEND_LINE[2] = {&FirstBlendRow, &MergeRow};
constinit TBlendLineEx BLEND_LINE_EX[2] = {&FirstBlendRowEx, &MergeRowEx};

void BindBlendImplementation(TBlendImplementation impl) noexcept {
  if (impl == TBlendImplementation::biVector) {
    BlendPixel = &blend_vector::BlendPixel;
    BlendPixelInPlace = &blend_vector::BlendPixelInPlace;
    BlendPixelEx = &blend_vector::BlendPixelEx;
    BlendPixelExInPlace = &blend_vector::BlendPixelExInPlace;
    BlendRow = &blend_vector::BlendRow;
    BlendRowEx = &blend_vector::BlendRowEx;
    CombinePixel = &blend_vector::CombinePixel;
    CombinePixelInPlace = &blend_vector::CombinePixelInPlace;
  } else {
    BlendPixel = &blend_scalar::BlendPixel;
    BlendPixelInPlace = &blend_scalar::BlendPixelInPlace;
    BlendPixelEx = &blend_scalar::BlendPixelEx;
    BlendPixelExInPlace = &blend_scalar::BlendPixelExInPlace;
    BlendRow = &blend_scalar::BlendRow;
    BlendRowEx = &blend_scalar::BlendRowEx;
    CombinePixel = &blend_scalar::CombinePixel;
    CombinePixelInPlace = &blend_scalar::CombinePixelInPlace;
  }
  BLEND_REG[kBlendColumn] = BlendPixel;
  BLEND_MEM[kBlendColumn] = BlendPixelInPlace;
  BLEND_REG_EX[kBlendColumn] = BlendPixelEx;
  BLEND_MEM_EX[kBlendColumn] = BlendPixelExInPlace;
  BLEND_LINE[kBlendColumn] = BlendRow;
  BLEND_LINE_EX[kBlendColumn] = BlendRowEx;
  g_vector_active = impl == TBlendImplementation::biVector;
}

namespace {

// The start-up binding: the tables are already built (compile-time
// constants) and the merge column is constant; the processor test picks the
// blend result set. Runs once, guarded by the function-local static.
void EnsureBound() noexcept {
  static const bool bound = [] {
    g_startup_implementation =
        CpuHasFeature(cfMMX) ? TBlendImplementation::biVector : TBlendImplementation::biScalar;
    BindBlendImplementation(g_startup_implementation);
    return true;
  }();
  (void)bound;
}

[[maybe_unused]] const bool kBlendBoundAtStartup = (EnsureBound(), true);

}  // namespace

void RestoreStartupBlendBinding() noexcept {
  EnsureBound();
  BindBlendImplementation(g_startup_implementation);
}

bool BlendVectorActive() noexcept {
  EnsureBound();
  return g_vector_active;
}

TBlendImplementation BoundBlendImplementation() noexcept {
  EnsureBound();
  return g_vector_active ? TBlendImplementation::biVector : TBlendImplementation::biScalar;
}

void EMMS() noexcept {
  // Nothing to leave: no routine of this build puts the processor into MMX
  // state (the vector mix runs in SSE2 or general-purpose registers), so
  // floating-point code may run right after any blend.
}

}  // namespace vesk::raster
