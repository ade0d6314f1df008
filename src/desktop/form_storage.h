#pragma once
// TFormStorage: a TFormPlacement that also keeps chosen properties of the
// window's components, named by entries "Component.Property" in
// StoredProps (for the clock: "LoadatStartup1.Checked", "OnTop1.Checked",
// "Chimes1.Checked"). Each is stored as the string value
// "<Component>_<Property>" holding the name of the property's value
// ("True" or "False").
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "desktop/form_placement.h"

namespace vesk::desktop {

struct TStoredPropEntry {
  std::string Text;                        // "OnTop1.Checked"
  TStoredComponent* Component = nullptr;   // the component it names
  // The property's value when the last restore could not read its stored
  // value. While the property still has that value, a save leaves the stored
  // one alone, so a read error never turns into the default being stored.
  std::optional<std::size_t> Unread;
};

class TFormStorage : public TFormPlacement {
 public:
  using TFormPlacement::TFormPlacement;

  // The entries, in order. Set their texts before Loaded, which resolves
  // them against the owner's components.
  std::vector<TStoredPropEntry> StoredProps;
  void SetStoredProps(const std::vector<std::string>& entries);

  // Takes the window's handlers over, then resolves StoredProps: each entry
  // is split at its first "."; both halves, trimmed, must be non-empty and
  // the first must name one of the owner's components (letter case
  // ignored). Entries that fail are removed.
  void Loaded() override;

 protected:
  // Each entry in order: the entry is rewritten from its component's
  // current name (entries whose component has gone are dropped), then the
  // property is loaded or saved. A failing load of one property leaves it as
  // it was and the others load all the same; that property is not saved
  // until it changes.
  void RestoreStoredProperties(TSectionStore& store) override;
  void SaveStoredProperties(TSectionStore& store) override;

 private:
  // Rewrites each entry from its component's current name and drops those
  // whose component has gone.
  void RefreshEntries();
};

// "Component.Property" split at the first "."; both halves trimmed. False
// when there is no "." or a half is empty.
[[nodiscard]] bool SplitStoredProp(std::string_view entry, std::string& component, std::string& property);

}  // namespace vesk::desktop
