// Exponential and trigonometric-type integrals: E_n, Ci and Si, Shi and Chi,
// the Fresnel integrals, Dawson's integral and Spence's function.
#include <cmath>
#include <cstdint>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPiSquaredOver6 = 1.6449340668482264;

// ---- Ci and Si ----------------------------------------------------------------
// |x| <= 4: Si = x SN(x^2)/SD(x^2), Ci = γ + ln x + x^2 CN(x^2)/CD(x^2).
const double kSiN[] = {-8.39167827910303881427E-11, 4.62591714427012837309E-8,
                       -9.75759303843632795789E-6,  9.76945438170435310816E-4,
                       -4.13470316229406538752E-2,  1.00000000000000000302E0};
const double kSiD[] = {2.03269266195951942049E-12, 1.27997891179943299903E-9,
                       4.41827842801218905784E-7,  9.96412122043875552487E-5,
                       1.42085239326149893930E-2,  9.99999999999999996984E-1};
const double kCiN[] = {2.02524002389102268789E-11, -1.35249504915790756375E-8,
                       3.59325051419993077021E-6,  -4.74007206873407909465E-4,
                       2.89159652607555242092E-2,  -1.00000000000000000080E0};
const double kCiD[] = {4.07746040061880559506E-12, 3.06780997581887812692E-9,
                       1.23210355685883423679E-6,  3.17442024775032769882E-4,
                       5.10028056236446052392E-2,  4.00000000000000000080E0};
// Auxiliary functions f and g, rational in 1/x^2, on 4 < x < 8 and x >= 8.
const double kF4N[] = {4.23612862892216586994E0,  5.45937717161812843388E0,
                       1.62083287701538329132E0,  1.67006611831323023771E-1,
                       6.81020132472518137426E-3, 1.08936580650328664411E-4,
                       5.48900223421373614008E-7};
const double kF4D[] = {8.16496634205391016773E0,  7.30828822505564552187E0,
                       1.86792257950184183883E0,  1.78792052963149907262E-1,
                       7.01710668322789753610E-3, 1.10034357153915731354E-4,
                       5.48900252756255700982E-7};
const double kF8N[] = {
    4.55880873470465315206E-1, 7.13715274100146711374E-1,  1.60300158222319456320E-1,
    1.16064229408124407915E-2, 3.49556442447859055605E-4,  4.86215430826454749482E-6,
    3.20092790091004902806E-8, 9.41779576128512936592E-11, 9.70507110881952024631E-14};
const double kF8D[] = {9.17463611873684053703E-1,  1.78685545332074536321E-1,
                       1.22253594771971293032E-2,  3.58696481881851580297E-4,
                       4.92435064317881464393E-6,  3.21956939101046018377E-8,
                       9.43720590350276732376E-11, 9.70507110881952025725E-14};
const double kG4N[] = {8.71001698973114191777E-2, 6.11379109952219284151E-1,
                       3.97180296392337498885E-1, 7.48527737628469092119E-2,
                       5.38868681462177273157E-3, 1.61999794598934024525E-4,
                       1.97963874140963632189E-6, 7.82579040744090311069E-9};
const double kG4D[] = {1.64402202413355338886E0,  6.66296701268987968381E-1,
                       9.88771761277688796203E-2, 6.22396345441768420760E-3,
                       1.73221081474177119497E-4, 2.02659182086343991969E-6,
                       7.82579218933534490868E-9};
const double kG8N[] = {
    6.97359953443276214934E-1, 3.30410979305632063225E-1,  3.84878767649974295920E-2,
    1.71718239052347903558E-3, 3.48941165502279436777E-5,  3.47131167084116673800E-7,
    1.70404452782044526189E-9, 3.85945925430276600453E-12, 3.14040098946363334640E-15};
const double kG8D[] = {
    1.68548898811011640017E0,  4.87852258695304967486E-1,  4.67913194259625806320E-2,
    1.90284426674399523638E-3, 3.68475504442561108162E-5,  3.57043223443740838771E-7,
    1.72693748966316146736E-9, 3.87830166023954706752E-12, 3.14040098946363335242E-15};

// ---- Shi and Chi ----------------------------------------------------------------
// Chebyshev series of x e^-x Shi(x) and x e^-x (Chi(x) - γ - ln x) on 8..18
// (argument (576/x - 52)/10) and 18..88 (argument (6336/x - 212)/70).
const double kShi1[] = {
    1.83889230173399459482E-17,  -9.55485532279655569575E-17, 2.04326105980879882648E-16,
    1.09896949074905343022E-15,  -1.31313534344092599234E-14, 5.93976226264314278932E-14,
    -3.47197010497749154755E-14, -1.40059764613117131000E-12, 9.49044626224223543299E-12,
    -1.61596181145435454033E-11, -1.77899784436430310321E-10, 1.35455469767246947469E-9,
    -1.03257121792819495123E-9,  -3.56699611114982536845E-8,  1.44818877384267342057E-7,
    7.82018215184051295296E-7,   -5.39919118403805073710E-6,  -3.12458202168959833422E-5,
    8.90136741950727517826E-5,   2.02558474743846862168E-3,   2.96064440855633256972E-2,
    1.11847751047257036625E0};
const double kShi2[] = {
    -1.05311574154850938805E-17, 2.62446095596355225821E-17,  8.82090135625368160657E-17,
    -3.38459811878103047136E-16, -8.30608026366935789136E-16, 3.93397875437050071776E-15,
    1.01765565969729044505E-14,  -4.21128170307640802703E-14, -1.60818204519802480035E-13,
    3.34714954175994481761E-13,  2.72600352129153073807E-12,  1.66894954752839083608E-12,
    -3.49278141024730899554E-11, -1.58580661666482709598E-10, -1.79289437183355633342E-10,
    1.76281629144264523277E-9,   1.69050228879421288846E-8,   1.25391771228487041649E-7,
    1.16229947068677338732E-6,   1.61038260117376323993E-5,   3.49810375601053973070E-4,
    1.28478065259647610779E-2,   1.03665722588798326712E0};
const double kChi1[] = {
    -8.12435385225864036372E-18, 2.17586413290339214377E-17, 5.22624394924072204667E-17,
    -9.48812110591690559363E-16, 5.35546311647465209166E-15, -1.21009970113732918701E-14,
    -6.00865178553447437951E-14, 7.16339649156028587775E-13, -2.93496072607599856104E-12,
    -1.40359438136491256904E-12, 8.76302288609054966081E-11, -4.40092476213282340617E-10,
    -1.87992075640569295479E-10, 1.31458150989474594064E-8,  -4.75513930924765465590E-8,
    -2.21775018801848880741E-7,  1.94635531373272490962E-6,  4.33505889257316408893E-6,
    -6.13387001076494349496E-5,  -3.13085477492997465138E-4, 4.97164789823116062801E-4,
    2.64347496031374526641E-2,   1.11446150876699213025E0};
const double kChi2[] = {
    8.06913408255155572081E-18,  -2.08074168180148170312E-17, -5.98111329658272336816E-17,
    2.68533951085945765591E-16,  4.52313941698904694774E-16,  -3.10734917335299464535E-15,
    -4.42823207332531972288E-15, 3.49639695410806959872E-14,  6.63406731718911586609E-14,
    -3.71902448093119218395E-13, -1.27135418132338309016E-12, 2.74851141935315395333E-12,
    2.33781843985453438400E-11,  2.71436006377612442764E-11,  -2.56600180000355990529E-10,
    -1.61021375163803438552E-9,  -4.72543064876271773512E-9,  -3.00095178028681682282E-9,
    7.79387474390914922337E-8,   1.06942765566401507066E-6,   1.59503164802313196374E-5,
    3.49592575153777996871E-4,   1.28475387530065247392E-2,   1.03665693917934275131E0};

// ---- Fresnel ---------------------------------------------------------------------
// x^2 < 2.5625: S = x^3 SN(x^4)/SD(x^4), C = x CN(x^4)/CD(x^4).
const double kFresnelSN[] = {-2.99181919401019853726E3,  7.08840045257738576863E5,
                             -6.29741486205862506537E7,  2.54890880573376359104E9,
                             -4.42979518059697779103E10, 3.18016297876567817986E11};
const double kFresnelSD[] = {2.81376268889994315696E2,  4.55847810806532581675E4,
                             5.17343888770096400730E6,  4.19320245898111231129E8,
                             2.24411795645340920940E10, 6.07366389490084639049E11};
const double kFresnelCN[] = {-4.98843114573573548651E-8, 9.50428062829859605134E-6,
                             -6.45191435683965050962E-4, 1.88843319396703850064E-2,
                             -2.05525900955013891793E-1, 9.99999999999999998822E-1};
const double kFresnelCD[] = {3.99982968972495980367E-12, 9.15439215774657478799E-10,
                             1.25001862479598821474E-7,  1.22262789024179030997E-5,
                             8.68029542941784300606E-4,  4.12142090722199792936E-2,
                             1.00000000000000000118E0};
// Auxiliary f and g, rational in u = 1/(π x^2)^2.
const double kFresnelFN[] = {4.21543555043677546506E-1,  1.43407919780758885261E-1,
                             1.15220955073585758835E-2,  3.45017939782574027900E-4,
                             4.63613749287867322088E-6,  3.05568983790257605827E-8,
                             1.02304514164907233465E-10, 1.72010743268161828879E-13,
                             1.34283276233062758925E-16, 3.76329711269987889006E-20};
const double kFresnelFD[] = {7.51586398353378947175E-1,  1.16888925859191382142E-1,
                             6.44051526508858611005E-3,  1.55934409164153020873E-4,
                             1.84627567348930545870E-6,  1.12699224763999035261E-8,
                             3.60140029589371370404E-11, 5.88754533621578410010E-14,
                             4.52001434074129701496E-17, 1.25443237090011264384E-20};
const double kFresnelGN[] = {
    5.04442073643383265887E-1,  1.97102833525523411709E-1,  1.87648584092575249293E-2,
    6.84079380915393090172E-4,  1.15138826111884280931E-5,  9.82852443688422223854E-8,
    4.45344415861750144738E-10, 1.08268041139020870318E-12, 1.37555460633261799868E-15,
    8.36354435630677421531E-19, 1.86958710162783235106E-22};
const double kFresnelGD[] = {
    1.47495759925128324529E0,   3.37748989120019970451E-1,  2.53603741420338795122E-2,
    8.14679107184306179049E-4,  1.27545075667729118702E-5,  1.04314589657571990585E-7,
    4.60680728146520428211E-10, 1.10273215066240270757E-12, 1.38796531259578871258E-15,
    8.39158816283118707363E-19, 1.86958710162783236342E-22};

// ---- Dawson ------------------------------------------------------------------------
const double kDawsonAN[] = {1.13681498971755972054E-11, 8.49262267667473811108E-10,
                            1.94434204175553054283E-8,  9.53151741254484363489E-7,
                            3.07828309874913200438E-6,  3.52513368520288738649E-4,
                            -8.50149846724410912031E-4, 4.22618223005546594270E-2,
                            -9.17480371773452345351E-2, 9.99999999999999994612E-1};
const double kDawsonAD[] = {
    2.40372073066762605484E-11, 1.48864681368493396752E-9, 5.21265281010541664570E-8,
    1.27258478273186970203E-6,  2.32490249820789513991E-5, 3.25524741826057911661E-4,
    3.48805814657162590916E-3,  2.79448531198828973716E-2, 1.58874241960120565368E-1,
    5.74918629489320327824E-1,  1.00000000000000000539E0};
const double kDawsonBN[] = {
    5.08955156417900903354E-1,  -2.44754418142697847934E-1, 9.41512335303534411857E-2,
    -2.18711255142039025206E-2, 3.66207612329569181322E-3,  -4.23209114460388756528E-4,
    3.59641304793896631888E-5,  -2.14640351719968974225E-6, 9.10010780076391431042E-8,
    -2.40274520828250956942E-9, 3.59233385440928410398E-11};
const double kDawsonBD[] = {-6.31839869873368190192E-1, 2.36706788228248691528E-1,
                            -5.31806367003223277662E-2, 8.48041718586295374409E-3,
                            -9.47996768486665330168E-4, 7.81025592944552338085E-5,
                            -4.55875153252442634831E-6, 1.89100358111421846170E-7,
                            -4.91324691331920606875E-9, 7.18466403235734541950E-11};
const double kDawsonCN[] = {-5.90592860534773254987E-1, 6.29235242724368800674E-1,
                            -1.72858975380388136411E-1, 1.64837047825189632310E-2,
                            -4.86827613020462700845E-4};
const double kDawsonCD[] = {-2.69820057197544900361E0, 1.73270799045947845857E0,
                            -3.93708582281939493482E-1, 3.44278924041233391079E-2,
                            -9.73655226040941223894E-4};

// ---- Spence ------------------------------------------------------------------------
const double kSpenceA[] = {4.65128586073990045278E-5, 7.31589045238094711071E-3,
                           1.33847639578309018650E-1, 8.79691311754530315341E-1,
                           2.71149851196553469920E0,  4.25697156008121755724E0,
                           3.29771340985225106936E0,  1.00000000000000000126E0};
const double kSpenceB[] = {6.90990488912553276999E-4, 2.54043763932544379113E-2,
                           2.82974860602568089943E-1, 1.41172597751831069617E0,
                           3.63800533345137075418E0,  5.03278880143316990390E0,
                           3.54771340985225096217E0,  9.99999999999999998740E-1};

// e^x / (2x) without overflowing e^x first (x up to about 716).
double HalfExpOverX(double x) {
  const double h = std::exp(0.5 * x);
  return h * (h / (2.0 * x));
}

}  // namespace

// ---- E_n ------------------------------------------------------------------------------

double ExponentialIntegralEn(double x, std::int32_t n) {
  if (std::isnan(x)) return x;
  if (n < 0 || x < 0.0) return DomainError();
  if (x == kInf) return 0.0;
  if (x == 0.0) return n <= 1 ? kInf : 1.0 / (n - 1.0);
  if (x > kMaxLog) return 0.0;
  if (n == 0) return std::exp(-x) / x;
  const double nn = n;
  if (n > 5000) {
    // Expansion for large n, uniform in x: e^-x / (x + n) times
    // 1 + n/(x+n)^2 + n(n - 2x)/(x+n)^4 + n(6x^2 - 8nx + n^2)/(x+n)^6
    //   + n(-24x^3 + 58nx^2 - 22n^2x + n^3)/(x+n)^8, below n^-5 relative.
    const double xn = x + nn;
    const double y = 1.0 / (xn * xn);
    const double t4 = nn * (((-24.0 * x + 58.0 * nn) * x - 22.0 * nn * nn) * x + nn * nn * nn);
    const double t3 = nn * ((6.0 * x - 8.0 * nn) * x + nn * nn);
    const double s = 1.0 + y * (nn + y * (nn * (nn - 2.0 * x) + y * (t3 + y * t4)));
    return std::exp(-x) / xn * s;
  }
  if (x <= 1.0) {
    // E_n(x) = (-x)^(n-1) / (n-1)! (ψ(n) - ln x) - Σ_{k != n-1} (-x)^k / (k! (k - n + 1)).
    double psi = -kEulerGamma;
    for (std::int32_t k = 1; k < n; ++k) psi += 1.0 / k;
    const double z = -x;
    double xk = 0.0, yk = 1.0, pk = 1.0 - nn;
    double ans = n == 1 ? 0.0 : 1.0 / pk;
    double t;
    do {
      xk += 1.0;
      yk *= z / xk;
      pk += 1.0;
      if (pk != 0.0) ans += yk / pk;
      t = ans != 0.0 ? std::fabs(yk / ans) : 1.0;
    } while (t > kEpsilon * 0.25);
    double lead = 1.0;  // (-x)^(n-1) / (n-1)!
    for (std::int32_t k = 1; k < n; ++k) lead *= z / k;
    return lead * (psi - std::log(x)) - ans;
  }
  // Continued fraction (modified Lentz).
  double b = x + nn;
  double c = 1e300;
  double d = 1.0 / b;
  double h = d;
  for (int i = 1; i < 100000; ++i) {
    const double an = -i * (nn - 1.0 + i);
    b += 2.0;
    d = 1.0 / (an * d + b);
    c = b + an / c;
    const double del = c * d;
    h *= del;
    if (std::fabs(del - 1.0) <= kEpsilon) break;
  }
  return h * std::exp(-x);
}

// ---- Ci and Si ----------------------------------------------------------------------------

void SineCosineIntegrals(double x, double* si, double* ci) {
  if (std::isnan(x)) {
    *si = *ci = x;
    return;
  }
  const bool negative = x < 0.0;
  x = std::fabs(x);
  if (x == 0.0) {
    *si = 0.0;
    *ci = -kInf;
    return;
  }
  if (x == kInf) {
    *si = negative ? -kHalfPi : kHalfPi;
    *ci = 0.0;
    return;
  }
  if (x <= 4.0) {
    const double z = x * x;
    const double s = x * Polevl(z, kSiN) / Polevl(z, kSiD);
    *si = negative ? -s : s;
    *ci = kEulerGamma + std::log(x) + z * Polevl(z, kCiN) / Polevl(z, kCiD);
    return;
  }
  const double s = std::sin(x);
  const double c = std::cos(x);
  const double z = 1.0 / (x * x);
  double f, g;
  if (x < 8.0) {
    f = Polevl(z, kF4N) / (x * P1evl(z, kF4D));
    g = z * Polevl(z, kG4N) / P1evl(z, kG4D);
  } else {
    f = Polevl(z, kF8N) / (x * P1evl(z, kF8D));
    g = z * Polevl(z, kG8N) / P1evl(z, kG8D);
  }
  const double si_abs = kHalfPi - f * c - g * s;
  *si = negative ? -si_abs : si_abs;
  *ci = f * s - g * c;
}

double SineIntegral(double x) {
  double si, ci;
  SineCosineIntegrals(x, &si, &ci);
  return si;
}

double CosineIntegral(double x) {
  double si, ci;
  SineCosineIntegrals(x, &si, &ci);
  return ci;
}

// ---- Shi and Chi -----------------------------------------------------------------------------

void HyperbolicSineCosineIntegrals(double x, double* shi, double* chi) {
  if (std::isnan(x)) {
    *shi = *chi = x;
    return;
  }
  const bool negative = x < 0.0;
  x = std::fabs(x);
  if (x == 0.0) {
    *shi = 0.0;
    *chi = -kInf;
    return;
  }
  if (x > 880.0) {
    *shi = negative ? -kInf : kInf;
    *chi = kInf;
    return;
  }
  double s, c;
  if (x <= 8.0) {
    // Shi = Σ x^(2k+1) / ((2k+1) (2k+1)!), Chi - γ - ln x = Σ x^(2k) / (2k (2k)!).
    const double z = x * x;
    double a = 1.0, k = 2.0;
    s = 1.0;
    c = 0.0;
    do {
      a *= z / k;
      c += a / k;
      k += 1.0;
      a /= k;
      s += a / k;
      k += 1.0;
    } while (std::fabs(a / s) > kEpsilon);
    s *= x;
  } else if (x <= 18.0) {
    const double a = (576.0 / x - 52.0) / 10.0;
    const double k = std::exp(x) / x;
    s = k * Chebyshev(a, kShi1);
    c = k * Chebyshev(a, kChi1);
  } else if (x <= 88.0) {
    const double a = (6336.0 / x - 212.0) / 70.0;
    const double k = std::exp(x) / x;
    s = k * Chebyshev(a, kShi2);
    c = k * Chebyshev(a, kChi2);
  } else {
    // Shi and Chi both equal Ei(x)/2 here (E1(x)/2 is below e^-176 of it):
    // e^x/(2x) Σ k!/x^k, summed while the terms fall.
    double term = 1.0, sum = 1.0;
    for (int k = 1; k < 200; ++k) {
      const double next = term * k / x;
      if (next >= term) break;
      term = next;
      sum += term;
      if (term < kEpsilon * 0.25 * sum) break;
    }
    const double v = HalfExpOverX(x) * sum;
    *shi = negative ? -v : v;
    *chi = v;
    return;
  }
  *shi = negative ? -s : s;
  *chi = kEulerGamma + std::log(x) + c;
}

double HyperbolicSineIntegral(double x) {
  if (std::isinf(x)) return x;
  double shi, chi;
  HyperbolicSineCosineIntegrals(x, &shi, &chi);
  return shi;
}

double HyperbolicCosineIntegral(double x) {
  double shi, chi;
  HyperbolicSineCosineIntegrals(x, &shi, &chi);
  return chi;
}

// ---- Fresnel --------------------------------------------------------------------------------

void FresnelIntegrals(double x, double* s_out, double* c_out) {
  if (std::isnan(x)) {
    *s_out = *c_out = x;
    return;
  }
  const double ax = std::fabs(x);
  const double x2 = ax * ax;
  double ss, cc;
  if (x2 < 2.5625) {
    const double t = x2 * x2;
    ss = ax * x2 * Polevl(t, kFresnelSN) / P1evl(t, kFresnelSD);
    cc = ax * Polevl(t, kFresnelCN) / Polevl(t, kFresnelCD);
  } else if (ax > 36974.0) {
    ss = cc = 0.5;
  } else {
    const double pix2 = kPi * x2;
    const double u = 1.0 / (pix2 * pix2);
    const double t = 1.0 / pix2;
    const double f = 1.0 - u * Polevl(u, kFresnelFN) / P1evl(u, kFresnelFD);
    const double g = t * Polevl(u, kFresnelGN) / P1evl(u, kFresnelGD);
    // sin and cos of (π/2) x^2 from x^2 = hi + lo exactly, hi/2 reduced
    // modulo 2 exactly: the phase keeps its accuracy for large x.
    double hi, lo;
    TwoProduct(ax, ax, &hi, &lo);
    const double half = std::fmod(0.5 * hi, 2.0) + 0.5 * lo;
    const double c = CosPi(half);
    const double s = SinPi(half);
    const double pix = kPi * ax;
    cc = 0.5 + (f * s - g * c) / pix;
    ss = 0.5 - (f * c + g * s) / pix;
  }
  if (x < 0.0) {
    cc = -cc;
    ss = -ss;
  }
  *s_out = ss;
  *c_out = cc;
}

// ---- Dawson --------------------------------------------------------------------------------

double DawsonIntegral(double x) {
  if (std::isnan(x)) return x;
  const double sign = x < 0.0 ? -1.0 : 1.0;
  const double ax = std::fabs(x);
  if (ax < 3.25) {
    const double z = ax * ax;
    return sign * ax * Polevl(z, kDawsonAN) / Polevl(z, kDawsonAD);
  }
  if (ax > 1e9) return sign * 0.5 / ax;  // also ±infinity: ±0
  const double z = 1.0 / (ax * ax);
  double y;
  if (ax < 6.25) {
    y = 1.0 / ax + z * Polevl(z, kDawsonBN) / (P1evl(z, kDawsonBD) * ax);
  } else {
    y = 1.0 / ax + z * Polevl(z, kDawsonCN) / (P1evl(z, kDawsonCD) * ax);
  }
  return sign * 0.5 * y;
}

// ---- Spence -------------------------------------------------------------------------------

double Dilogarithm(double x) {
  if (std::isnan(x)) return x;
  if (x < 0.0) return DomainError();
  if (x == 1.0) return 0.0;
  if (x == 0.0) return kPiSquaredOver6;
  if (x == kInf) return -kInf;
  int flag = 0;
  if (x > 2.0) {
    x = 1.0 / x;
    flag |= 2;
  }
  double w;
  if (x > 1.5) {
    w = 1.0 / x - 1.0;
    flag |= 2;
  } else if (x < 0.5) {
    w = -x;
    flag |= 1;
  } else {
    w = x - 1.0;
  }
  double y = -w * Polevl(w, kSpenceA) / Polevl(w, kSpenceB);
  if (flag & 1) y = kPiSquaredOver6 - std::log(x) * std::log1p(-x) - y;
  if (flag & 2) {
    const double z = std::log(x);
    y = -0.5 * z * z - y;
  }
  return y;
}

}  // namespace qm::special
