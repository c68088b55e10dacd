#include "UNoteDrawing.h"
