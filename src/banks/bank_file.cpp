#include "banks/bank_file.h"
