#include "tuning/modes.h"
