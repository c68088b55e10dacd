#include "UTNoteConfig.h"
