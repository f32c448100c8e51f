#pragma once
// libjpeg's fatal errors must not return to the library. Ours jump back to the guard around the
// libjpeg call in progress; the guard's frame and the libjpeg frames below it hold nothing that
// needs destroying, so the jump skips no C++ destructor. Warnings never reach stderr.
#include <csetjmp>
#include <string>

// clang-format off
#include <cstdio>  // jpeglib.h needs size_t and FILE declared before it
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace pixadra {

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // The decoder treats running out of data as fatal: a cut-off file must not pass as a
    // picture padded with grey.
    bool endOfFileIsFatal = false;
};

// Prepares `manager` and returns the pointer to hand to cinfo.err.
jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager& manager);

// Stops the libjpeg call in progress with `text` as the error (for our own callbacks).
[[noreturn]] void AbortJpeg(j_common_ptr cinfo, const char* text);

// Runs `call` (libjpeg calls only, no objects that need destroying); false when libjpeg gave
// up, with the reason in manager.message.
template <class Call>
bool JpegGuard(JpegErrorManager& manager, Call&& call) {
    if (setjmp(manager.jump) != 0) return false;
    call();
    return true;
}

}  // namespace pixadra
