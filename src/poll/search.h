// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// R with no bank selected: writes the search log's header and starts the
// receiver's VFO search between the two limits. The log it replaces, when it
// holds finds, is kept as bank00.bak first; when that cannot be written,
// "wrerr" is said and no search starts.
Steps<> StartSearch(Context& ctx);
// Enter while a search ran: writes the log to its file and speaks the count,
// after "wrerr" when the log could not be written. False then, so the Enter
// says no "ok" after it.
bool EndSearch(Context& ctx);
// The receiver went away during a search: the search cannot go on, so it
// ends as Enter would end it (its log written, the count of hits told) and
// the panel no longer shows it active. A receiver that comes back is not
// told to search again; R starts a new search.
void EndSearchOnLoss(Context& ctx);

}  // namespace voxrig
