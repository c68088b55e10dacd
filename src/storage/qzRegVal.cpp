#include "qzRegVal.h"
