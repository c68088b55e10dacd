#include "UIniFile.h"
