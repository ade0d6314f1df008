#pragma once
// Test doubles of the settings storage's surroundings: a window that keeps
// its placement in fields, a window owner with event slots and check-mark
// components, and a key store that records the order of its writes.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/form_placement.h"
#include "desktop/placement_window.h"
#include "desktop/props_storage.h"
#include "platform/memory_key_store.h"

namespace vesk::desktop::testing {

class TFakeWindow final : public IPlacementWindow {
 public:
  TRect Bounds{192, 114, 342, 264};
  bool IsVisible = false;
  bool Resizable = false;
  bool MainWindow = true;
  bool AppMinimized = false;
  std::int32_t ScreenW = 1920;
  std::int32_t ScreenH = 1080;
  std::int32_t Ppi = 96;
  std::uint32_t Flags = 0;
  TPoint MinPos{-1, -1};
  TPoint MaxPos{-1, -1};
  TWindowState State = wsNormal;
  int MinimizePosts = 0;
  int Repaints = 0;
  int Moves = 0;
  std::vector<TWindowPlacement> SetCalls;
  // Monitors, each with a work area 40 pixels shorter (a taskbar below).
  std::vector<TRect> Monitors{{0, 0, 1920, 1080}};

  [[nodiscard]] TWindowPlacement GetPlacement() const override {
    const std::int32_t show = State == wsMaximized ? platform::kShowMaximized : State == wsMinimized ? platform::kShowMinimized : platform::kShowNormal;
    return TWindowPlacement{Flags, show, MinPos, MaxPos, Bounds};
  }
  void SetPlacement(const TWindowPlacement& p) override {
    SetCalls.push_back(p);
    Flags = p.Flags;
    MinPos = p.MinPosition;
    MaxPos = p.MaxPosition;
    // No window has a negative size: a far edge before the near one is
    // taken as the near one.
    Bounds = p.NormalPosition;
    Bounds.Right = std::max(Bounds.Right, Bounds.Left);
    Bounds.Bottom = std::max(Bounds.Bottom, Bounds.Top);
    if (p.ShowCmd == platform::kShowHide) IsVisible = false;
  }
  [[nodiscard]] bool Visible() const override { return IsVisible; }
  [[nodiscard]] std::int32_t Left() const override { return Bounds.Left; }
  [[nodiscard]] std::int32_t Top() const override { return Bounds.Top; }
  // Sizes beyond 32 bits are cut, as a window manager would.
  [[nodiscard]] std::int32_t Width() const override { return Span(Bounds.Left, Bounds.Right); }
  [[nodiscard]] std::int32_t Height() const override { return Span(Bounds.Top, Bounds.Bottom); }
  [[nodiscard]] bool BorderResizable() const override { return Resizable; }
  [[nodiscard]] bool IsApplicationMainWindow() const override { return MainWindow; }
  [[nodiscard]] bool ApplicationMinimized() const override { return AppMinimized; }
  [[nodiscard]] std::int32_t ScreenWidth() const override { return ScreenW; }
  [[nodiscard]] std::int32_t ScreenHeight() const override { return ScreenH; }
  [[nodiscard]] std::int32_t PixelsPerInch() const override { return Ppi; }
  void SetWindowState(TWindowState state) override { State = state; }
  void PostApplicationMinimize() override { ++MinimizePosts; }
  void Repaint() override { ++Repaints; }
  [[nodiscard]] std::vector<TRect> MonitorRects() const override { return Monitors; }
  // The monitor with the largest overlap, else the one at the least
  // distance (the window manager's "nearest").
  [[nodiscard]] TRect NearestWorkArea(const TRect& r) const override {
    auto gap = [](std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
      return std::max<std::int64_t>({0, b0 - a1, a0 - b1});
    };
    std::size_t best = 0;
    std::int64_t best_distance = INT64_MAX;
    for (std::size_t k = 0; k < Monitors.size(); ++k) {
      const TRect& m = Monitors[k];
      const std::int64_t dx = gap(r.Left, r.Right, m.Left, m.Right);
      const std::int64_t dy = gap(r.Top, r.Bottom, m.Top, m.Bottom);
      const std::int64_t distance = dx * dx + dy * dy;
      if (distance < best_distance) best_distance = distance, best = k;
    }
    TRect area = Monitors[best];
    area.Bottom -= 40;
    return area;
  }
  void MoveTo(std::int32_t left, std::int32_t top) override {
    ++Moves;
    auto far = [](std::int32_t start, std::int32_t size) {
      return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{start} + size, INT32_MAX));
    };
    Bounds = TRect{left, top, far(left, Width()), far(top, Height())};
  }

 private:
  static std::int32_t Span(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{b} - a, 0, INT32_MAX));
  }

 public:
};

// A component with one Boolean property "Checked" that counts its clicks
// (a click would run the item's handler; setting the property must not).
class TCheckComponent final : public TStoredComponent {
 public:
  TCheckComponent(std::string name, bool checked) : checked_(checked), name_(std::move(name)) {
    properties_.push_back(TPublishedProperty{
        "Checked", BooleanValueNames(), [this] { return static_cast<std::size_t>(checked_ ? 1 : 0); },
        [this](std::size_t v) { checked_ = v == 1; }});
  }
  [[nodiscard]] std::string Name() const override { return name_; }
  [[nodiscard]] const std::vector<TPublishedProperty>& Properties() const override { return properties_; }
  void Rename(std::string name) { name_ = std::move(name); }
  bool checked_;

 private:
  std::string name_;
  std::vector<TPublishedProperty> properties_;
};

class TFakeOwner final : public IStorageOwner {
 public:
  TShowHandler OnShow;
  TCloseQueryHandler OnCloseQuery;
  TDestroyHandler OnDestroy;
  TFakeWindow Window;
  bool Handle = true;
  std::vector<std::unique_ptr<TCheckComponent>> Items;

  TFakeOwner() {
    Items.push_back(std::make_unique<TCheckComponent>("OnTop1", true));
    Items.push_back(std::make_unique<TCheckComponent>("LoadatStartup1", true));
    Items.push_back(std::make_unique<TCheckComponent>("Chimes1", true));
  }
  [[nodiscard]] TCheckComponent& Item(std::string_view name) {
    for (auto& item : Items) {
      if (item->Name() == name) return *item;
    }
    throw std::out_of_range("no item");
  }

  TShowHandler& OnShowSlot() override { return OnShow; }
  TCloseQueryHandler& OnCloseQuerySlot() override { return OnCloseQuery; }
  TDestroyHandler& OnDestroySlot() override { return OnDestroy; }
  IPlacementWindow& PlacementWindow() override { return Window; }
  [[nodiscard]] bool IsWindow() const override { return true; }
  [[nodiscard]] bool HandleAllocated() const override { return Handle; }
  std::vector<TStoredComponent*> Components() override {
    std::vector<TStoredComponent*> out;
    for (auto& item : Items) out.push_back(item.get());
    return out;
  }
};

// The memory store, with the names of the values set, in order.
class TRecordingKeyStore final : public platform::IKeyStore {
 public:
  platform::TMemoryKeyStore Inner;
  std::vector<std::string> Writes;

  platform::TKeyStatus OpenKey(std::string_view path, platform::TKeyAccess access, platform::TKeyOpen open,
                               std::unique_ptr<platform::IRegistryKey>& out) override {
    std::unique_ptr<platform::IRegistryKey> inner;
    const platform::TKeyStatus status = Inner.OpenKey(path, access, open, inner);
    out = inner ? std::make_unique<TKey>(std::move(inner), Writes) : nullptr;
    return status;
  }
  platform::TKeyStatus DeleteKey(std::string_view path) override { return Inner.DeleteKey(path); }

 private:
  class TKey final : public platform::IRegistryKey {
   public:
    TKey(std::unique_ptr<platform::IRegistryKey> inner, std::vector<std::string>& writes)
        : inner_(std::move(inner)), writes_(writes) {}
    const std::string& Path() const override { return inner_->Path(); }
    platform::TKeyStatus QueryValue(std::string_view n, platform::TRegValueType& t, std::uint64_t& s) override {
      return inner_->QueryValue(n, t, s);
    }
    platform::TKeyStatus GetValue(std::string_view n, platform::TRawValue& out, std::size_t max) override {
      return inner_->GetValue(n, out, max);
    }
    platform::TKeyStatus SetValue(std::string_view n, platform::TRegValueType t,
                                  std::span<const std::uint8_t> d) override {
      writes_.emplace_back(n);
      return inner_->SetValue(n, t, d);
    }
    platform::TKeyStatus DeleteValue(std::string_view n) override { return inner_->DeleteValue(n); }
    platform::TKeyStatus ValueNames(std::vector<std::string>& out) override { return inner_->ValueNames(out); }
    platform::TKeyStatus SubkeyNames(std::vector<std::string>& out) override { return inner_->SubkeyNames(out); }

   private:
    std::unique_ptr<platform::IRegistryKey> inner_;
    std::vector<std::string>& writes_;
  };
};

}  // namespace vesk::desktop::testing
