#include "UfrmMain.h"
