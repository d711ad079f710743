#include "core/steam/if97.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tarn::steam {
namespace {

constexpr double kR = 461.526;        // specific gas constant, J/(kg K)
constexpr double kTMin = 273.15;      // lowest temperature of regions 1, 2 and 4
constexpr double kTMax = 1073.15;     // highest temperature of region 2
constexpr double kPMax = 100e6;       // highest pressure of regions 1 and 2
constexpr double kT13 = 623.15;       // region 1 ends here; above lies region 3
constexpr double kTB23High = 863.15;  // the 2-3 boundary meets 100 MPa here
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One term n * a^I * b^J of a polynomial in two reduced variables.
struct Term {
    int I;
    int J;
    double n;
};

// x^0 .. x^(N-1) by products of lower powers (a shallow chain of multiplications).
template <std::size_t N>
void Powers(double x, std::array<double, N>& out) {
    out[0] = 1.0;
    if constexpr (N > 1) out[1] = x;
    for (std::size_t k = 2; k < N; ++k) out[k] = out[k / 2] * out[k - k / 2];
}

// ---- Region 1: the Gibbs free energy of the liquid, gamma(pi, tau) with pi = p / 16.53 MPa,
// tau = 1386 K / T, gamma = sum n (7.1 - pi)^I (tau - 1.222)^J. ----
constexpr double kP1 = 16.53e6;
constexpr double kT1 = 1386.0;
constexpr std::array<Term, 34> kRegion1{{
    {0, -2, 0.14632971213167},        {0, -1, -0.84548187169114},
    {0, 0, -0.37563603672040e1},      {0, 1, 0.33855169168385e1},
    {0, 2, -0.95791963387872},        {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},     {0, 5, 0.81214629983568e-3},
    {1, -9, 0.28319080123804e-3},     {1, -7, -0.60706301565874e-3},
    {1, -1, -0.18990068218419e-1},    {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},     {1, 3, -0.52838357969930e-4},
    {2, -3, -0.47184321073267e-3},    {2, 0, -0.30001780793026e-3},
    {2, 1, 0.47661393906987e-4},      {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15},   {3, -4, -0.31679644845054e-4},
    {3, 0, -0.28270797985312e-5},     {3, 6, -0.85205128120103e-9},
    {4, -5, -0.22425281908000e-5},    {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12},   {5, -8, -0.40516996860117e-6},
    {8, -11, -0.12734301741641e-8},   {8, -6, -0.17424871230634e-9},
    {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22},  {30, -39, -0.11947622640071e-22},
    {31, -40, 0.18228094581404e-23},  {32, -41, -0.93537087292458e-25},
}};

// ---- Region 2: ideal-gas part gamma0 = ln pi + sum n tau^J and residual part
// gammar = sum n pi^I (tau - 0.5)^J, with pi = p / 1 MPa, tau = 540 K / T. ----
constexpr double kP2 = 1e6;
constexpr double kT2 = 540.0;
constexpr std::array<Term, 9> kRegion2Ideal{{
    {0, 0, -0.96927686500217e1},
    {0, 1, 0.10086655968018e2},
    {0, -5, -0.56087911283020e-2},
    {0, -4, 0.71452738081455e-1},
    {0, -3, -0.40710498223928},
    {0, -2, 0.14240819171444e1},
    {0, -1, -0.43839511319450e1},
    {0, 2, -0.28408632460772},
    {0, 3, 0.21268463753307e-1},
}};
constexpr std::array<Term, 43> kRegion2Residual{{
    {1, 0, -0.17731742473213e-2},   {1, 1, -0.17834862292358e-1},
    {1, 2, -0.45996013696365e-1},   {1, 3, -0.57581259083432e-1},
    {1, 6, -0.50325278727930e-1},   {2, 1, -0.33032641670203e-4},
    {2, 2, -0.18948987516315e-3},   {2, 4, -0.39392777243355e-2},
    {2, 7, -0.43797295650573e-1},   {2, 36, -0.26674547914087e-4},
    {3, 0, 0.20481737692309e-7},    {3, 1, 0.43870667284435e-6},
    {3, 3, -0.32277677238570e-4},   {3, 6, -0.15033924542148e-2},
    {3, 35, -0.40668253562649e-1},  {4, 1, -0.78847309559367e-9},
    {4, 2, 0.12790717852285e-7},    {4, 3, 0.48225372718507e-6},
    {5, 7, 0.22922076337661e-5},    {6, 3, -0.16714766451061e-10},
    {6, 16, -0.21171472321355e-2},  {6, 35, -0.23895741934104e2},
    {7, 0, -0.59059564324270e-17},  {7, 11, -0.12621808899101e-5},
    {7, 25, -0.38946842435739e-1},  {8, 8, 0.11256211360459e-10},
    {8, 36, -0.82311340897998e1},   {9, 13, 0.19809712802088e-7},
    {10, 4, 0.10406965210174e-18},  {10, 10, -0.10234747095929e-12},
    {10, 14, -0.10018179379511e-8}, {16, 29, -0.80882908646985e-10},
    {16, 50, 0.10693031879409},     {18, 57, -0.33662250574171},
    {20, 20, 0.89185845355421e-24}, {20, 35, 0.30629316876232e-12},
    {20, 48, -0.42002467698208e-5}, {21, 21, -0.59056029685639e-25},
    {22, 53, 0.37826947613457e-5},  {23, 39, -0.12768608934681e-14},
    {24, 26, 0.73087610595061e-28}, {24, 40, 0.55414715350778e-16},
    {24, 58, -0.94369707241210e-6},
}};

// ---- Region 4: the saturation line, an implicit quadratic in beta = (p / 1 MPa)^(1/4) and
// theta = T / 1 K + n9 / (T / 1 K - n10). ----
constexpr std::array<double, 11> kN4{0.0,  // n[0] unused: the table counts from 1
                                     0.11670521452767e4,
                                     -0.72421316703206e6,
                                     -0.17073846940092e2,
                                     0.12020824702470e5,
                                     -0.32325550322333e7,
                                     0.14915108613530e2,
                                     -0.48232657361591e4,
                                     0.40511340542057e6,
                                     -0.23855557567849,
                                     0.65017534844798e3};

// ---- The boundary between regions 2 and 3: p = n1 + n2 T + n3 T^2 (MPa, K). ----
constexpr double kB23N1 = 0.34805185628969e3;
constexpr double kB23N2 = -0.11671859879975e1;
constexpr double kB23N3 = 0.10192970039326e-2;
constexpr double kB23N4 = 0.57254459862746e3;
constexpr double kB23N5 = 0.13918839778870e2;
double B23Pressure(double T) { return (kB23N1 + kB23N2 * T + kB23N3 * T * T) * 1e6; }
double B23Temperature(double p) { return kB23N4 + std::sqrt((p / 1e6 - kB23N5) / kB23N3); }

// ---- Backward equations. Region 1: T(p, h) = sum n pi^I (eta + 1)^J, eta = h / 2500 kJ/kg;
// T(p, s) = sum n pi^I (sigma + 2)^J, sigma = s / 1 kJ/(kg K); pi = p / 1 MPa. ----
constexpr std::array<Term, 20> kBack1PH{{
    {0, 0, -0.23872489924521e3},   {0, 1, 0.40421188637945e3},     {0, 2, 0.11349746881718e3},
    {0, 6, -0.58457616048039e1},   {0, 22, -0.15285482413140e-3},  {0, 32, -0.10866707695377e-5},
    {1, 0, -0.13391744872602e2},   {1, 1, 0.43211039183559e2},     {1, 2, -0.54010067170506e2},
    {1, 3, 0.30535892203916e2},    {1, 4, -0.65964749423638e1},    {1, 10, 0.93965400878363e-2},
    {1, 32, 0.11573647505340e-6},  {2, 10, -0.25858641282073e-4},  {2, 32, -0.40644363084799e-8},
    {3, 10, 0.66456186191635e-7},  {3, 32, 0.80670734103027e-10},  {4, 32, -0.93477771213947e-12},
    {5, 32, 0.58265442020601e-14}, {6, 32, -0.15020185953503e-16},
}};
constexpr std::array<Term, 20> kBack1PS{{
    {0, 0, 0.17478268058307e3},    {0, 1, 0.34806930892873e2},     {0, 2, 0.65292584978455e1},
    {0, 3, 0.33039981775489},      {0, 11, -0.19281382923196e-6},  {0, 31, -0.24909197244573e-22},
    {1, 0, -0.26107636489332},     {1, 1, 0.22592965981586},       {1, 2, -0.64256463395226e-1},
    {1, 3, 0.78876289270526e-2},   {1, 12, 0.35672110607366e-9},   {1, 31, 0.17332496994895e-23},
    {2, 0, 0.56608900654837e-3},   {2, 1, -0.32635483139717e-3},   {2, 2, 0.44778286690632e-4},
    {2, 9, -0.51322156908507e-9},  {2, 31, -0.42522657042207e-25}, {3, 10, 0.26400441360689e-12},
    {3, 32, 0.78124600459723e-28}, {4, 32, -0.30732199903668e-30},
}};

// Region 2, T(p, h): 2a below 4 MPa, T = sum n pi^I (eta - 2.1)^J; 2b, sum n (pi - 2)^I
// (eta - 2.6)^J; 2c, sum n (pi + 25)^I (eta - 1.8)^J; eta = h / 2000 kJ/kg, pi = p / 1 MPa.
constexpr std::array<Term, 34> kBack2aPH{{
    {0, 0, 0.10898952318288e4},    {0, 1, 0.84951654495535e3},   {0, 2, -0.10781748091826e3},
    {0, 3, 0.33153654801263e2},    {0, 7, -0.74232016790248e1},  {0, 20, 0.11765048724356e2},
    {1, 0, 0.18445749355790e1},    {1, 1, -0.41792700549624e1},  {1, 2, 0.62478196935812e1},
    {1, 3, -0.17344563108114e2},   {1, 7, -0.20058176862096e3},  {1, 9, 0.27196065473796e3},
    {1, 11, -0.45511318285818e3},  {1, 18, 0.30919688604755e4},  {1, 44, 0.25226640357872e6},
    {2, 0, -0.61707422868339e-2},  {2, 2, -0.31078046629583},    {2, 7, 0.11670873077107e2},
    {2, 36, 0.12812798404046e9},   {2, 38, -0.98554909623276e9}, {2, 40, 0.28224546973002e10},
    {2, 42, -0.35948971410703e10}, {2, 44, 0.17227349913197e10}, {3, 24, -0.13551334240775e5},
    {3, 44, 0.12848734664650e8},   {4, 12, 0.13865724283226e1},  {4, 32, 0.23598832556514e6},
    {4, 44, -0.13105236545054e8},  {5, 32, 0.73999835474766e4},  {5, 36, -0.55196697030060e6},
    {5, 42, 0.37154085996233e7},   {6, 34, 0.19127729239660e5},  {6, 44, -0.41535164835634e6},
    {7, 28, -0.62459855192507e2},
}};
constexpr std::array<Term, 38> kBack2bPH{{
    {0, 0, 0.14895041079516e4},    {0, 1, 0.74307798314034e3},    {0, 2, -0.97708318797837e2},
    {0, 12, 0.24742464705674e1},   {0, 18, -0.63281320016026},    {0, 24, 0.11385952129658e1},
    {0, 28, -0.47811863648625},    {0, 40, 0.85208123431544e-2},  {1, 0, 0.93747147377932},
    {1, 2, 0.33593118604916e1},    {1, 6, 0.33809355601454e1},    {1, 12, 0.16844539671904},
    {1, 18, 0.73875745236695},     {1, 24, -0.47128737436186},    {1, 28, 0.15020273139707},
    {1, 40, -0.21764114219750e-2}, {2, 2, -0.21810755324761e-1},  {2, 8, -0.10829784403677},
    {2, 18, -0.46333324635812e-1}, {2, 40, 0.71280351959551e-4},  {3, 1, 0.11032831789999e-3},
    {3, 2, 0.18955248387902e-3},   {3, 12, 0.30891541160537e-2},  {3, 24, 0.13555504554949e-2},
    {4, 2, 0.28640237477456e-6},   {4, 12, -0.10779857357512e-4}, {4, 18, -0.76462712454814e-4},
    {4, 24, 0.14052392818316e-4},  {4, 28, -0.31083814331434e-4}, {4, 40, -0.10302738212103e-5},
    {5, 18, 0.28217281635040e-6},  {5, 24, 0.12704902271945e-5},  {5, 40, 0.73803353468292e-7},
    {6, 28, -0.11030139238909e-7}, {7, 2, -0.81456365207833e-13}, {7, 28, -0.25180545682962e-10},
    {9, 1, -0.17565233969407e-17}, {9, 40, 0.86934156344163e-14},
}};
constexpr std::array<Term, 23> kBack2cPH{{
    {-7, 0, -0.32368398555242e13}, {-7, 4, 0.73263350902181e13},  {-6, 0, 0.35825089945447e12},
    {-6, 2, -0.58340131851590e12}, {-5, 0, -0.10783068217470e11}, {-5, 2, 0.20825544563171e11},
    {-2, 0, 0.61074783564516e6},   {-2, 1, 0.85977722535580e6},   {-1, 0, -0.25745723604170e5},
    {-1, 2, 0.31081088422714e5},   {0, 0, 0.12082315865936e4},    {0, 1, 0.48219755109255e3},
    {1, 4, 0.37966001272486e1},    {1, 8, -0.10842984880077e2},   {2, 4, -0.45364172676660e-1},
    {6, 0, 0.14559115658698e-12},  {6, 1, 0.11261597407230e-11},  {6, 4, -0.17804982240686e-10},
    {6, 10, 0.12324579690832e-6},  {6, 12, -0.11606921130984e-5}, {6, 16, 0.27846367088554e-4},
    {6, 20, -0.59270038474176e-3}, {6, 22, 0.12918582991878e-2},
}};
// The boundary between 2b and 2c in (p, h): pi = n1 + n2 eta + n3 eta^2 (MPa, kJ/kg).
constexpr double kB2bcN1 = 0.90584278514723e3;
constexpr double kB2bcN2 = -0.67955786399241;
constexpr double kB2bcN3 = 0.12809002730136e-3;

// Region 2, T(p, s): 2a below 4 MPa, T = sum n pi^(I/4) (sigma - 2)^J, sigma = s / 2 kJ/(kg K)
// (I here is four times the standard's fractional exponent); 2b, sum n pi^I (10 - sigma)^J,
// sigma = s / 0.7853 kJ/(kg K); 2c, sum n pi^I (2 - sigma)^J, sigma = s / 2.9251 kJ/(kg K).
constexpr std::array<Term, 46> kBack2aPS{{
    {-6, -24, -0.39235983861984e6}, {-6, -23, 0.51526573827270e6},  {-6, -19, 0.40482443161048e5},
    {-6, -13, -0.32193790923902e3}, {-6, -11, 0.96961424218694e2},  {-6, -10, -0.22867846371773e2},
    {-5, -19, -0.44942914124357e6}, {-5, -15, -0.50118336020166e4}, {-5, -6, 0.35684463560015},
    {-4, -26, 0.44235335848190e5},  {-4, -21, -0.13673388811708e5}, {-4, -17, 0.42163260207864e6},
    {-4, -16, 0.22516925837475e5},  {-4, -9, 0.47442144865646e3},   {-4, -8, -0.14931130797647e3},
    {-3, -15, -0.19781126320452e6}, {-3, -14, -0.23554399470760e5}, {-2, -26, -0.19070616302076e5},
    {-2, -13, 0.55375669883164e5},  {-2, -9, 0.38293691437363e4},   {-2, -7, -0.60391860580567e3},
    {-1, -27, 0.19363102620331e4},  {-1, -25, 0.42660643698610e4},  {-1, -11, -0.59780638872718e4},
    {-1, -6, -0.70401463926862e3},  {1, 1, 0.33836784107553e3},     {1, 4, 0.20862786635187e2},
    {1, 8, 0.33834172656196e-1},    {1, 11, -0.43124428414893e-4},  {2, 0, 0.16653791356412e3},
    {2, 1, -0.13986292055898e3},    {2, 5, -0.78849547999872},      {2, 6, 0.72132411753872e-1},
    {2, 10, -0.59754839398283e-2},  {2, 14, -0.12141358953904e-4},  {2, 16, 0.23227096733871e-6},
    {3, 0, -0.10538463566194e2},    {3, 4, 0.20718925496502e1},     {3, 9, -0.72193155260427e-1},
    {3, 17, 0.20749887081120e-6},   {4, 7, -0.18340657911379e-1},   {4, 18, 0.29036272348696e-6},
    {5, 3, 0.21037527893619},       {5, 15, 0.25681239729999e-3},   {6, 5, -0.12799002933781e-1},
    {6, 18, -0.82198102652018e-5},
}};
constexpr std::array<Term, 44> kBack2bPS{{
    {-6, 0, 0.31687665083497e6},   {-6, 11, 0.20864175881858e2}, {-5, 0, -0.39859399803599e6},
    {-5, 11, -0.21816058518877e2}, {-4, 0, 0.22369785194242e6},  {-4, 1, -0.27841703445817e4},
    {-4, 11, 0.99207436071480e1},  {-3, 0, -0.75197512299157e5}, {-3, 1, 0.29708605951158e4},
    {-3, 11, -0.34406878548526e1}, {-3, 12, 0.38815564249115},   {-2, 0, 0.17511295085750e5},
    {-2, 1, -0.14237112854449e4},  {-2, 6, 0.10943803364167e1},  {-2, 10, 0.89971619308495},
    {-1, 0, -0.33759740098958e4},  {-1, 1, 0.47162885818355e3},  {-1, 5, -0.19188241993679e1},
    {-1, 8, 0.41078580492196},     {-1, 9, -0.33465378172097},   {0, 0, 0.13870034777505e4},
    {0, 1, -0.40663326195838e3},   {0, 2, 0.41727347159610e2},   {0, 4, 0.21932549434532e1},
    {0, 5, -0.10320050009077e1},   {0, 6, 0.35882943516703},     {0, 9, 0.52511453726066e-2},
    {1, 0, 0.12838916450705e2},    {1, 1, -0.28642437219381e1},  {1, 2, 0.56912683664855},
    {1, 3, -0.99962954584931e-1},  {1, 7, -0.32632037778459e-2}, {1, 8, 0.23320922576723e-3},
    {2, 0, -0.15334809857450},     {2, 1, 0.29072288239902e-1},  {2, 5, 0.37534702741167e-3},
    {3, 0, 0.17296691702411e-2},   {3, 1, -0.38556050844504e-3}, {3, 3, -0.35017712292608e-4},
    {4, 0, -0.14566393631492e-4},  {4, 1, 0.56420857267269e-5},  {5, 0, 0.41286150074605e-7},
    {5, 1, -0.20684671118824e-7},  {5, 2, 0.16409393674725e-8},
}};
constexpr std::array<Term, 30> kBack2cPS{{
    {-2, 0, 0.90968501005365e3},   {-2, 1, 0.24045667088420e4},  {-1, 0, -0.59162326387130e3},
    {0, 0, 0.54145404128074e3},    {0, 1, -0.27098308411192e3},  {0, 2, 0.97976525097926e3},
    {0, 3, -0.46966772959435e3},   {1, 0, 0.14399274604723e2},   {1, 1, -0.19104204230429e2},
    {1, 3, 0.53299167111971e1},    {1, 4, -0.21252975375934e2},  {2, 0, -0.31147334413760},
    {2, 1, 0.60334840894623},      {2, 2, -0.42764839702509e-1}, {3, 0, 0.58185597255259e-2},
    {3, 1, -0.14597008284753e-1},  {3, 5, 0.56631175631027e-2},  {4, 0, -0.76155864584577e-4},
    {4, 1, 0.22440342919332e-3},   {4, 4, -0.12561095013413e-4}, {5, 0, 0.63323132660934e-6},
    {5, 1, -0.20541989675375e-5},  {5, 2, 0.36405370390082e-7},  {6, 0, -0.29759897789215e-8},
    {6, 1, 0.10136618529763e-7},   {7, 0, 0.59925719692351e-11}, {7, 1, -0.20677870105164e-10},
    {7, 3, -0.20874278181886e-10}, {7, 4, 0.10162166825089e-9},  {7, 5, -0.16429828281347e-9},
}};

// sum n a^I b^J over a table (the backward equations, off the hot path): integer powers by
// repeated multiplication, negative ones from the reciprocal.
template <std::size_t N>
double Polynomial(const std::array<Term, N>& terms, double a, double b) {
    double sum = 0;
    for (const Term& t : terms) {
        double term = t.n;
        const double ab = t.I < 0 ? 1.0 / a : a;
        for (int k = 0; k < std::abs(t.I); ++k) term *= ab;
        const double bb = t.J < 0 ? 1.0 / b : b;
        for (int k = 0; k < std::abs(t.J); ++k) term *= bb;
        sum += term;
    }
    return sum;
}

// The reduced Gibbs free energy gamma and its derivatives by pi and tau.
struct Gibbs {
    double g = 0, gp = 0, gt = 0, gpp = 0, gtt = 0, gpt = 0;
};

// Sums the table's terms n a^I b^J given the powers of a and b (b's index offset by bOffset),
// then turns them into derivatives by a and b: the caller maps those to pi and tau.
template <std::size_t N, std::size_t NA, std::size_t NB>
Gibbs SumTerms(const std::array<Term, N>& terms, const std::array<double, NA>& aPow,
               const std::array<double, NB>& bPow, int bOffset, double a, double b) {
    Gibbs s;
    for (const Term& t : terms) {
        const int jb = t.J + bOffset;
        const double base =
            t.n * aPow[static_cast<std::size_t>(t.I)] * bPow[static_cast<std::size_t>(jb)];
        const double i = t.I;
        const double j = t.J;
        s.g += base;
        s.gp += base * i;
        s.gt += base * j;
        s.gpp += base * i * (i - 1);
        s.gtt += base * j * (j - 1);
        s.gpt += base * i * j;
    }
    s.gp /= a;
    s.gt /= b;
    s.gpp /= a * a;
    s.gtt /= b * b;
    s.gpt /= a * b;
    return s;
}

Gibbs Region1Gibbs(double pi, double tau) {
    const double a = 7.1 - pi;
    const double b = tau - 1.222;
    std::array<double, 33> aPow{};
    Powers(a, aPow);
    std::array<double, 18> bUp{};
    Powers(b, bUp);
    std::array<double, 42> bDown{};
    Powers(1.0 / b, bDown);
    std::array<double, 59> bPow{};  // b^-41 .. b^17
    for (std::size_t k = 0; k < 42; ++k) bPow[41 - k] = bDown[k];
    for (std::size_t k = 1; k < 18; ++k) bPow[41 + k] = bUp[k];
    Gibbs s = SumTerms(kRegion1, aPow, bPow, 41, a, b);
    // d/dpi of (7.1 - pi)^I is -I (7.1 - pi)^(I-1).
    s.gp = -s.gp;
    s.gpt = -s.gpt;
    return s;
}

// Region 2's ideal-gas part without its ln pi: sum n tau^J and its derivatives by tau.
struct Ideal {
    double g = 0, gt = 0, gtt = 0;
};

Ideal Region2Ideal(double tau) {
    const double r = 1.0 / tau;
    const double r2 = r * r;
    // tau^-5 .. tau^3
    const std::array<double, 9> tPow{r2 * r2 * r, r2 * r2,   r2 * r,         r2, r, 1.0,
                                     tau,         tau * tau, tau * tau * tau};
    Ideal i;
    for (const Term& t : kRegion2Ideal) {
        const int jt = t.J + 5;
        const double base = t.n * tPow[static_cast<std::size_t>(jt)];
        const double j = t.J;
        i.g += base;
        i.gt += base * j;
        i.gtt += base * j * (j - 1);
    }
    i.gt *= r;
    i.gtt *= r2;
    return i;
}

Gibbs Region2Gibbs(double pi, double tau) {
    std::array<double, 25> aPow{};
    Powers(pi, aPow);
    const double b = tau - 0.5;
    std::array<double, 59> bPow{};
    Powers(b, bPow);
    Gibbs s = SumTerms(kRegion2Residual, aPow, bPow, 0, pi, b);
    const Ideal i = Region2Ideal(tau);
    s.g += std::log(pi) + i.g;
    s.gp += 1.0 / pi;
    s.gpp -= 1.0 / (pi * pi);
    s.gt += i.gt;
    s.gtt += i.gtt;
    return s;
}

// The properties at (p, T) from a Gibbs free energy g = R T gamma(p / pStar, tStar / T), with
// the derivatives of v that the inverse problems need.
struct Props {
    double v = 0, u = 0, h = 0, s = 0, cp = 0;
    double dvdp = 0;  // (dv/dp) at constant T
    double dvdT = 0;  // (dv/dT) at constant p
};

Props FromGibbs(const Gibbs& G, double p, double T, double pStar, double tau) {
    Props q;
    const double RT = kR * T;
    q.v = RT / pStar * G.gp;
    q.h = RT * tau * G.gt;
    q.u = q.h - p * q.v;
    q.s = kR * (tau * G.gt - G.g);
    q.cp = -kR * tau * tau * G.gtt;
    q.dvdp = RT / (pStar * pStar) * G.gpp;
    q.dvdT = kR / pStar * (G.gp - tau * G.gpt);
    return q;
}

Props Region1(double p, double T) {
    const double tau = kT1 / T;
    return FromGibbs(Region1Gibbs(p / kP1, tau), p, T, kP1, tau);
}

Props Region2(double p, double T) {
    const double tau = kT2 / T;
    return FromGibbs(Region2Gibbs(p / kP2, tau), p, T, kP2, tau);
}

// (du/dT) at constant p and (du/dp) at constant T, from u = h - p v.
double DuDT(const Props& q, double p) { return q.cp - p * q.dvdT; }
double DuDp(const Props& q, double p, double T) { return -T * q.dvdT - p * q.dvdp; }

// The saturation pressure and its slope dp/dT along the line.
double SaturationPressureSlope(double T, double& slope) {
    const auto& n = kN4;
    const double d = T - n[10];
    const double th = T + n[9] / d;
    const double A = th * th + n[1] * th + n[2];
    const double B = n[3] * th * th + n[4] * th + n[5];
    const double C = n[6] * th * th + n[7] * th + n[8];
    const double Q = std::sqrt(B * B - 4 * A * C);
    const double D = -B + Q;
    const double beta = 2 * C / D;
    const double dA = 2 * th + n[1];
    const double dB = 2 * n[3] * th + n[4];
    const double dC = 2 * n[6] * th + n[7];
    const double dQ = (2 * B * dB - 4 * (dA * C + A * dC)) / (2 * Q);
    const double dD = -dB + dQ;
    const double dbeta = (2 * dC * D - 2 * C * dD) / (D * D);
    const double dth = 1 - n[9] / (d * d);
    const double b2 = beta * beta;
    slope = 4 * b2 * beta * dbeta * dth * 1e6;
    return b2 * b2 * 1e6;
}

bool Finite(double a) { return std::isfinite(a); }

State MakeState(double p, double T, const Props& q, Phase phase) {
    State st;
    st.p = p;
    st.T = T;
    st.v = q.v;
    st.u = q.u;
    st.h = q.h;
    st.s = q.s;
    st.x = phase == Phase::Liquid ? 0.0 : 1.0;
    st.phase = phase;
    st.valid = true;
    return st;
}

State MakeWet(double p, double T, const Props& f, const Props& g, double x) {
    State st;
    st.p = p;
    st.T = T;
    st.v = f.v + x * (g.v - f.v);
    st.u = f.u + x * (g.u - f.u);
    st.h = f.h + x * (g.h - f.h);
    st.s = f.s + x * (g.s - f.s);
    st.x = x;
    st.phase = Phase::Wet;
    st.valid = true;
    return st;
}

// The highest pressure of region 2 at T (kTMin .. kTMax): the saturation line, the boundary to
// region 3, or the formulation's limit.
double Region2PressureLimit(double T) {
    if (T <= kT13) return SaturationPressure(T);
    if (T <= kTB23High) return B23Pressure(T);
    return kPMax;
}

// Its inverse: the lowest temperature of region 2 at p.
double Region2TemperatureLimit(double p) {
    if (p <= SaturationPressure(kT13)) return SaturationTemperature(p);
    if (p <= kPMax) return B23Temperature(p);
    return kTB23High;
}

// Whether (p, T) lies in region 2 (including the saturated vapour line).
bool InRegion2(double p, double T) {
    if (!(p > 0 && T >= kTMin && T <= kTMax && p <= kPMax)) return false;
    return p <= Region2PressureLimit(T) * (1 + 1e-9);
}

// The pressure at which region 1 meets region 3 on the 623.15 K isotherm.
double SaturationPressure13() { return SaturationPressure(kT13); }

// Newton on T at fixed p until the region's forward value (h or s) matches `target`; `slope`
// gives its derivative by T from the properties.
template <typename Region, typename Value, typename Slope>
bool RefineT(Region region, Value value, Slope slope, double p, double target, double& T,
             Props& q) {
    const double tol = 1e-13 * std::max(std::abs(target), 1e3);
    for (int it = 0; it < 8; ++it) {
        q = region(p, T);
        const double r = value(q) - target;
        if (std::abs(r) <= tol) return true;
        const double dT = r / slope(q, T);
        if (!Finite(dT)) return false;
        T = std::clamp(T - dT, kTMin - 20, kTMax + 5);
    }
    return std::abs(value(q) - target) <= 1e3 * tol;
}

enum class Quantity { H, S };

// FromPH and FromPS: wet between the saturation lines, otherwise a backward equation's
// temperature refined on the forward equation.
State FromPQ(double p, double target, Quantity what) {
    if (!Finite(p) || !Finite(target) || !(p > 0) || p > kPMax) return {};
    const auto value = [what](const Props& q) { return what == Quantity::H ? q.h : q.s; };
    const auto slope = [what](const Props& q, double T) {
        return what == Quantity::H ? q.cp : q.cp / T;
    };
    bool liquid = false;
    if (p <= SaturationPressure13()) {
        const double Ts = SaturationTemperature(p);
        if (Ts >= kTMin) {
            const Props f = Region1(p, Ts);
            const Props g = Region2(p, Ts);
            if (target < value(f)) {
                liquid = true;
            } else if (target <= value(g)) {
                const double x = (target - value(f)) / (value(g) - value(f));
                return MakeWet(p, Ts, f, g, x);
            }
        }
    } else if (target <= value(Region1(p, kT13))) {
        liquid = true;
    } else if (target < value(Region2(p, B23Temperature(p)))) {
        return {};  // region 3
    }
    Props q;
    if (liquid) {
        double T =
            what == Quantity::H ? Region1TemperaturePH(p, target) : Region1TemperaturePS(p, target);
        if (!Finite(T) || !RefineT(Region1, value, slope, p, target, T, q)) return {};
        if (T < kTMin || T > kT13) return {};
        return MakeState(p, T, q, Phase::Liquid);
    }
    double T =
        what == Quantity::H ? Region2TemperaturePH(p, target) : Region2TemperaturePS(p, target);
    if (!Finite(T)) return {};
    T = std::clamp(T, kTMin, kTMax);
    if (!RefineT(Region2, value, slope, p, target, T, q) || !InRegion2(p, T)) return {};
    return MakeState(p, T, q, Phase::Vapour);
}

// ---- FromVU ----

double EnergyTolerance(double u) { return 1e-12 * std::max(std::abs(u), 1e5); }

// A Newton step this small (relative) leaves an error of its square: the solvers take it without
// a further evaluation, carrying the properties along to first order.
constexpr double kLastStep = 1e-6;

// (ds/dT) at constant p and (ds/dp) at constant T (a Maxwell relation).
double DsDT(const Props& q, double T) { return q.cp / T; }
double DsDp(const Props& q) { return -q.dvdT; }

// The ideal-gas temperature of energy u (region 2's ideal part): a start for the vapour solve.
double IdealGasTemperature(double u) {
    double T = 500;
    for (int it = 0; it < 8; ++it) {
        const double tau = kT2 / T;
        const Ideal i = Region2Ideal(tau);
        const double ui = kR * T * (tau * i.gt - 1);
        const double cv = -kR * tau * tau * i.gtt - kR;
        const double dT = (ui - u) / cv;
        T = std::clamp(T - dT, kTMin, kTMax);
        if (std::abs(dT) < 1e-3) break;
    }
    return T;
}

// Where the vapour solve may evaluate region 2: a little beyond the region's pressure limit (the
// metastable vapour of slightly wet states), no further: the equation soon means nothing there.
bool VapourAdmissible(double p, double T) {
    return p > 0 && T >= kTMin && T <= kTMax && p <= 1.2 * Region2PressureLimit(T);
}

// Superheated vapour: Newton in (p, T) on v and u, from an admissible start, each step shortened
// until it lands on an admissible point of positive volume.
bool SolveVapour(double v, double u, double& p, double& T, Props& q) {
    const double tolU = EnergyTolerance(u);
    if (!VapourAdmissible(p, T)) return false;
    q = Region2(p, T);
    for (int it = 0; it < 40; ++it) {
        if (!(q.v > 0)) return false;
        const double rv = q.v - v;
        const double ru = q.u - u;
        if (std::abs(rv) <= 1e-12 * v && std::abs(ru) <= tolU) return true;
        const double a = q.dvdp;
        const double b = q.dvdT;
        const double c = DuDp(q, p, T);
        const double d = DuDT(q, p);
        const double det = a * d - b * c;
        const double dp = (rv * d - b * ru) / det;
        const double dT = (a * ru - c * rv) / det;
        if (!Finite(dp) || !Finite(dT)) return false;
        if (std::abs(dp) <= kLastStep * p && std::abs(dT) <= kLastStep * T) {
            q.s -= DsDp(q) * dp + DsDT(q, T) * dT;
            p -= dp;
            T -= dT;
            return true;
        }
        double step = std::min({1.0, 150.0 / std::abs(dT), 0.8 * p / std::abs(dp)});
        for (int k = 0;; ++k, step *= 0.5) {
            if (k == 8) return false;  // no way forward: no vapour state has (v, u)
            const double pNew = p - step * dp;
            const double tNew = T - step * dT;
            if (!VapourAdmissible(pNew, tNew)) continue;
            const Props next = Region2(pNew, tNew);
            if (!(next.v > 0)) continue;
            p = pNew;
            T = tNew;
            q = next;
            break;
        }
    }
    return false;
}

// Wet steam: the saturation temperature at which the mixture of volume v has energy u.
// Newton on T, kept inside a bracket (the mixture's energy at fixed v rises with T).
bool SolveWet(double v, double u, double T0, double& T, double& x, Props& f, Props& g, double& p) {
    const double tolU = EnergyTolerance(u);
    double lo = kTMin;
    double hi = kT13;
    bool haveLo = false;  // whether lo and hi are temperatures where F was evaluated
    bool haveHi = false;
    T = std::clamp(T0, lo, hi);
    for (int it = 0; it < 60; ++it) {
        double dps = 0;
        p = SaturationPressureSlope(T, dps);
        f = Region1(p, T);
        g = Region2(p, T);
        const double dv = g.v - f.v;
        x = (v - f.v) / dv;
        const double du = g.u - f.u;
        const double F = f.u + x * du - u;
        if (std::abs(F) <= tolU) return true;
        if (F > 0) {
            hi = T;
            haveHi = true;
        } else {
            lo = T;
            haveLo = true;
        }
        // Either the root is pinned between two evaluations or it lies outside the range.
        if (hi - lo <= 1e-12 * T) return haveLo && haveHi;
        // Derivatives along the saturation line.
        const double fv = f.dvdT + f.dvdp * dps;
        const double fu = DuDT(f, p) + DuDp(f, p, T) * dps;
        const double gv = g.dvdT + g.dvdp * dps;
        const double gu = DuDT(g, p) + DuDp(g, p, T) * dps;
        const double r = du / dv;
        const double dF = (1 - x) * (fu - r * fv) + x * (gu - r * gv);
        double tNew = T - F / dF;
        const double dT = tNew - T;
        if (std::abs(dT) <= kLastStep * T) {
            f.v += fv * dT;
            g.v += gv * dT;
            f.s += (DsDT(f, T) + DsDp(f) * dps) * dT;
            g.s += (DsDT(g, T) + DsDp(g) * dps) * dT;
            x = (v - f.v) / (g.v - f.v);
            T = tNew;
            p = SaturationPressure(T);
            return true;
        }
        if (!(tNew > lo && tNew < hi)) {
            // Past an end of the range not yet evaluated: try that end, else bisect.
            if (tNew >= hi && !haveHi) tNew = hi;
            else if (tNew <= lo && !haveLo) tNew = lo;
            else tNew = 0.5 * (lo + hi);
        }
        T = tNew;
    }
    return false;
}

}  // namespace

double SaturationPressure(double T) {
    if (!(T >= kTMin && T <= 647.096)) return kNaN;
    double slope = 0;
    return SaturationPressureSlope(T, slope);
}

double SaturationTemperature(double p) {
    if (!(p >= 611.212677 && p <= 22.064e6)) return kNaN;
    const auto& n = kN4;
    const double beta = std::sqrt(std::sqrt(p / 1e6));
    const double b2 = beta * beta;
    const double E = b2 + n[3] * beta + n[6];
    const double F = n[1] * b2 + n[4] * beta + n[7];
    const double G = n[2] * b2 + n[5] * beta + n[8];
    const double D = 2 * G / (-F - std::sqrt(F * F - 4 * E * G));
    const double s = n[10] + D;
    return 0.5 * (s - std::sqrt(s * s - 4 * (n[9] + n[10] * D)));
}

State FromPT(double p, double T) {
    if (!Finite(p) || !Finite(T) || !(p > 0) || p > kPMax || T < kTMin || T > kTMax) return {};
    if (T <= kT13 && p > SaturationPressure(T))
        return MakeState(p, T, Region1(p, T), Phase::Liquid);
    if (T > kT13 && T <= kTB23High && p > B23Pressure(T)) return {};  // region 3
    return MakeState(p, T, Region2(p, T), Phase::Vapour);
}

State FromPX(double p, double x) {
    if (!Finite(p) || !Finite(x) || x < 0 || x > 1 || !(p <= SaturationPressure13())) return {};
    const double T = SaturationTemperature(p);
    if (!(T >= kTMin)) return {};
    return MakeWet(p, T, Region1(p, T), Region2(p, T), x);
}

State FromPH(double p, double h) { return FromPQ(p, h, Quantity::H); }
State FromPS(double p, double s) { return FromPQ(p, s, Quantity::S); }

State FromVU(double v, double u, const State* guess) {
    if (!Finite(v) || !Finite(u) || !(v > 0) || std::abs(u) > 1e8) return {};
    const bool warm = guess && guess->valid && Finite(guess->p) && Finite(guess->T) &&
                      guess->p > 0 && guess->T >= kTMin && guess->T <= kTMax;
    State st;
    double tWet = warm ? guess->T : 400.0;  // where the wet solve starts
    bool liquid = false;
    // The vapour solve from (p, T), moved into region 2 first.
    const auto vapour = [&](double p, double T) {
        T = std::clamp(T, kTMin, kTMax);
        p = std::min(p, Region2PressureLimit(T));
        Props q;
        if (!SolveVapour(v, u, p, T, q)) return false;
        if (!InRegion2(p, T)) {
            // A metastable solution beyond the saturation line: the state is wet, and its
            // saturation temperature lies near.
            if (T <= kT13) tWet = T;
            return false;
        }
        st = MakeState(p, T, q, Phase::Vapour);
        return true;
    };
    // The ideal gas's state, moved clear of the saturation line where it lies beyond it (the
    // ideal gas runs colder than the real one at high pressure).
    const auto vapourCold = [&]() {
        double T = IdealGasTemperature(u);
        double p = kR * T / v;
        for (int k = 0; k < 4 && p > Region2PressureLimit(T); ++k) {
            T = std::min(Region2TemperatureLimit(p) + 10, kTMax);
            p = kR * T / v;
        }
        return vapour(p, T);
    };
    const auto wet = [&]() {
        double T = 0, x = 0, p = 0;
        Props f, g;
        if (!SolveWet(v, u, tWet, T, x, f, g, p)) return false;
        liquid = x < -1e-9;  // compressed liquid: not covered
        if (liquid || x > 1 + 1e-9) return false;
        st = MakeWet(p, T, f, g, std::clamp(x, 0.0, 1.0));
        return true;
    };
    bool found = false;
    if (!warm) {
        found = vapourCold() || wet();
    } else if (guess->phase == Phase::Vapour) {
        found = vapour(guess->p, guess->T) || wet() || (!liquid && vapourCold());
    } else {
        found = wet() ||
                (!liquid &&
                 (vapour(guess->p, std::max(guess->T, IdealGasTemperature(u))) || vapourCold()));
    }
    if (!found) return {};
    st.v = v;
    st.u = u;
    st.h = u + st.p * v;
    return st;
}

double Region1TemperaturePH(double p, double h) {
    return Polynomial(kBack1PH, p / 1e6, h / 2500e3 + 1);
}

double Region1TemperaturePS(double p, double s) {
    return Polynomial(kBack1PS, p / 1e6, s / 1e3 + 2);
}

double Region2TemperaturePH(double p, double h) {
    const double pi = p / 1e6;
    const double eta = h / 2000e3;
    if (pi <= 4) return Polynomial(kBack2aPH, pi, eta - 2.1);
    // 2c lies at high pressure and low enthalpy, beyond the 2b-2c boundary.
    const double hkJ = h / 1e3;
    const double pBC = kB2bcN1 + kB2bcN2 * hkJ + kB2bcN3 * hkJ * hkJ;
    if (pi > pBC) return Polynomial(kBack2cPH, pi + 25, eta - 1.8);
    return Polynomial(kBack2bPH, pi - 2, eta - 2.6);
}

double Region2TemperaturePS(double p, double s) {
    const double pi = p / 1e6;
    if (pi <= 4) return Polynomial(kBack2aPS, std::sqrt(std::sqrt(pi)), s / 2e3 - 2);
    if (s >= 5.85e3) return Polynomial(kBack2bPS, pi, 10 - s / 0.7853e3);
    return Polynomial(kBack2cPS, pi, 2 - s / 2.9251e3);
}

}  // namespace tarn::steam
