#pragma once
// TFormPlacement: a window's non-visual component that keeps the window's
// placement (position and show state) in the settings store. It attaches
// itself to the window's show, close-query and destroy events: it restores
// before the window's own show handler runs, saves after an allowed close
// (or, failing that, when the window is destroyed), and gives the handlers
// back when it goes.
//
// The values live in one section (key) below the base key, as strings:
// "FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and
// "NormPos" (each first with the screen-size suffix, e.g.
// "NormPos(1920x1080)", then plain) and "Visible".
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "desktop/placement_window.h"
#include "desktop/props_storage.h"
#include "platform/key_store.h"

namespace vesk::desktop {

class TSectionStore;

using TShowHandler = std::function<void()>;
using TCloseQueryHandler = std::function<void(bool& can_close)>;
using TDestroyHandler = std::function<void()>;
using TErrorHandler = std::function<void(const std::exception&)>;

// The window that owns the storage: its three event slots, its placement,
// and its components (for the stored properties).
class IStorageOwner {
 public:
  virtual ~IStorageOwner() = default;
  [[nodiscard]] virtual TShowHandler& OnShowSlot() = 0;
  [[nodiscard]] virtual TCloseQueryHandler& OnCloseQuerySlot() = 0;
  [[nodiscard]] virtual TDestroyHandler& OnDestroySlot() = 0;
  [[nodiscard]] virtual IPlacementWindow& PlacementWindow() = 0;
  // Whether the owner is a window, and whether its system window exists.
  [[nodiscard]] virtual bool IsWindow() const = 0;
  [[nodiscard]] virtual bool HandleAllocated() const = 0;
  [[nodiscard]] virtual std::vector<TStoredComponent*> Components() = 0;
};

// The roots a store can lie under; the key store given to the component is
// the one of its RegistryRoot (the current user's, for the clock).
enum class TPlacementRegRoot : std::uint8_t {
  prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData
};
using enum TPlacementRegRoot;

// What a restore applies: the show state, the position, the focused control
// (not kept by this implementation: the clock has no focusable controls).
struct TPlacementOptions {
  bool fpState = true;
  bool fpPosition = true;
  bool fpActiveControl = false;
};

class TFormPlacement {
 public:
  // Errors of a restore or a save made by the event handlers go to
  // `on_error` (the application's error box).
  TFormPlacement(IStorageOwner& owner, platform::IKeyStore& store, TErrorHandler on_error);
  // Gives the window back the handlers it displaced.
  virtual ~TFormPlacement();
  TFormPlacement(const TFormPlacement&) = delete;
  TFormPlacement& operator=(const TFormPlacement&) = delete;

  // ---- published settings -------------------------------------------------
  bool Active = true;
  std::string IniFileName;  // the base key, e.g. "Software"
  std::string IniSection;   // the section below it, e.g. "VeskClock"
  // The values always live in the key store given (the registry on Windows,
  // a file-backed store elsewhere); INI files are not offered.
  bool UseRegistry = true;
  TPlacementRegRoot RegistryRoot = prCurrentUser;
  TPlacementOptions Options;
  std::int32_t Version = 0;
  std::function<void()> OnSavePlacement;
  std::function<void()> OnRestorePlacement;

  // The window has been created from its resource: take over its show,
  // close-query and destroy handlers. Once only.
  virtual void Loaded();

  // Reads the placement and the stored properties, raises
  // OnRestorePlacement. A value of a non-string type stops it with "Invalid
  // data type for '<name>'"; nothing is then marked restored.
  void RestoreFromRegistry();
  // Writes every value, when a restore has taken place; stops at the first
  // failing write ("Failed to create key ...", "Failed to set data for
  // '...'"), keeping the values written before it.
  void SaveToRegistry();

  [[nodiscard]] bool Restored() const { return restored_; }
  [[nodiscard]] bool Saved() const { return saved_; }
  [[nodiscard]] bool Destroying() const { return destroying_; }

 protected:
  [[nodiscard]] IStorageOwner& Owner() { return owner_; }
  // The stored properties (TFormStorage). Loading errors are the caller's
  // to ignore; saving errors propagate.
  virtual void RestoreStoredProperties(TSectionStore& store);
  virtual void SaveStoredProperties(TSectionStore& store);

 private:
  void FormShow();
  void FormCloseQuery(bool& can_close);
  void FormDestroy();
  void ReadWindowPlacement(TSectionStore& store);
  void WriteWindowPlacement(TSectionStore& store);
  // Moves a window that a restored position left (nearly) off every
  // monitor into the nearest work area.
  void KeepReachable();

  IStorageOwner& owner_;
  platform::IKeyStore& store_;
  TErrorHandler on_error_;
  bool loaded_ = false;
  // The window's slots, held from Loaded on (they outlive the component).
  TShowHandler* show_slot_ = nullptr;
  TCloseQueryHandler* close_query_slot_ = nullptr;
  TDestroyHandler* destroy_slot_ = nullptr;
  TShowHandler save_show_;
  TCloseQueryHandler save_close_query_;
  TDestroyHandler save_destroy_;
  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
};

}  // namespace vesk::desktop
