#include "raster/notifiable_persistent.h"

#include "base/errors.h"

namespace vesk::raster {

void TNotifiablePersistent::Changed() {
  if (update_count_ == 0 && OnChange) OnChange(this);
}

void TNotifiablePersistent::BeginUpdate() { ++update_count_; }

void TNotifiablePersistent::EndUpdate() {
  if (update_count_ <= 0) throw EAssertionFailed("Unpaired TThreadPersistent.EndUpdate");
  --update_count_;
}

void TThreadPersistent::Lock() {
  lock_count_.fetch_add(1);
  lock_.lock();
}

void TThreadPersistent::Unlock() {
  lock_.unlock();
  lock_count_.fetch_sub(1);
}

}  // namespace vesk::raster
