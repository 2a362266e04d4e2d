// Whether a standard stream is a terminal a person sits at, rather than a
// file or a pipe: progress is drawn, questions are asked, and tables get a
// header line, only there.
#pragma once

namespace velmora {

enum class StandardStream { Input, Output, Error };

bool isTerminal(StandardStream stream);

} // namespace velmora
