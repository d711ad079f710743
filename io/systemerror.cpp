// English system error texts through the C locale.
#include "io/systemerror.h"

#include <clocale>
#include <cstring>
#include <locale.h>

namespace tarn {

std::string SystemErrorText(int code) {
    // One C locale for the process, made on first use and never freed.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c == static_cast<locale_t>(nullptr)) return "error " + std::to_string(code);
    return strerror_l(code, c);
}

}  // namespace tarn
