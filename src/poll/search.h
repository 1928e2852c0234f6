#pragma once

#include "core/context.h"

namespace voxrig {

// R with no bank selected: writes the search log's header and starts the
// receiver's VFO search between the two limits.
void StartSearch(Context& ctx);
// Enter while a search ran: writes the log to its file and speaks the count.
void EndSearch(Context& ctx);

}  // namespace voxrig
