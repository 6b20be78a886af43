// The product information base.
#include "core/installer_product_info.h"

TInstallerProductInfoClass ProductInfoClass = nullptr;
