#include "banks/bank_operations.h"
