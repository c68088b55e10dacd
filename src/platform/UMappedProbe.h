#pragma once

// For start-up measurements: when the environment variable VORN_REPORT_MAPPED names a number N,
// the program prints "mapped N <realtime ns> <VmHWM kB>" once N of its windows have been
// shown on the screen, and ends. Nothing happens when the variable is not set.
void InstallMappedProbe();
