// Whether a standard stream is a terminal a person sits at, rather than a
// file or a pipe: progress is drawn, and questions are asked, only there.
#pragma once

namespace velmora {

enum class StandardStream { Input, Error };

bool isTerminal(StandardStream stream);

} // namespace velmora
