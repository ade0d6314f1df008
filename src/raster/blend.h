#pragma once
// Combining two TColor32 values, to the byte. Two families exist, one per
// TCombineMode: the blend family (cmBlend: the foreground is laid over the
// background with the foreground alpha as weight, all four channels mixed)
// and the merge family (cmMerge, see merge.h: two translucent colours are
// composited). Each family comes in six shapes; drawing code indexes the
// dispatch tables below with the source bitmap's CombineMode instead of
// naming a family.
//
// The blend family has two result sets, bound once per process by a
// processor test: the vector one (the reference; bound whenever the
// processor has MMX) and the scalar one. Their bytes differ in rounding and
// in the result alpha of the master-alpha forms; docs/rounding.md explains
// both.
//
// Binding and static initialisation: every routine variable and every
// cmBlend table entry starts out (constant-initialised, so before any
// dynamic initialiser of any translation unit runs) pointing at a small
// forwarding routine that performs the one-time binding (thread-safe, a
// function-local static) and then calls through the freshly bound variable.
// A dynamic initialiser in blend.cpp also binds at start-up, so after start-up
// every call goes straight to the bound routine. A static initialiser
// elsewhere that blends before blend.cpp's initialiser has run therefore
// still gets the bound result set, never a half-built state.
//
// Routines are pure functions of their arguments and immutable tables; they
// may run on any number of threads once binding is done. Rows must not
// overlap partially (Src == Dst is fine).
#include <cstdint>

#include "raster/color32.h"
#include "raster/merge.h"
#include "raster/modes.h"

namespace vesk::raster {

// F is the foreground (source) colour, B the background (destination), M a
// master alpha 0..255 (larger values are taken as 255), Count a pixel count
// (0 or less processes nothing).
using TBlendReg = TColor32 (*)(TColor32 F, TColor32 B);
using TBlendMem = void (*)(TColor32 F, TColor32& B);
using TBlendRegEx = TColor32 (*)(TColor32 F, TColor32 B, std::uint32_t M);
using TBlendMemEx = void (*)(TColor32 F, TColor32& B, std::uint32_t M);
using TBlendLine = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count);
using TBlendLineEx = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                              std::uint32_t M);
// CombinePixel(X, Y, W) mixes X over Y with weight W 0..255 (larger: 255).
using TCombineReg = TColor32 (*)(TColor32 X, TColor32 Y, std::uint32_t W);
using TCombineMem = void (*)(TColor32 X, TColor32& Y, std::uint32_t W);

// The bound blend family (vector or scalar result set), callable directly:
// BlendPixel(F, B).
extern TBlendReg BlendPixel;
extern TBlendMem BlendPixelInPlace;
extern TBlendRegEx BlendPixelEx;
extern TBlendMemEx BlendPixelExInPlace;
extern TBlendLine BlendRow;
extern TBlendLineEx BlendRowEx;
extern TCombineReg CombinePixel;
extern TCombineMem CombinePixelInPlace;

// Dispatch tables indexed by static_cast<int>(TCombineMode):
// [cmBlend] = the bound blend routine, [cmMerge] = the merge routine.
extern TBlendReg BLEND_REG[2];         // BlendPixel, MergePixel
extern TBlendMem BLEND_MEM[2];         // BlendPixelInPlace, MergePixelInPlace
extern TBlendRegEx BLEND_REG_EX[2];    // BlendPixelEx, MergePixelEx
extern TBlendMemEx BLEND_MEM_EX[2];    // BlendPixelExInPlace, MergePixelExInPlace
extern TBlendLine BLEND_LINE[2];       // BlendRow, MergeRow
extern TBlendLineEx BLEND_LINE_EX[2];  // BlendRowEx, MergeRowEx

// Ends the vector state after vector blending. Callers that blend call it
// afterwards (a transfer in every case, errors included; the rasterizer after
// each blended pixel). The vector routines of this build run in SSE2 or
// general-purpose registers and never enter MMX state, so there is nothing to
// leave and this is a no-op; it stays the one place to do it should a
// routine ever use MMX registers.
void EMMS() noexcept;

// The two result sets of the blend family.
enum class TBlendImplementation : std::uint8_t { biVector = 0, biScalar = 1 };

// Whether the vector result set is bound (true on every x86-64 processor,
// which always has MMX).
[[nodiscard]] bool BlendVectorActive() noexcept;
[[nodiscard]] TBlendImplementation BoundBlendImplementation() noexcept;

// Rebinds the blend-family variables, CombinePixel(InPlace) and the cmBlend
// column of every dispatch table to the given result set. For tests and
// benchmarks that compare both sets; not thread-safe, and the caller restores
// the start-up binding (RestoreStartupBlendBinding) afterwards.
void BindBlendImplementation(TBlendImplementation impl) noexcept;
void RestoreStartupBlendBinding() noexcept;

}  // namespace vesk::raster
