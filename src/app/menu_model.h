#pragma once
// The clock's popup menu as data: its items in display order, their captions,
// separators, the "Settings" submenu, check marks and click handlers. One
// object serves both the clock window's context menu and the
// notification-area icon, so both show the same check marks. The three
// checked states live only here; the chime, the settings storage and
// FormShow read them from the items.
//
// The platform's menu is built from this model each time it opens and hands
// the chosen command back to Click.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::app {

enum class TMenuItemKind : std::uint8_t { mkCommand, mkSeparator, mkSubmenu };
using enum TMenuItemKind;

struct TMenuItem {
  std::string Name;     // the component name, e.g. "OnTop1"
  std::string Caption;  // "-" for a separator
  TMenuItemKind Kind = mkCommand;
  std::uint16_t Command = 0;  // the platform's command id; 0 for none
  // An automatic check mark flips Checked when the item is clicked, before
  // the click handler runs, so the handler sees the new state.
  bool AutoCheck = false;
  bool Checked = false;
  std::function<void()> OnClick;
  std::vector<TMenuItem> Items;  // a submenu's items
};

class TPopupMenu {
 public:
  TPopupMenu() = default;
  explicit TPopupMenu(std::vector<TMenuItem> items) : items_(std::move(items)) {}

  [[nodiscard]] const std::vector<TMenuItem>& Items() const { return items_; }

  // The item with this component name, searched through the submenus too;
  // nullptr when there is none.
  [[nodiscard]] TMenuItem* FindItem(std::string_view name);
  [[nodiscard]] const TMenuItem* FindItem(std::string_view name) const;
  // The clickable item (a command) with this command id; nullptr for 0, for
  // an unknown id, and for separators and submenus.
  [[nodiscard]] TMenuItem* FindCommand(std::uint16_t command);

  // The named item; raises std::out_of_range when there is none.
  [[nodiscard]] TMenuItem& Item(std::string_view name);
  [[nodiscard]] bool Checked(std::string_view name) const;

  // Sets the click handler of the named item (raises like Item).
  void SetOnClick(std::string_view name, std::function<void()> handler);

  // The user chose the item with this command id: an automatic check mark
  // flips, then the item's handler runs (an error it raises propagates, with
  // the mark already flipped). Returns false, doing nothing, when no
  // clickable item has that id.
  bool Click(std::uint16_t command);

 private:
  std::vector<TMenuItem> items_;
};

// Command ids of PopupMenu1's items.
inline constexpr std::uint16_t kCmdVeskClock1 = 0x101;
inline constexpr std::uint16_t kCmdSettings1 = 0x102;
inline constexpr std::uint16_t kCmdOnTop1 = 0x103;
inline constexpr std::uint16_t kCmdLoadatStartup1 = 0x104;
inline constexpr std::uint16_t kCmdChimes1 = 0x105;
inline constexpr std::uint16_t kCmdExit1 = 0x106;

// PopupMenu1, with no handlers yet:
//   VeskClock1 "About Vesk Clock..."
//   N1         "-"
//   Settings1  "Settings" >  OnTop1 "On Top"                 (checked)
//                            LoadatStartup1 "Load at Startup" (checked)
//                            Chimes1 "Chimes"                 (checked)
//   N2         "-"
//   Exit1      "Exit"
// The three settings are automatic check marks, checked on a first run.
[[nodiscard]] TPopupMenu MakePopupMenu1();

}  // namespace vesk::app
