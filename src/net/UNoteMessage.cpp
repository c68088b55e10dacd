#include "UNoteMessage.h"
