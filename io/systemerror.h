// The system's reason for a failed call, in English whatever the user's locale: the program's
// messages are English, and a reason in another language mid-sentence reads as a fault.
#pragma once

#include <string>

namespace tarn {

// strerror's text for `code` in the C locale ("No space left on device").
std::string SystemErrorText(int code);

}  // namespace tarn
