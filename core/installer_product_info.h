// The product information base: everything product-specific the core asks, answered by one
// object of a class that the product's own module registers.
#pragma once

#include <memory>

class TInstallerProductInfo {
 public:
  virtual ~TInstallerProductInfo() = default;
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
