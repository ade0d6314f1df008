#include "app/stored_menu_items.h"

#include <utility>

namespace vesk::app {
namespace {

void CollectNames(const std::vector<TMenuItem>& items, std::vector<std::string>& names) {
  for (const TMenuItem& item : items) {
    names.push_back(item.Name);
    CollectNames(item.Items, names);
  }
}

}  // namespace

TMenuItemComponent::TMenuItemComponent(TPopupMenu& menu, std::string name) : menu_(menu), name_(std::move(name)) {
  properties_.push_back(desktop::TPublishedProperty{
      "Checked", desktop::BooleanValueNames(),
      [this]() -> std::size_t {
        const TMenuItem* item = menu_.FindItem(name_);
        return item != nullptr && item->Checked ? 1 : 0;
      },
      [this](std::size_t value) {
        // The mark alone: no click, so no handler runs.
        if (TMenuItem* item = menu_.FindItem(name_)) item->Checked = value == 1;
      }});
}

std::vector<std::unique_ptr<TMenuItemComponent>> MakeMenuItemComponents(TPopupMenu& menu) {
  std::vector<std::string> names;
  CollectNames(menu.Items(), names);
  std::vector<std::unique_ptr<TMenuItemComponent>> components;
  for (std::string& name : names) components.push_back(std::make_unique<TMenuItemComponent>(menu, std::move(name)));
  return components;
}

}  // namespace vesk::app
