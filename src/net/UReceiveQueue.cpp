#include "UReceiveQueue.h"
