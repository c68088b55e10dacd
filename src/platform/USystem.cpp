#include "USystem.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

std::string LoginUserName() {
    for (const char* name : {"USERNAME", "USER", "LOGNAME"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}

std::string HostName() {
    // gethostname need not terminate a truncated name: keep the last byte for the NUL.
    char buffer[HOST_NAME_MAX + 2] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}
