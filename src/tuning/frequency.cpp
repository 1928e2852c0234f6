#include "tuning/frequency.h"
