#include "common/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/Language.h"

#ifndef PIXADRA_TESTDATA_DIR
#define PIXADRA_TESTDATA_DIR "../shared/testdata"
#endif
#ifndef PIXADRA_SOURCE_DIR
#define PIXADRA_SOURCE_DIR "."
#endif

namespace pixadra::testing {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pixadra-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path_ = std::string(made ? made : pattern.c_str()) + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScriptedDialogs::ScriptedDialogs() : previous_(CurrentDialogPresenter()) { SetDialogPresenter(this); }
ScriptedDialogs::~ScriptedDialogs() { SetDialogPresenter(previous_); }

int ScriptedDialogs::Present(const DialogRequest& request) {
    requests.push_back(request);
    if (answers_.empty()) return request.closeResult;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedDialogs::PresentPlain(const std::string& text) { plainMessages.push_back(text); }

std::string TestDataPath(const std::string& relative) {
    const std::string root = PIXADRA_TESTDATA_DIR;
    if (!std::filesystem::is_directory(root)) return std::string();
    return root + "/" + relative;
}

bool HasTestData() { return std::filesystem::is_directory(PIXADRA_TESTDATA_DIR); }

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace pixadra::testing

namespace {
// Every test binary has Default.lang beside it; load it once so words and dialogs work.
class LanguageEnvironment : public ::testing::Environment {
public:
    void SetUp() override { pixadra::LoadLanguageFile(); }
};
const auto* const g_languageEnvironment = ::testing::AddGlobalTestEnvironment(new LanguageEnvironment);
}  // namespace
