#include "desktop/form_storage.h"

#include <algorithm>

#include "desktop/placement_values.h"
#include "desktop/section_store.h"

namespace vesk::desktop {
namespace {

TPropsStorage MakePropsStorage(const std::string& section, TSectionStore& store) {
  return TPropsStorage(
      section,
      [&store](std::string_view section_name, std::string_view name, std::string_view default_value) {
        return store.ReadString(section_name, name, default_value);
      },
      [&store](std::string_view section_name, std::string_view name, std::string_view value) {
        store.WriteString(section_name, name, value);
      });
}

}  // namespace

bool SplitStoredProp(std::string_view entry, std::string& component, std::string& property) {
  const std::size_t dot = entry.find('.');
  if (dot == std::string_view::npos) return false;
  component = std::string(TrimControls(entry.substr(0, dot)));
  property = std::string(TrimControls(entry.substr(dot + 1)));
  return !component.empty() && !property.empty();
}

void TFormStorage::SetStoredProps(const std::vector<std::string>& entries) {
  StoredProps.clear();
  for (const std::string& text : entries) StoredProps.push_back(TStoredPropEntry{text, nullptr});
}

void TFormStorage::Loaded() {
  TFormPlacement::Loaded();
  const std::vector<TStoredComponent*> components = Owner().Components();
  std::erase_if(StoredProps, [&](TStoredPropEntry& entry) {
    std::string component_name;
    std::string property_name;
    entry.Component = nullptr;
    if (!SplitStoredProp(entry.Text, component_name, property_name)) return true;
    for (TStoredComponent* component : components) {
      if (component != nullptr && SameText(component->Name(), component_name)) {
        entry.Component = component;
        break;
      }
    }
    return entry.Component == nullptr;
  });
}

void TFormStorage::RefreshEntries() {
  const std::vector<TStoredComponent*> components = Owner().Components();
  std::erase_if(StoredProps, [&](TStoredPropEntry& entry) {
    std::string component_name;
    std::string property_name;
    if (entry.Component == nullptr ||
        std::find(components.begin(), components.end(), entry.Component) == components.end() ||
        !SplitStoredProp(entry.Text, component_name, property_name)) {
      return true;
    }
    entry.Text = entry.Component->Name() + "." + property_name;
    return false;
  });
}

void TFormStorage::RestoreStoredProperties(TSectionStore& store) {
  RefreshEntries();
  TPropsStorage props = MakePropsStorage(IniSection, store);
  for (TStoredPropEntry& entry : StoredProps) {
    entry.Unread.reset();
    std::string component_name;
    std::string property_name;
    if (!SplitStoredProp(entry.Text, component_name, property_name)) continue;
    props.SetComponent(entry.Component);
    try {
      props.LoadProperty(property_name);
    } catch (const std::exception&) {
      // A value that cannot be read leaves the property as it was.
      const TPublishedProperty* property = entry.Component->FindProperty(property_name);
      if (property != nullptr && property->Get) entry.Unread = property->Get();
    }
  }
}

void TFormStorage::SaveStoredProperties(TSectionStore& store) {
  RefreshEntries();
  TPropsStorage props = MakePropsStorage(IniSection, store);
  for (const TStoredPropEntry& entry : StoredProps) {
    std::string component_name;
    std::string property_name;
    if (!SplitStoredProp(entry.Text, component_name, property_name)) continue;
    if (entry.Unread) {
      const TPublishedProperty* property = entry.Component->FindProperty(property_name);
      if (property != nullptr && property->Get && property->Get() == *entry.Unread) continue;
    }
    props.SetComponent(entry.Component);
    props.StoreProperty(property_name);
  }
}

}  // namespace vesk::desktop
