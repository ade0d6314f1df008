#pragma once
// A window's side of the settings storage made of parts: references to its
// three event slots, its placement window, a test for its system window and
// the list of its components.
#include <functional>
#include <utility>
#include <vector>

#include "desktop/form_placement.h"

namespace vesk::desktop {

class TStorageOwner final : public IStorageOwner {
 public:
  TStorageOwner(TShowHandler& on_show, TCloseQueryHandler& on_close_query, TDestroyHandler& on_destroy,
                IPlacementWindow& window, std::function<bool()> handle_allocated,
                std::vector<TStoredComponent*> components)
      : on_show_(on_show),
        on_close_query_(on_close_query),
        on_destroy_(on_destroy),
        window_(window),
        handle_allocated_(std::move(handle_allocated)),
        components_(std::move(components)) {}

  TShowHandler& OnShowSlot() override { return on_show_; }
  TCloseQueryHandler& OnCloseQuerySlot() override { return on_close_query_; }
  TDestroyHandler& OnDestroySlot() override { return on_destroy_; }
  IPlacementWindow& PlacementWindow() override { return window_; }
  [[nodiscard]] bool IsWindow() const override { return true; }
  [[nodiscard]] bool HandleAllocated() const override { return handle_allocated_ && handle_allocated_(); }
  std::vector<TStoredComponent*> Components() override { return components_; }

 private:
  TShowHandler& on_show_;
  TCloseQueryHandler& on_close_query_;
  TDestroyHandler& on_destroy_;
  IPlacementWindow& window_;
  std::function<bool()> handle_allocated_;
  std::vector<TStoredComponent*> components_;
};

}  // namespace vesk::desktop
