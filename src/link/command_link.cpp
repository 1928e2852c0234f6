#include "link/command_link.h"
