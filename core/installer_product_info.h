// The product information base: everything product-specific that the core and the wizard ask
// (default folder, installed version, whether an update is possible, the actions and pages),
// answered by one object of a class that the product's own module registers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/installer_action.h"
#include "platform/text.h"

using TInstallerPopulateActionsCallback = std::function<void(const TInstallerActionClass&)>;
// Wizard pages are named by their class; the wizard creates them.
using TInstallerPopulatePagesCallback = std::function<void(StringView page_class)>;

// The base answers what the installer script can answer by itself (its "Settings"); the rest
// belongs to the product. Every setting is read from the script again on each call.
class TInstallerProductInfo {
 public:
  virtual ~TInstallerProductInfo() = default;

  // The native program-files folder, the product name and a delimiter.
  virtual String GetDefaultPath() const;
  // The user's desktop folder, the product name and a delimiter.
  virtual String GetDefaultPortablePath() const;
  virtual String GetHomePage() const;
  // Whether the installation found at DestPath can be updated in place.
  virtual bool CanUpdate() const = 0;
  // Whether the installation found at DestPath is portable.
  virtual bool IsPortable() const = 0;
  // The version number of the installation at DestPath (4510 is 4.51); 0 when there is none.
  virtual int32_t GetInstalledVersion() const = 0;
  // Setting "ProductName"; raises EInstallerGeneralError "TInstallerProductInfo.GetName" when
  // the script has none.
  virtual String GetName() const;
  virtual String GetPublisher() const;
  virtual String GetVersion() const;
  // Setting "ProductVersionId" as a number; 0 when it is not a decimal integer.
  virtual int32_t GetVersionId() const;
  // GetVersion, ", ", setting "BuildDate".
  virtual String GetFullVersion() const;
  // Reads what is installed at the installer object's DestPath.
  virtual void LoadInstalledInfo() = 0;
  // Hands the action classes of the current mode to Callback, in run order.
  virtual void PopulateActions(const TInstallerPopulateActionsCallback& callback) const = 0;
  // Hands the wizard page classes of the current mode to Callback, in page order.
  virtual void PopulatePages(const TInstallerPopulatePagesCallback& callback) const = 0;

  // GetInstalledVersion as "major.minor": 4512 gives "4.51", 3900 "3.90", 0 "0.00".
  String GetInstalledVersionText() const;
  // Setting "ProductVersionNo".
  String GetVersionNo() const;

 protected:
  String GetSetting(StringView name) const;
};

// A class reference: creates an instance of the registered product class.
using TInstallerProductInfoClass = std::unique_ptr<TInstallerProductInfo> (*)();

// The product's module sets this while the program starts; the core never names a product
// class itself. Unset, the program refuses to run.
extern TInstallerProductInfoClass ProductInfoClass;

template <class ProductInfo>
std::unique_ptr<TInstallerProductInfo> CreateProductInfo() {
  return std::make_unique<ProductInfo>();
}
