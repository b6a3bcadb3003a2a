#pragma once
// The end of the Windows session as seen from a window that holds it up.
#include <string>

#include "platform/types.h"

namespace plat {

// The reason the system shows for this window while it keeps the session from ending; an
// empty reason withdraws it. Systems without the feature ignore it.
void SetShutdownBlockReason(WindowHandle window, const std::string& reason);

}  // namespace plat
