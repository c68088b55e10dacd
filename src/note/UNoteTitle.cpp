#include "UNoteTitle.h"
