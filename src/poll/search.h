#pragma once

#include "core/context.h"

namespace voxrig {

// R with no bank selected: writes the search log's header and starts the
// receiver's VFO search between the two limits.
void StartSearch(Context& ctx);
// Enter while a search ran: writes the log to its file and speaks the count,
// after "wrerr" when the log could not be written. False then, so the Enter
// says no "ok" after it.
bool EndSearch(Context& ctx);

}  // namespace voxrig
