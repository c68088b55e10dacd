#include "UGraphics.h"
