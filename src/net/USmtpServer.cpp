#include "USmtpServer.h"
