#include "tuning/search.h"
