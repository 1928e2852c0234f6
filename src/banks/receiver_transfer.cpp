#include "banks/receiver_transfer.h"
