#pragma once
// TTransformation: the base of coordinate transformations used by transformed
// drawing. It maps source coordinates to target coordinates (Transform*) and
// back (ReverseTransform*) in three number formats: integer, 16.16 fixed
// point and single precision. A subclass implements at least the float
// forms; the base derives the fixed forms from the float ones and the integer
// forms from the fixed ones.
//
// Derived data (inverse matrices, fixed-point copies) is built by
// PrepareTransform and stays valid until the next Changed. The coordinate
// operations read it unchecked; the point forms prepare first when needed.
#include <string>

#include "base/errors.h"
#include "raster/fixed.h"
#include "raster/notifiable_persistent.h"
#include "base/geometry.h"

namespace vesk::raster {

class ETransformNotImplemented : public Exception {
 public:
  using Exception::Exception;
};

class TTransformation : public TNotifiablePersistent {
 public:
  TTransformation() = default;
  ~TTransformation() override = default;

  // Name of the concrete class, used in error messages.
  [[nodiscard]] virtual std::string ClassName() const { return "TTransformation"; }

  // Marks the derived data stale, then notifies as the base does.
  void Changed() override;

  // Builds the derived data and sets TransformValid. Nothing here.
  virtual void PrepareTransform() {}

  // Target -> source. The integer form scales by 65536 with a 16-bit shift
  // (so |x|, |y| <= 32767), maps in fixed point and rounds with FixedRound
  // (exact halves round down). The fixed form maps x/65536, y/65536 as singles
  // and converts back with FloatToFixed. The float form raises
  // ETransformNotImplemented.
  [[nodiscard]] virtual TPoint ReverseTransformInt(std::int32_t x, std::int32_t y);
  [[nodiscard]] virtual TFixedPoint ReverseTransformFixed(TFixed x, TFixed y);
  [[nodiscard]] virtual TFloatPoint ReverseTransformFloat(float x, float y);

  // Source -> target, derived the same way.
  [[nodiscard]] virtual TPoint TransformInt(std::int32_t x, std::int32_t y);
  [[nodiscard]] virtual TFixedPoint TransformFixed(TFixed x, TFixed y);
  [[nodiscard]] virtual TFloatPoint TransformFloat(float x, float y);

  [[nodiscard]] virtual bool HasTransformedBounds() const { return true; }

  // The integer rectangle covering the image of r. Here: r with each
  // coordinate rounded to the nearest integer, halves to even.
  [[nodiscard]] virtual TRect GetTransformedBounds(const TFloatRect& r);
  [[nodiscard]] TRect GetTransformedBounds() { return GetTransformedBounds(SrcRect_); }

  // Point forms: PrepareTransform first unless TransformValid, then the
  // matching coordinate operation.
  [[nodiscard]] virtual TPoint ReverseTransform(const TPoint& p);
  [[nodiscard]] virtual TFixedPoint ReverseTransform(const TFixedPoint& p);
  [[nodiscard]] virtual TFloatPoint ReverseTransform(const TFloatPoint& p);
  [[nodiscard]] virtual TPoint Transform(const TPoint& p);
  [[nodiscard]] virtual TFixedPoint Transform(const TFixedPoint& p);
  [[nodiscard]] virtual TFloatPoint Transform(const TFloatPoint& p);

  // The source area whose image GetTransformedBounds() reports; all zero at
  // creation. Writing it copies the four values and calls Changed.
  [[nodiscard]] const TFloatRect& SrcRect() const noexcept { return SrcRect_; }
  void SetSrcRect(const TFloatRect& r);

  [[nodiscard]] bool TransformValid() const noexcept { return TransformValid_; }

 protected:
  bool TransformValid_ = false;

 private:
  TFloatRect SrcRect_{};
};

}  // namespace vesk::raster
