#include "imaging/JpegErrors.h"

#include <cstring>

namespace pixadra {

namespace {

JpegErrorManager* ManagerOf(j_common_ptr cinfo) {
    return reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

[[noreturn]] void ExitWithError(j_common_ptr cinfo) {
    JpegErrorManager* manager = ManagerOf(cinfo);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        ++cinfo->err->num_warnings;
        if (ManagerOf(cinfo)->endOfFileIsFatal && cinfo->err->msg_code == JWRN_JPEG_EOF) ExitWithError(cinfo);
    }
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager& manager) {
    jpeg_error_mgr* pub = jpeg_std_error(&manager.pub);
    pub->error_exit = ExitWithError;
    pub->emit_message = EmitMessage;
    pub->output_message = OutputMessage;
    manager.message[0] = '\0';
    return pub;
}

void AbortJpeg(j_common_ptr cinfo, const char* text) {
    JpegErrorManager* manager = ManagerOf(cinfo);
    std::strncpy(manager->message, text, sizeof manager->message - 1);
    manager->message[sizeof manager->message - 1] = '\0';
    std::longjmp(manager->jump, 1);
}

}  // namespace pixadra
