#include "UAddressBook.h"
