#pragma once
// TCustomLayer: one layer of an image control, painted over the control's
// bitmap in the order of its collection. The base paints nothing; a
// subclass overrides Paint (and DoHitTest, Notification ... as it needs).
//
// Ownership: a layer made with a collection belongs to it and is freed with
// it; deleting a layer earlier removes it from its collection. Make layers
// with new (or TLayerCollection::Add) and never on the stack while they
// belong to a collection.
#include <cstdint>
#include <functional>
#include <vector>

#include "raster/notifiable_persistent.h"

namespace vesk::raster {

class TBitmap32;
class TCustomLayer;
class TLayerCollection;

// LayerFlags bits.
// Painted by the layer stage with the default mask; set at creation.
inline constexpr std::uint32_t kLayerVisible = 0x80000000u;
// An invisible layer with this bit asks the collection for a GDI update
// when it changes.
inline constexpr std::uint32_t kLayerGdiOverlay = 0x40000000u;
// Mouse routing (not used by the raster engine itself).
inline constexpr std::uint32_t kLayerMouseEvents = 0x20000000u;
// The layer's changes are not passed on.
inline constexpr std::uint32_t kLayerNoUpdate = 0x10000000u;
// Mouse routing (not used by the raster engine itself).
inline constexpr std::uint32_t kLayerNoCapture = 0x08000000u;
// An invisible layer with this bit still reports its updates.
inline constexpr std::uint32_t kLayerForceUpdate = 0x02000000u;

using TPaintLayerEvent = std::function<void(TCustomLayer* sender, TBitmap32& buffer)>;
using THitTestEvent =
    std::function<void(TCustomLayer* sender, std::int32_t x, std::int32_t y, bool& passed)>;

class TCustomLayer : public TNotifiablePersistent {
 public:
  // Joins the collection (through SetLayerCollection; nullptr joins none),
  // then LayerFlags := kLayerVisible.
  explicit TCustomLayer(TLayerCollection* collection);
  // Fires OnDestroy, calls Notification(this) on every layer registered for
  // free notification (last to first), then leaves the collection. This runs
  // after a subclass's destructor: handlers see only the TCustomLayer part of
  // the dying layer, and must not throw.
  ~TCustomLayer() override;

  // Nothing while a bracket is open, without a collection, or with
  // kLayerNoUpdate. Otherwise: a visible or force-update layer makes the
  // collection fire OnLayerUpdate and Changed; then a visible layer makes the
  // collection report Changed once more, while an invisible GDI overlay asks
  // for a GDI update; finally the layer's own OnChange (when no bracket is
  // open).
  void Changed() override;

  // Paint, then OnPaint.
  void PaintLayer(TBitmap32& buffer);
  // DoHitTest, then OnHitTest may overrule it.
  [[nodiscard]] bool HitTest(std::int32_t x, std::int32_t y);

  // Position in the collection; -1 without one.
  [[nodiscard]] std::int32_t Index() const;
  virtual void SetIndex(std::int32_t value);

  [[nodiscard]] TLayerCollection* LayerCollection() const noexcept { return collection_; }
  // Leaves the old collection (list action 2) and joins the new one at the
  // end (list action 0); nothing when unchanged.
  virtual void SetLayerCollection(TLayerCollection* value);

  [[nodiscard]] std::uint32_t LayerFlags() const noexcept { return layer_flags_; }
  // Stores a different value and reports the change (a layer that turns
  // invisible also tells the collection, so its image is repainted).
  virtual void SetLayerFlags(std::uint32_t value);
  [[nodiscard]] bool Visible() const noexcept { return (layer_flags_ & kLayerVisible) != 0; }
  void SetVisible(bool value) {
    SetLayerFlags(value ? layer_flags_ | kLayerVisible : layer_flags_ & ~kLayerVisible);
  }

  // Registers another layer to be told (Notification) when this one is
  // freed. Registrations are dropped on both sides when either layer dies.
  void AddNotification(TCustomLayer* layer);
  void RemoveNotification(TCustomLayer* layer);

  // Whether (x, y) hits the layer; always true here.
  [[nodiscard]] virtual bool DoHitTest(std::int32_t x, std::int32_t y);
  // Draws the layer into buffer; nothing here.
  virtual void Paint(TBitmap32& buffer);

  TPaintLayerEvent OnPaint;
  THitTestEvent OnHitTest;
  TNotifyEvent OnDestroy;

 protected:
  // A layer registered with AddNotification is being freed.
  virtual void Notification(TCustomLayer* layer);

 private:
  friend class TLayerCollection;

  // Layers to tell when this one is freed, and the layers whose lists hold
  // this one.
  std::vector<TCustomLayer*> free_notifies_;
  std::vector<TCustomLayer*> notify_sources_;
  TLayerCollection* collection_ = nullptr;
  std::uint32_t layer_flags_ = 0;
};

}  // namespace vesk::raster
