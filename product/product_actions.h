// The action class of each step of the player's runs.
#pragma once

#include "core/installer_action.h"
#include "product/product_info_zelo.h"

// The class that does a step, or null for a step this program does not have yet.
const TInstallerActionClass* ZELOActionClass(TZELOActionKind kind);
