#include "UfrmNote.h"
