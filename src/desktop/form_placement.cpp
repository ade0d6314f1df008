#include "desktop/form_placement.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "desktop/placement_rescue.h"
#include "desktop/placement_values.h"
#include "desktop/section_store.h"
#include "platform/registry_error.h"

namespace vesk::desktop {
namespace {

constexpr const char* kFormVersion = "FormVersion";
constexpr const char* kFlags = "Flags";
constexpr const char* kShowCmd = "ShowCmd";
constexpr const char* kPixelsPerInch = "PixelsPerInch";
constexpr const char* kMinMaxPos = "MinMaxPos";
constexpr const char* kNormPos = "NormPos";
constexpr const char* kVisible = "Visible";

// a + b held within 32 bits (the defaults of missing position words).
std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = std::int64_t{a} + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// The window state a stored show command asks for; nothing keeps the
// default (normal).
std::optional<TWindowState> StateOfShowCmd(std::int32_t show_cmd) {
  switch (show_cmd) {
    case platform::kShowNormal:
    case platform::kShowShow:
    case platform::kShowRestore:
      return wsNormal;
    case platform::kShowMinimized:
    case platform::kShowMinimize:
    case platform::kShowMinNoActive:
      return wsMinimized;
    case platform::kShowMaximized:
      return wsMaximized;
    default:
      return std::nullopt;
  }
}

}  // namespace

TFormPlacement::TFormPlacement(IStorageOwner& owner, platform::IKeyStore& store, TErrorHandler on_error)
    : owner_(owner), store_(store), on_error_(std::move(on_error)) {}

TFormPlacement::~TFormPlacement() {
  if (!loaded_) return;
  *show_slot_ = std::move(save_show_);
  *close_query_slot_ = std::move(save_close_query_);
  *destroy_slot_ = std::move(save_destroy_);
}

void TFormPlacement::Loaded() {
  if (loaded_) return;
  loaded_ = true;
  show_slot_ = &owner_.OnShowSlot();
  close_query_slot_ = &owner_.OnCloseQuerySlot();
  destroy_slot_ = &owner_.OnDestroySlot();
  save_show_ = std::exchange(*show_slot_, [this] { FormShow(); });
  save_close_query_ = std::exchange(*close_query_slot_, [this](bool& can_close) { FormCloseQuery(can_close); });
  save_destroy_ = std::exchange(*destroy_slot_, [this] { FormDestroy(); });
}

// ---- the handlers put in the window's place ---------------------------------

void TFormPlacement::FormShow() {
  if (Active) {
    try {
      RestoreFromRegistry();
    } catch (const std::exception& error) {
      if (on_error_) on_error_(error);
    }
  }
  if (save_show_) save_show_();
}

void TFormPlacement::FormCloseQuery(bool& can_close) {
  if (save_close_query_) save_close_query_(can_close);
  if (can_close && Active && owner_.IsWindow() && owner_.HandleAllocated()) {
    try {
      SaveToRegistry();
    } catch (const std::exception& error) {
      if (on_error_) on_error_(error);
    }
  }
}

void TFormPlacement::FormDestroy() {
  if (Active && !saved_) {
    destroying_ = true;
    try {
      SaveToRegistry();
    } catch (const std::exception& error) {
      destroying_ = false;
      if (on_error_) on_error_(error);
    }
    destroying_ = false;
  }
  if (save_destroy_) save_destroy_();
}

// ---- restore ----------------------------------------------------------------

void TFormPlacement::RestoreFromRegistry() {
  saved_ = false;
  // A placement value of a wrong type is reported once the restore is done;
  // it counts as absent, and the next save writes it anew. (One of a stored
  // property is rewritten the same way, without a word, as property errors
  // are.)
  std::optional<std::string> invalid_type;
  {
    TSectionStore store(store_, IniFileName, smRead);
    if (store.ReadInteger(IniSection, kFormVersion, 0) >= Version) {
      ReadWindowPlacement(store);
      invalid_type = store.TakeInvalidType();
      restored_ = true;
      RestoreStoredProperties(store);
      (void)store.TakeInvalidType();
      // (No free stored values are kept.)
      if (OnRestorePlacement) OnRestorePlacement();
    } else {
      invalid_type = store.TakeInvalidType();
    }
    restored_ = true;
  }  // the store closes
  // The placement once more, as it now is: hidden while the window is not
  // shown yet, and the maximized position of a window without a border.
  IPlacementWindow& window = owner_.PlacementWindow();
  TWindowPlacement placement = window.GetPlacement();
  if (!window.Visible()) placement.ShowCmd = platform::kShowHide;
  placement.MaxPosition = TPoint{0, 0};
  window.SetPlacement(placement);
  if (invalid_type && on_error_) on_error_(platform::ERegistryException(*invalid_type));
}

void TFormPlacement::ReadWindowPlacement(TSectionStore& store) {
  IPlacementWindow& window = owner_.PlacementWindow();
  TWindowPlacement placement = window.GetPlacement();
  if (!window.Visible()) placement.ShowCmd = platform::kShowHide;

  if (Options.fpPosition) {
    placement.Flags = static_cast<std::uint32_t>(
        store.ReadInteger(IniSection, kFlags, static_cast<std::int32_t>(placement.Flags)));
    const std::int32_t screen_width = window.ScreenWidth();
    const std::int32_t screen_height = window.ScreenHeight();
    // The value for this screen size first, then the latest of any size.
    auto read_position = [&](const char* name) {
      std::string text = store.ReadString(IniSection, ScreenSizeName(name, screen_width, screen_height), "");
      if (text.empty()) text = store.ReadString(IniSection, name, "");
      return text;
    };
    bool position_present = false;
    const std::string min_max = read_position(kMinMaxPos);
    if (!min_max.empty()) {
      const std::vector<std::string_view> words = SplitPositionWords(min_max);
      placement.MinPosition = TPoint{PositionWord(words, 0, 0), PositionWord(words, 1, 0)};
      placement.MaxPosition = TPoint{PositionWord(words, 2, 0), PositionWord(words, 3, 0)};
      position_present = true;
    }
    const std::string normal = read_position(kNormPos);
    if (!normal.empty()) {
      const std::vector<std::string_view> words = SplitPositionWords(normal);
      const std::int32_t left = window.Left();
      const std::int32_t top = window.Top();
      placement.NormalPosition =
          TRect{PositionWord(words, 0, left), PositionWord(words, 1, top),
                         PositionWord(words, 2, SaturatingAdd(left, window.Width())),
                         PositionWord(words, 3, SaturatingAdd(top, window.Height()))};
      position_present = true;
    }
    const std::int32_t pixels_per_inch = window.PixelsPerInch();
    const bool same_resolution = store.ReadInteger(IniSection, kPixelsPerInch, pixels_per_inch) == pixels_per_inch;
    if (position_present && same_resolution) {
      bool fits = true;
      if (!window.BorderResizable()) {
        // Only the stored position is used; the window keeps its size. A
        // position so far out that the far edges leave the 32-bit range is
        // not applied.
        TRect& r = placement.NormalPosition;
        const std::int64_t right = std::int64_t{r.Left} + window.Width();
        const std::int64_t bottom = std::int64_t{r.Top} + window.Height();
        fits = right <= std::numeric_limits<std::int32_t>::max() && bottom <= std::numeric_limits<std::int32_t>::max();
        if (fits) r = TRect{r.Left, r.Top, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
      }
      if (fits && placement.NormalPosition.Right > placement.NormalPosition.Left) {
        window.SetPlacement(placement);
        KeepReachable();
      }
    }
  }

  if (Options.fpState) {
    const TWindowState state = StateOfShowCmd(store.ReadInteger(IniSection, kShowCmd, 0)).value_or(wsNormal);
    if (state == wsMinimized && window.IsApplicationMainWindow()) {
      // The main window minimizes the whole application instead.
      window.SetWindowState(wsNormal);
      window.PostApplicationMinimize();
      return;
    }
    window.SetWindowState(state);
  }
  window.Repaint();
}

void TFormPlacement::KeepReachable() {
  IPlacementWindow& window = owner_.PlacementWindow();
  if (const std::optional<TPoint> target = RescuePosition(window)) window.MoveTo(target->X, target->Y);
}

// ---- save -------------------------------------------------------------------

void TFormPlacement::SaveToRegistry() {
  if (!restored_) return;
  TSectionStore store(store_, IniFileName, smWrite);
  store.WriteInteger(IniSection, kFormVersion, Version);
  WriteWindowPlacement(store);
  store.WriteString(IniSection, kVisible, destroying_ ? "1" : "0");
  SaveStoredProperties(store);
  // (No free stored values are kept.)
  if (OnSavePlacement) OnSavePlacement();
  saved_ = true;
}

void TFormPlacement::WriteWindowPlacement(TSectionStore& store) {
  IPlacementWindow& window = owner_.PlacementWindow();
  const TWindowPlacement placement = window.GetPlacement();
  store.WriteInteger(IniSection, kFlags, static_cast<std::int32_t>(placement.Flags));
  const bool application_minimized = window.IsApplicationMainWindow() && window.ApplicationMinimized();
  store.WriteInteger(IniSection, kShowCmd, application_minimized ? platform::kShowMinimized : placement.ShowCmd);
  store.WriteInteger(IniSection, kPixelsPerInch, window.PixelsPerInch());
  const std::int32_t screen_width = window.ScreenWidth();
  const std::int32_t screen_height = window.ScreenHeight();
  auto write_position = [&](const char* name, const std::string& text) {
    store.WriteString(IniSection, ScreenSizeName(name, screen_width, screen_height), text);
    store.WriteString(IniSection, name, text);
  };
  write_position(kMinMaxPos, FormatPosition(placement.MinPosition.X, placement.MinPosition.Y,
                                            placement.MaxPosition.X, placement.MaxPosition.Y));
  const TRect& r = placement.NormalPosition;
  write_position(kNormPos, FormatPosition(r.Left, r.Top, r.Right, r.Bottom));
}

void TFormPlacement::RestoreStoredProperties(TSectionStore& /*store*/) {}
void TFormPlacement::SaveStoredProperties(TSectionStore& /*store*/) {}

}  // namespace vesk::desktop
