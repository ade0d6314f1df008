#include "raster/custom_layer.h"

#include <algorithm>

#include "raster/layer_collection.h"

namespace vesk::raster {

namespace {

void EraseValue(std::vector<TCustomLayer*>& list, const TCustomLayer* value) {
  list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

TCustomLayer::TCustomLayer(TLayerCollection* collection) {
  try {
    SetLayerCollection(collection);
  } catch (...) {
    // A list-change handler failed after the layer joined: a layer whose
    // construction fails must not stay in the list.
    if (collection_ != nullptr) {
      EraseValue(collection_->items_, this);
      collection_ = nullptr;
    }
    throw;
  }
  layer_flags_ = kLayerVisible;
}

TCustomLayer::~TCustomLayer() {
  if (OnDestroy) OnDestroy(this);
  // Last to first; each entry leaves the list before it is told, so a layer
  // freed during another's Notification is never told twice or after death.
  while (!free_notifies_.empty()) {
    TCustomLayer* layer = free_notifies_.back();
    free_notifies_.pop_back();
    EraseValue(layer->notify_sources_, this);
    layer->Notification(this);
  }
  for (TCustomLayer* source : notify_sources_) EraseValue(source->free_notifies_, this);
  notify_sources_.clear();
  SetLayerCollection(nullptr);
}

void TCustomLayer::Changed() {
  if (UpdateCount() > 0 || collection_ == nullptr || (layer_flags_ & kLayerNoUpdate) != 0) return;
  const bool visible = Visible();
  if (visible || (layer_flags_ & kLayerForceUpdate) != 0) {
    collection_->LayerUpdated(this);
    collection_->Changed();
  }
  if (visible) {
    collection_->Changed();
  } else if ((layer_flags_ & kLayerGdiOverlay) != 0) {
    collection_->GDIUpdate();
  }
  TNotifiablePersistent::Changed();
}

void TCustomLayer::PaintLayer(TBitmap32& buffer) {
  Paint(buffer);
  if (OnPaint) OnPaint(this, buffer);
}

bool TCustomLayer::HitTest(std::int32_t x, std::int32_t y) {
  bool passed = DoHitTest(x, y);
  if (OnHitTest) OnHitTest(this, x, y, passed);
  return passed;
}

std::int32_t TCustomLayer::Index() const {
  return collection_ != nullptr ? collection_->IndexOf(this) : -1;
}

void TCustomLayer::SetIndex(std::int32_t value) {
  if (collection_ == nullptr || value == Index()) return;
  collection_->MoveItem(this, value);
  Changed();
}

void TCustomLayer::SetLayerCollection(TLayerCollection* value) {
  if (value == collection_) return;
  if (collection_ != nullptr) {
    if (collection_->MouseListener() == this) collection_->SetMouseListener(nullptr);
    collection_->RemoveItem(this);
  }
  if (value != nullptr) value->InsertItem(this);
}

void TCustomLayer::SetLayerFlags(std::uint32_t value) {
  if (value == layer_flags_) return;
  const bool was_visible = Visible();
  layer_flags_ = value;
  // An invisible layer's changes no longer reach the image: report the
  // disappearance itself.
  if (was_visible && !Visible() && collection_ != nullptr && UpdateCount() == 0 &&
      (value & kLayerNoUpdate) == 0) {
    collection_->Changed();
  }
  Changed();
}

void TCustomLayer::AddNotification(TCustomLayer* layer) {
  if (layer == nullptr || layer == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), layer) != free_notifies_.end()) return;
  free_notifies_.push_back(layer);
  layer->notify_sources_.push_back(this);
}

void TCustomLayer::RemoveNotification(TCustomLayer* layer) {
  if (layer == nullptr) return;
  EraseValue(free_notifies_, layer);
  EraseValue(layer->notify_sources_, this);
}

bool TCustomLayer::DoHitTest(std::int32_t, std::int32_t) { return true; }

void TCustomLayer::Notification(TCustomLayer*) {}

void TCustomLayer::Paint(TBitmap32&) {}

}  // namespace vesk::raster
