#pragma once
// The About command: the product's page in the user's web browser, in a new
// browser window. The browser reuses an open window for a requested page
// unless its setting "AllowWindowReuse" is 0, so the setting is made 0 for
// the moment of the request and put back as it was right after.
//
// The decisions and the registry work are here; the shell's part (asking
// the system to open an address) comes through IShell, so tests can watch
// each request and the setting at that moment.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/key_store.h"
#include "platform/show_command.h"

namespace vesk::app {

// The browser's settings key under the current user's root, and the value.
inline constexpr std::string_view kBrowserMainKeyPath = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr std::string_view kAllowWindowReuseName = "AllowWindowReuse";

// The host of the product's web site when the build names none
// (VESK_PRODUCT_HOST): a name under the domain reserved for examples, since
// the product has no site of its own yet.
inline constexpr std::string_view kDefaultProductHost = "veskclock.example.com";
inline constexpr std::string_view kProductPagePathAndQuery = "/veskclock.php?t=1";

// The host the build was made with.
[[nodiscard]] std::string_view ProductHost();
// "http://" + ProductHost() + "/veskclock.php?t=1".
[[nodiscard]] std::string ProductPageAddress();

// One request to the shell: perform `Verb` on `File` (a document, program
// or address) with `Parameters` in `Directory`, the window shown as `Show`.
// Empty strings stand for "none"; the request never has an owner window.
struct TShellRequest {
  std::string Verb;
  std::string File;
  std::string Parameters;
  std::string Directory;
  std::int32_t Show = 0;
};

// The system's shell. Execute returns once the shell has handed the request
// on (for an address: once the browser has been asked to open it). Whether
// that worked is not reported.
class IShell {
 public:
  virtual ~IShell() = default;
  virtual void Execute(const TShellRequest& request) = 0;
};

// Opens the product page in a new browser window:
//  1. opens kBrowserMainKeyPath with full access, without creating it;
//  2. reads "AllowWindowReuse" as a 32-bit integer, noting whether it exists;
//  3. writes it as 0;
//  4. asks the shell to "open" ProductPageAddress(), no parameters, no
//     folder, shown maximized;
//  5. deletes the value again when it did not exist, else writes the kept
//     integer back.
// Raises ERegistryException, each time before the shell is asked:
//  "Failed to set data for 'AllowWindowReuse'" when the key does not exist
//  or the value cannot be written as 0; "Failed to get data for
//  'AllowWindowReuse'" when its data is longer than four bytes (or cannot
//  be read); "Invalid data type for 'AllowWindowReuse'" when it is not a
//  four-byte integer otherwise. The value is not changed in those cases.
// After the shell was asked, a failing restore is reported too, so the
// user's browser setting never stays changed without a word: "Failed to
// set data for 'AllowWindowReuse'" when the kept integer cannot be written
// back, "Failed to delete value 'AllowWindowReuse'" when the value that was
// absent cannot be removed again.
void OpenProductPage(platform::IKeyStore& store, IShell& shell);

}  // namespace vesk::app
