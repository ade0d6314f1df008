#include "raster/layer_collection.h"

#include <algorithm>

#include "base/errors.h"
#include "base/scope_exit.h"

namespace vesk::raster {

TLayerCollection::~TLayerCollection() {
  // Nothing may reach OnChange from here: the owner is being destroyed.
  update_count_ = 1;
  while (!items_.empty()) delete items_.back();
  NotifyListChange(lcaClear, nullptr, 0);
}

std::int32_t TLayerCollection::IndexOf(const TCustomLayer* layer) const noexcept {
  const auto it = std::find(items_.begin(), items_.end(), layer);
  return it == items_.end() ? -1 : static_cast<std::int32_t>(it - items_.begin());
}

// Each change of the list runs inside one update bracket of the collection,
// which closes also when the change fails.
void TLayerCollection::Clear() {
  const TUpdateScope bracket(*this);
  while (!items_.empty()) delete items_.back();
  NotifyListChange(lcaClear, nullptr, 0);
}

void TLayerCollection::BeginUpdate() {
  if (update_count_ == 0 && OnBeforeChange) OnBeforeChange(this);
  ++update_count_;
}

void TLayerCollection::EndUpdate() {
  if (update_count_ <= 0) {
    update_count_ = 0;
    throw EAssertionFailed("Unpaired EndUpdate");
  }
  if (--update_count_ == 0) Changed();
}

void TLayerCollection::Changed() {
  if (OnChange) OnChange(this);
}

void TLayerCollection::GDIUpdate() {
  if (update_count_ == 0 && OnGDIUpdate) OnGDIUpdate(this);
}

void TLayerCollection::GetViewportScale(float& sx, float& sy) {
  if (OnGetViewportScale) {
    OnGetViewportScale(this, sx, sy);
  } else {
    sx = 1;
    sy = 1;
  }
}

void TLayerCollection::GetViewportShift(float& tx, float& ty) {
  if (OnGetViewportShift) {
    OnGetViewportShift(this, tx, ty);
  } else {
    tx = 0;
    ty = 0;
  }
}

void TLayerCollection::InsertItem(TCustomLayer* layer) {
  const TUpdateScope bracket(*this);
  items_.push_back(layer);
  layer->collection_ = this;
  NotifyListChange(lcaAdd, layer, Count() - 1);
}

void TLayerCollection::RemoveItem(TCustomLayer* layer) {
  const TUpdateScope bracket(*this);
  const std::int32_t index = IndexOf(layer);
  if (index >= 0) items_.erase(items_.begin() + index);
  layer->collection_ = nullptr;
  NotifyListChange(lcaRemove, layer, index);
}

void TLayerCollection::MoveItem(TCustomLayer* layer, std::int32_t new_index) {
  const std::int32_t old_index = IndexOf(layer);
  if (old_index < 0) return;
  new_index = std::clamp(new_index, 0, Count() - 1);
  if (new_index == old_index) return;
  const TUpdateScope bracket(*this);
  items_.erase(items_.begin() + old_index);
  items_.insert(items_.begin() + new_index, layer);
}

void TLayerCollection::NotifyListChange(TLayerListChangeAction action, TCustomLayer* layer,
                                        std::int32_t index) {
  if (OnLayerListChange) OnLayerListChange(this, action, layer, index);
}

void TLayerCollection::LayerUpdated(TCustomLayer* layer) {
  if (OnLayerUpdate) OnLayerUpdate(this, layer);
}

}  // namespace vesk::raster
