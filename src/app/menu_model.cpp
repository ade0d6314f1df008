#include "app/menu_model.h"

#include <stdexcept>
#include <utility>

namespace vesk::app {
namespace {

template <typename Item>
Item* FindByName(std::vector<Item>& items, std::string_view name) {
  for (Item& item : items) {
    if (item.Name == name) return &item;
    if (Item* found = FindByName(item.Items, name)) return found;
  }
  return nullptr;
}

template <typename Item>
const Item* FindByName(const std::vector<Item>& items, std::string_view name) {
  for (const Item& item : items) {
    if (item.Name == name) return &item;
    if (const Item* found = FindByName(item.Items, name)) return found;
  }
  return nullptr;
}

TMenuItem* FindById(std::vector<TMenuItem>& items, std::uint16_t command) {
  for (TMenuItem& item : items) {
    if (item.Kind == mkCommand && item.Command == command) return &item;
    if (TMenuItem* found = FindById(item.Items, command)) return found;
  }
  return nullptr;
}

TMenuItem Command(std::string name, std::string caption, std::uint16_t command) {
  TMenuItem item;
  item.Name = std::move(name);
  item.Caption = std::move(caption);
  item.Kind = mkCommand;
  item.Command = command;
  return item;
}

TMenuItem CheckMark(std::string name, std::string caption, std::uint16_t command) {
  TMenuItem item = Command(std::move(name), std::move(caption), command);
  item.AutoCheck = true;
  item.Checked = true;
  return item;
}

TMenuItem Separator(std::string name) {
  TMenuItem item;
  item.Name = std::move(name);
  item.Caption = "-";
  item.Kind = mkSeparator;
  return item;
}

}  // namespace

TMenuItem* TPopupMenu::FindItem(std::string_view name) { return FindByName(items_, name); }

const TMenuItem* TPopupMenu::FindItem(std::string_view name) const { return FindByName(items_, name); }

TMenuItem* TPopupMenu::FindCommand(std::uint16_t command) {
  return command == 0 ? nullptr : FindById(items_, command);
}

TMenuItem& TPopupMenu::Item(std::string_view name) {
  TMenuItem* item = FindItem(name);
  if (item == nullptr) throw std::out_of_range("No menu item named " + std::string(name));
  return *item;
}

bool TPopupMenu::Checked(std::string_view name) const {
  const TMenuItem* item = FindItem(name);
  if (item == nullptr) throw std::out_of_range("No menu item named " + std::string(name));
  return item->Checked;
}

void TPopupMenu::SetOnClick(std::string_view name, std::function<void()> handler) {
  Item(name).OnClick = std::move(handler);
}

bool TPopupMenu::Click(std::uint16_t command) {
  TMenuItem* item = FindCommand(command);
  if (item == nullptr) return false;
  if (item->AutoCheck) item->Checked = !item->Checked;
  // A copy: the handler may replace the item's handler while it runs.
  const std::function<void()> handler = item->OnClick;
  if (handler) handler();
  return true;
}

TPopupMenu MakePopupMenu1() {
  TMenuItem settings;
  settings.Name = "Settings1";
  settings.Caption = "Settings";
  settings.Kind = mkSubmenu;
  settings.Command = kCmdSettings1;
  settings.Items = {CheckMark("OnTop1", "On Top", kCmdOnTop1),
                    CheckMark("LoadatStartup1", "Load at Startup", kCmdLoadatStartup1),
                    CheckMark("Chimes1", "Chimes", kCmdChimes1)};
  std::vector<TMenuItem> items;
  items.push_back(Command("VeskClock1", "About Vesk Clock...", kCmdVeskClock1));
  items.push_back(Separator("N1"));
  items.push_back(std::move(settings));
  items.push_back(Separator("N2"));
  items.push_back(Command("Exit1", "Exit", kCmdExit1));
  return TPopupMenu(std::move(items));
}

}  // namespace vesk::app
