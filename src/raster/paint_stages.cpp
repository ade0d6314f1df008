#include "raster/paint_stages.h"

#include "base/errors.h"

namespace vesk::raster {

TPaintStage& TPaintStages::Add() {
  TPaintStage& stage = items_.emplace_back();
  stage.RunTime = true;
  return stage;
}

void TPaintStages::Delete(std::int32_t index) {
  if (index < 0 || index > Count() - 1) throw EListError("Invalid stage index");
  items_.erase(items_.begin() + index);
}

}  // namespace vesk::raster
