#include "panel/debug_log.h"
