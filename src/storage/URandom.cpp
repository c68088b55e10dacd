#include "URandom.h"
