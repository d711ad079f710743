// Answers steam-table queries read from standard input, one per line, for the comparison with
// python3-iapws (check_iapws.py): "PT p T", "PX p x", "PH p h", "PS p s" or "VU v u" in SI
// units. Each answer is a line "valid p T v u h s x phase" (phase 0 liquid, 1 wet, 2 vapour).
#include <cstdio>
#include <cstring>

#include "core/steam/if97.h"

int main() {
    using namespace tarn::steam;
    char kind[8];
    double a = 0;
    double b = 0;
    while (std::scanf("%7s %lf %lf", kind, &a, &b) == 3) {
        State st;
        if (std::strcmp(kind, "PT") == 0) st = FromPT(a, b);
        if (std::strcmp(kind, "PX") == 0) st = FromPX(a, b);
        if (std::strcmp(kind, "PH") == 0) st = FromPH(a, b);
        if (std::strcmp(kind, "PS") == 0) st = FromPS(a, b);
        if (std::strcmp(kind, "VU") == 0) st = FromVU(a, b);
        std::printf("%d %.17g %.17g %.17g %.17g %.17g %.17g %.17g %d\n", st.valid ? 1 : 0, st.p,
                    st.T, st.v, st.u, st.h, st.s, st.x, static_cast<int>(st.phase));
    }
    return 0;
}
