#include "link/connect_poll.h"
