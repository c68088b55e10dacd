#include "UTConfigurationManager.h"
