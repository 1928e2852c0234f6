#include "panel/display_lines.h"
