#include "command/interpreter.h"
