#include "UNoteBody.h"
