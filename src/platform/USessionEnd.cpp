#include "USessionEnd.h"
