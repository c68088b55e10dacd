#include "USmtpClient.h"
