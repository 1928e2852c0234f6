#include "link/serial_port.h"
