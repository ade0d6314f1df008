#pragma once
// TLayerCollection: the ordered, owning list of an image control's layers.
// Index 0 is painted first, so later layers paint over earlier ones.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "raster/custom_layer.h"
#include "raster/notifiable_persistent.h"

namespace vesk::raster {

// Actions reported by OnLayerListChange.
enum class TLayerListChangeAction : std::uint8_t {
  lcaAdd = 0,
  lcaRemove = 2,
  lcaClear = 3,
};
using enum TLayerListChangeAction;

using TLayerListChangeEvent = std::function<void(TLayerCollection* sender,
                                                 TLayerListChangeAction action,
                                                 TCustomLayer* layer, std::int32_t index)>;
using TLayerUpdateEvent = std::function<void(TLayerCollection* sender, TCustomLayer* layer)>;
using TGetViewportEvent = std::function<void(TLayerCollection* sender, float& x, float& y)>;

class TLayerCollection : public TPersistent {
 public:
  // owner: the image control (or nullptr).
  explicit TLayerCollection(TPersistent* owner = nullptr) : owner_(owner) {}
  // Reports nothing to OnChange: frees the remaining layers from the last to
  // the first (each reports its removal), then fires OnLayerListChange with
  // lcaClear.
  ~TLayerCollection() override;

  // Makes a layer of class T on this collection (T's constructor takes the
  // collection first) and returns it; the collection owns it.
  template <class T, class... Args>
  T* Add(Args&&... args) {
    return new T(this, std::forward<Args>(args)...);
  }

  [[nodiscard]] std::int32_t Count() const noexcept {
    return static_cast<std::int32_t>(items_.size());
  }
  // Unchecked: the caller keeps 0 <= index < Count.
  [[nodiscard]] TCustomLayer* Items(std::int32_t index) const noexcept {
    return items_[static_cast<std::size_t>(index)];
  }
  [[nodiscard]] std::int32_t IndexOf(const TCustomLayer* layer) const noexcept;

  // Frees every layer (last to first), fires lcaClear, all inside one
  // update bracket.
  void Clear();

  // Fires OnBeforeChange when no bracket is open, then opens one.
  void BeginUpdate();
  // Closes a bracket and reports Changed when the last one closes. An
  // unpaired call raises EAssertionFailed "Unpaired EndUpdate" and leaves the
  // count at 0, so later changes are still reported.
  void EndUpdate();
  // Fires OnChange (whatever the update count).
  void Changed();
  // Fires OnGDIUpdate when no bracket is open.
  void GDIUpdate();
  [[nodiscard]] std::int32_t UpdateCount() const noexcept { return update_count_; }

  // The image's viewport: OnGetViewportScale's answer, else (1, 1), and
  // OnGetViewportShift's answer, else (0, 0).
  virtual void GetViewportScale(float& sx, float& sy);
  virtual void GetViewportShift(float& tx, float& ty);

  [[nodiscard]] TPersistent* Owner() const noexcept { return owner_; }
  [[nodiscard]] bool MouseEvents() const noexcept { return mouse_events_; }
  void SetMouseEvents(bool value) noexcept { mouse_events_ = value; }
  // The layer that currently receives the mouse; a layer that leaves the
  // collection stops being it.
  [[nodiscard]] TCustomLayer* MouseListener() const noexcept { return mouse_listener_; }
  void SetMouseListener(TCustomLayer* layer) noexcept { mouse_listener_ = layer; }

  TNotifyEvent OnBeforeChange;
  TNotifyEvent OnChange;
  TNotifyEvent OnGDIUpdate;
  TLayerListChangeEvent OnLayerListChange;
  TLayerUpdateEvent OnLayerUpdate;
  TGetViewportEvent OnGetViewportScale;
  TGetViewportEvent OnGetViewportShift;

 private:
  friend class TCustomLayer;

  // Append and removal, each inside an update bracket and reported to
  // OnLayerListChange.
  void InsertItem(TCustomLayer* layer);
  void RemoveItem(TCustomLayer* layer);
  void MoveItem(TCustomLayer* layer, std::int32_t new_index);
  void NotifyListChange(TLayerListChangeAction action, TCustomLayer* layer, std::int32_t index);
  // Fires OnLayerUpdate.
  void LayerUpdated(TCustomLayer* layer);

  std::vector<TCustomLayer*> items_;
  bool mouse_events_ = true;
  TCustomLayer* mouse_listener_ = nullptr;
  std::int32_t update_count_ = 0;
  TPersistent* owner_;
};

}  // namespace vesk::raster
