#include "app/fade_controller.h"

namespace vesk::app {

void TFadeController::BeginFadeIn() {
  closing_ = 0;
  fade_timer_.SetEnabled(true);
}

bool TFadeController::Tick() {
  std::uint8_t& alpha = blend_.SourceConstantAlpha;
  if (closing_ == 0) {
    if (alpha >= 255) {
      alpha = 255;
      fade_timer_.SetEnabled(false);
    } else {
      alpha = static_cast<std::uint8_t>(alpha + kFadeInStep > 255 ? 255 : alpha + kFadeInStep);
    }
    return false;
  }
  if (alpha == 0) {
    fade_timer_.SetEnabled(false);
    return true;
  }
  alpha = static_cast<std::uint8_t>(alpha < kFadeOutStep ? 0 : alpha - kFadeOutStep);
  return false;
}

bool TFadeController::CloseQuery() {
  if (closing_ != 0) return true;
  closing_ = 1;
  blend_.SourceConstantAlpha = 255;
  fade_timer_.SetEnabled(true);
  return false;
}

}  // namespace vesk::app
