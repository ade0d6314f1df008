#pragma once
// The popup menu's items as components the settings storage can find by
// name, each with its published Boolean property "Checked". Setting the
// property changes the check mark only; the item's click handler does not
// run.
#include <memory>
#include <string>
#include <vector>

#include "app/menu_model.h"
#include "desktop/props_storage.h"

namespace vesk::app {

class TMenuItemComponent final : public desktop::TStoredComponent {
 public:
  // The item is found by name at every access, so the menu may change.
  TMenuItemComponent(TPopupMenu& menu, std::string name);
  [[nodiscard]] std::string Name() const override { return name_; }
  [[nodiscard]] const std::vector<desktop::TPublishedProperty>& Properties() const override { return properties_; }

 private:
  TPopupMenu& menu_;
  std::string name_;
  std::vector<desktop::TPublishedProperty> properties_;
};

// One component for every item of the menu, submenus included, in menu
// order.
[[nodiscard]] std::vector<std::unique_ptr<TMenuItemComponent>> MakeMenuItemComponents(TPopupMenu& menu);

}  // namespace vesk::app
