#include "speech/speech.h"
