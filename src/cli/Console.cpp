#include "cli/Console.h"

namespace pixadra::cli {

Console::Console(bool quiet, bool answerYes)
    : quiet_(quiet),
      progress_(StandardErrorIsTerminal()),
      dialogs_(answerYes, [this] { progress_.ClearLine(); }) {}

Progress Console::Outputs() {
    return quiet_ ? Progress{} : progress_.Outputs();
}

}  // namespace pixadra::cli
