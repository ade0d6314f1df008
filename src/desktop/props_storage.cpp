#include "desktop/props_storage.h"

#include <utility>

#include "desktop/placement_values.h"

namespace vesk::desktop {

std::vector<std::string> BooleanValueNames() { return {"False", "True"}; }

const TPublishedProperty* TStoredComponent::FindProperty(std::string_view name) const {
  for (const TPublishedProperty& property : Properties()) {
    if (SameText(property.Name, name)) return &property;
  }
  return nullptr;
}

TPropsStorage::TPropsStorage(std::string section, TReadString read, TWriteString write)
    : section_(std::move(section)), read_(std::move(read)), write_(std::move(write)) {}

void TPropsStorage::SetComponent(const TStoredComponent* component) {
  component_ = component;
  prefix_ = component != nullptr ? component->Name() + "_" : std::string();
}

void TPropsStorage::LoadProperty(std::string_view property_name) {
  if (component_ == nullptr) return;
  const TPublishedProperty* property = component_->FindProperty(property_name);
  if (property == nullptr || !property->Get || !property->Set) return;
  const std::size_t current = property->Get();
  const std::string default_name = current < property->ValueNames.size() ? property->ValueNames[current] : "";
  const std::string stored = read_(section_, prefix_ + property->Name, default_name);
  const std::string_view text = TrimControls(stored);
  for (std::size_t k = 0; k < property->ValueNames.size(); ++k) {
    if (SameText(property->ValueNames[k], text)) {
      property->Set(k);
      return;
    }
  }
}

void TPropsStorage::StoreProperty(std::string_view property_name) {
  if (component_ == nullptr) return;
  const TPublishedProperty* property = component_->FindProperty(property_name);
  if (property == nullptr || !property->Get) return;
  const std::size_t current = property->Get();
  const std::string name = current < property->ValueNames.size() ? property->ValueNames[current] : "";
  write_(section_, prefix_ + property->Name, TrimControls(name));
}

}  // namespace vesk::desktop
