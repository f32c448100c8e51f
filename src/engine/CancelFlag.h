#pragma once
// The one cancel flag: set by "Abbrechen", by closing the window and by Ctrl-C in the command
// line; read by the picture-adding loop before each picture.
#include <atomic>

namespace pixadra {

inline std::atomic<bool>& CancelFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

}  // namespace pixadra
