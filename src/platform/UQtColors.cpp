#include "UQtColors.h"
