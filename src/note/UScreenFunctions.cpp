#include "UScreenFunctions.h"
