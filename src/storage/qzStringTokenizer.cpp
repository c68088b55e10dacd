#include "qzStringTokenizer.h"
