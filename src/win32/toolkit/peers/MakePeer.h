// The peer of each control kind, for the toolkit to build the windows with.
#pragma once
#include <memory>

#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

std::unique_ptr<NativeControl> MakePeer(Toolkit& kit, TControl& model);

}  // namespace lumora::win32
