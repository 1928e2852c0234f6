#include "command/memory_scan.h"
