#include "qzXMLReader.h"
