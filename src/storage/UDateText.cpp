#include "UDateText.h"
