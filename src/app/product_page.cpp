#include "app/product_page.h"

#include <exception>
#include <memory>
#include <optional>

#include "platform/registry_error.h"
#include "platform/registry_values.h"

namespace vesk::app {
namespace {

// A distributor names the real host at configure time (the CMake cache
// variable VESK_PRODUCT_HOST, checked there to be a plain host name).
#ifdef VESK_PRODUCT_HOST
constexpr std::string_view kProductHost = VESK_PRODUCT_HOST;
#else
constexpr std::string_view kProductHost = kDefaultProductHost;
#endif
static_assert(!kProductHost.empty(), "the product page needs a host");

// Puts the setting back as it was before the shell was asked.
void RestoreAllowWindowReuse(platform::IRegistryKey& key, const std::optional<std::uint32_t>& kept) {
  if (kept) {
    platform::WriteIntegerValue(key, kAllowWindowReuseName, *kept);
  } else {
    platform::DeleteValueIfPresent(key, kAllowWindowReuseName);
  }
}

}  // namespace

std::string_view ProductHost() { return kProductHost; }

std::string ProductPageAddress() {
  std::string address = "http://";
  address += kProductHost;
  address += kProductPagePathAndQuery;
  return address;
}

void OpenProductPage(platform::IKeyStore& store, IShell& shell) {
  std::unique_ptr<platform::IRegistryKey> key;
  const platform::TKeyStatus status = store.OpenKey(kBrowserMainKeyPath, platform::kaFull, platform::koExisting, key);
  if (!status.Ok() || !key) {
    // Without the key the value cannot be written.
    throw platform::ERegistryException(platform::FailedToSetDataText(kAllowWindowReuseName), status.Code);
  }
  // Nothing when the value does not exist; an unreadable or non-integer
  // value raises here, before anything is changed.
  const std::optional<std::uint32_t> kept = platform::ReadIntegerValue(*key, kAllowWindowReuseName);
  platform::WriteIntegerValue(*key, kAllowWindowReuseName, 0);

  const TShellRequest request{"open", ProductPageAddress(), {}, {}, platform::kShowMaximized};
  // The shell reports no failure of its own; anything it raises (such as a
  // lack of memory) is passed on only after the setting is back.
  std::exception_ptr shell_error;
  try {
    shell.Execute(request);
  } catch (...) {
    shell_error = std::current_exception();
  }
  RestoreAllowWindowReuse(*key, kept);
  if (shell_error) std::rethrow_exception(shell_error);
}

}  // namespace vesk::app
