#include "UNoteFiles.h"
