#include "support/SystemInfo.h"

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

namespace pixadra {

int64_t AvailableMemory() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    int64_t value = 0;
    std::string unit;
    while (in >> key >> value) {
        std::getline(in, unit);
        if (key == "MemAvailable:") return value * 1024;
    }
    return 0;
}

std::string ExecutableFolder() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

int64_t TickCountMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

double LocalDateTimeAsDays() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    // Local wall-clock seconds since 1970, then shifted to the 1899-12-30 epoch (25569 days).
    const double localSeconds = static_cast<double>(t + local.tm_gmtoff) +
                                duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000 / 1e6;
    return 25569.0 + localSeconds / 86400.0;
}

}  // namespace pixadra
