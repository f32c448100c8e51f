#pragma once
// What the machine and the process tell about themselves.
#include <cstdint>
#include <string>

namespace pixadra {

// MemAvailable of /proc/meminfo in bytes (0 when it cannot be read).
int64_t AvailableMemory();
// Folder of the running executable, with its trailing "/".
std::string ExecutableFolder();
// Milliseconds of a steady clock (for speeds and update intervals).
int64_t TickCountMs();
// Local date and time as days since 1899-12-30 00:00 with the time of day as fraction.
double LocalDateTimeAsDays();

}  // namespace pixadra
