#include "USmtpSession.h"
