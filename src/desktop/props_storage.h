#pragma once
// Stored properties: components that the settings storage can find by name,
// their published properties (a small table of named enumerated properties,
// such as a menu item's Boolean "Checked"), and TPropsStorage, which loads
// and saves the properties of one component through two callbacks.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::desktop {

// An enumerated property. Value names are in the type's order ("False",
// "True" for a Boolean); Get and Set work with the position in that list.
// Set changes the value only: it runs no event handler of the component.
struct TPublishedProperty {
  std::string Name;  // the declared name, e.g. "Checked"
  std::vector<std::string> ValueNames;
  std::function<std::size_t()> Get;
  std::function<void(std::size_t)> Set;
};

[[nodiscard]] std::vector<std::string> BooleanValueNames();  // "False", "True"

// A component of a window, as far as the storage sees it.
class TStoredComponent {
 public:
  virtual ~TStoredComponent() = default;
  [[nodiscard]] virtual std::string Name() const = 0;
  [[nodiscard]] virtual const std::vector<TPublishedProperty>& Properties() const = 0;

  // The published property of that name (letter case ignored), or nullptr.
  [[nodiscard]] const TPublishedProperty* FindProperty(std::string_view name) const;
};

// Made for one save or one restore.
class TPropsStorage {
 public:
  using TReadString =
      std::function<std::string(std::string_view section, std::string_view name, std::string_view default_value)>;
  using TWriteString = std::function<void(std::string_view section, std::string_view name, std::string_view value)>;

  TPropsStorage(std::string section, TReadString read, TWriteString write);

  // The component handled next; the value-name prefix becomes its name and
  // "_".
  void SetComponent(const TStoredComponent* component);
  [[nodiscard]] const std::string& Section() const { return section_; }

  // Loads the named property of the current component: reads the value
  // prefix + declared name (the current value's name is the default), trims
  // spaces and control characters at both ends and sets the property to the
  // first value name that matches without regard to case. A text that names
  // no value leaves the property as it is. An unknown property is skipped.
  void LoadProperty(std::string_view property_name);
  // Writes the property's current value name, trimmed, under prefix +
  // declared name. An unknown property is skipped.
  void StoreProperty(std::string_view property_name);

 private:
  std::string section_;
  TReadString read_;
  TWriteString write_;
  const TStoredComponent* component_ = nullptr;
  std::string prefix_;
};

}  // namespace vesk::desktop
