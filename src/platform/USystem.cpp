#include "USystem.h"
