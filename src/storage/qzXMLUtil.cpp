#include "qzXMLUtil.h"
