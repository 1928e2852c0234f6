#include "panel/key_handler.h"
