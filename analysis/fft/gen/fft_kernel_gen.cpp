// Generator of the fixed-radix DFT kernels of the FFT engine.
//
// For every radix of the engine's radix table it builds the DFT of that size
// as an expression graph (additions, subtractions, negations and products by
// constants), simplifies it while building (zero operands, sign folding,
// common subexpressions), and prints it as straight-line C++ on split
// real/imaginary arrays with the constants built in. Three kernel forms are
// written per radix:
//
//   ComplexFirst<r>   count independent DFTs of size r, strided input and
//                     output, the output in one or two levels (the leaves of
//                     the decimation-in-time driver);
//   ComplexTwiddle<r> a block of butterflies of one stage, in place: element
//                     k of butterfly j is multiplied by its twiddle factor
//                     from the stage tables, then the size-r DFT is applied;
//   RealFirst<r>      DFTs of size r of real data, written as half-complex
//                     blocks (only the graph nodes the half spectrum needs).
//
// The DFT of a prime size p uses the symmetric pairing of inputs k and p - k
// (4·((p-1)/2)² real products); sizes with coprime factors (10, 14, 18) are
// split by the prime-factor (Good-Thomas) index maps, which need no twiddle
// factors; powers of a prime by Cooley-Tukey (decimation in time) with the
// trivial twiddles (±1, ±i, (±1±i)/√2) folded into additions. The size-16
// and size-32 kernels are 4 DFTs of 4 or 8 and a combining pass with its
// twiddle constants.
//
// Usage: fft_kernel_gen <output.cpp> [avx2]
//        fft_kernel_gen <output.h> registry
// The avx2 set (namespace qm::fft::avx2, compiled for AVX2 with FMA) adds
// vector loops to the kernels: 4 independent leaf DFTs, or 4 adjacent
// butterflies of a stage, per vector. The registry is the header listing the
// radices and the table size, which the planner and the tests build on.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "frame/exact_trig.h"
#include "frame/math_constants.h"

namespace {

// The radices that get kernels, largest first: the one list of them (the
// registry header, the kernel tables and the planner's check derive from it).
const int kRadices[] = {43, 41, 37, 32, 31, 29, 19, 18, 17, 16, 14,
                        13, 11, 10, 9,  8,  7,  5,  4,  3,  2};

// "<prefix><k><suffix>", built by appending (a literal prepended to a
// temporary string draws a false -Wrestrict report from GCC 12 at -O3).
std::string Numbered(const char* prefix, int k, const char* suffix = "") {
  std::string s = prefix;
  s += std::to_string(k);
  s += suffix;
  return s;
}

// ---------------------------------------------------------------------------
// Expression graph.

struct Node {
  char op;  // '0' zero, 'L' load, '+', '-', 'n' negate, '*' constant times a
  int a, b;
  double c;
  std::string name;
};

class Graph {
 public:
  Graph() { nodes_.push_back({'0', -1, -1, 0.0, ""}); }
  static constexpr int kZero = 0;

  int Load(const std::string& name) { return Make('L', -1, -1, 0.0, name); }
  int Neg(int a) {
    if (a == kZero) return kZero;
    if (nodes_[a].op == 'n') return nodes_[a].a;
    return Make('n', a, -1, 0.0, "");
  }
  int Add(int a, int b) {
    if (a == kZero) return b;
    if (b == kZero) return a;
    if (IsNeg(a) && IsNeg(b)) return Neg(Add(nodes_[a].a, nodes_[b].a));
    if (IsNeg(b)) return Sub(a, nodes_[b].a);
    if (IsNeg(a)) return Sub(b, nodes_[a].a);
    if (a > b) std::swap(a, b);
    return Make('+', a, b, 0.0, "");
  }
  int Sub(int a, int b) {
    if (b == kZero) return a;
    if (a == kZero) return Neg(b);
    if (IsNeg(b)) return Add(a, nodes_[b].a);
    if (IsNeg(a)) return Neg(Add(nodes_[a].a, b));
    return Make('-', a, b, 0.0, "");
  }
  int Mul(double c, int a) {
    if (a == kZero || c == 0.0) return kZero;
    if (c == 1.0) return a;
    if (c == -1.0) return Neg(a);
    if (IsNeg(a)) return Neg(Mul(c, nodes_[a].a));
    if (c < 0) return Neg(Mul(-c, a));
    return Make('*', a, -1, c, "");
  }
  const Node& At(int i) const { return nodes_[i]; }
  int Size() const { return static_cast<int>(nodes_.size()); }

 private:
  bool IsNeg(int a) const { return nodes_[a].op == 'n'; }
  int Make(char op, int a, int b, double c, const std::string& name) {
    auto key = std::make_tuple(op, a, b, c, name);
    auto it = memo_.find(key);
    if (it != memo_.end()) return it->second;
    nodes_.push_back({op, a, b, c, name});
    int id = static_cast<int>(nodes_.size()) - 1;
    memo_[key] = id;
    return id;
  }
  std::vector<Node> nodes_;
  std::map<std::tuple<char, int, int, double, std::string>, int> memo_;
};

struct Cx {
  int re, im;
};

Cx Add(Graph& g, Cx a, Cx b) { return {g.Add(a.re, b.re), g.Add(a.im, b.im)}; }
Cx Sub(Graph& g, Cx a, Cx b) { return {g.Sub(a.re, b.re), g.Sub(a.im, b.im)}; }
Cx MinusI(Graph& g, Cx a) { return {a.im, g.Neg(a.re)}; }  // -i·a
Cx PlusI(Graph& g, Cx a) { return {g.Neg(a.im), a.re}; }   // +i·a

// cos and sin of 2π·e/n from the library's exact-angle routine (compiled
// into this program): symmetric angles give bit-identical constants.
void Root(long e, long n, double* c, double* s) { qm::CosSinTwoPiFraction(e, n, c, s); }

// x · e^(−2πi·e/n), with the trivial factors folded into additions.
Cx Twiddle(Graph& g, Cx x, long e, long n) {
  e %= n;
  if (e == 0) return x;
  const double h = qm::kSqrtHalf;
  if ((8 * e) % n == 0) {
    int o = static_cast<int>(8 * e / n);
    switch (o) {
      case 2:
        return MinusI(g, x);
      case 4:
        return {g.Neg(x.re), g.Neg(x.im)};
      case 6:
        return PlusI(g, x);
      case 1:
        return {g.Mul(h, g.Add(x.re, x.im)), g.Mul(h, g.Sub(x.im, x.re))};
      case 3:
        return {g.Mul(h, g.Sub(x.im, x.re)), g.Neg(g.Mul(h, g.Add(x.re, x.im)))};
      case 5:
        return {g.Neg(g.Mul(h, g.Add(x.re, x.im))), g.Mul(h, g.Sub(x.re, x.im))};
      case 7:
        return {g.Mul(h, g.Sub(x.re, x.im)), g.Mul(h, g.Add(x.re, x.im))};
      default:
        break;
    }
  }
  double c, s;
  Root(e, n, &c, &s);
  s = -s;  // e^(−iθ) = cos θ − i sin θ
  return {g.Sub(g.Mul(c, x.re), g.Mul(s, x.im)), g.Add(g.Mul(s, x.re), g.Mul(c, x.im))};
}

int SmallestFactor(int n) {
  for (int d = 2; d * d <= n; ++d)
    if (n % d == 0) return d;
  return n;
}

// Forward DFT of the inputs, X[k] = Σ x[j]·e^(−2πi·jk/n).
std::vector<Cx> Dft(Graph& g, const std::vector<Cx>& x) {
  const int n = static_cast<int>(x.size());
  if (n == 1) return x;
  if (n == 2) return {Add(g, x[0], x[1]), Sub(g, x[0], x[1])};
  if (n == 4) {
    Cx t0 = Add(g, x[0], x[2]), t1 = Sub(g, x[0], x[2]);
    Cx t2 = Add(g, x[1], x[3]), t3 = Sub(g, x[1], x[3]);
    return {Add(g, t0, t2), Add(g, t1, MinusI(g, t3)), Sub(g, t0, t2), Add(g, t1, PlusI(g, t3))};
  }
  const int p = SmallestFactor(n);
  if (p == n) {
    // Prime: pair inputs k and n-k.
    const int h = (n - 1) / 2;
    std::vector<Cx> a(h + 1), b(h + 1);
    Cx sum = x[0];
    for (int k = 1; k <= h; ++k) {
      a[k] = Add(g, x[k], x[n - k]);
      b[k] = Sub(g, x[k], x[n - k]);
      sum = Add(g, sum, a[k]);
    }
    std::vector<Cx> out(n);
    out[0] = sum;
    for (int j = 1; j <= h; ++j) {
      Cx t = x[0], u = {Graph::kZero, Graph::kZero};
      for (int k = 1; k <= h; ++k) {
        double c, s;
        Root(static_cast<long>(j) * k, n, &c, &s);
        t = {g.Add(t.re, g.Mul(c, a[k].re)), g.Add(t.im, g.Mul(c, a[k].im))};
        u = {g.Add(u.re, g.Mul(s, b[k].re)), g.Add(u.im, g.Mul(s, b[k].im))};
      }
      out[j] = Add(g, t, MinusI(g, u));
      out[n - j] = Add(g, t, PlusI(g, u));
    }
    return out;
  }
  // Coprime factors n1·n2 (10 = 2·5, 14 = 2·7, 18 = 2·9): the prime-factor
  // split. Input j = (n2·j1 + n1·j2) mod n and output k ≡ k1 (mod n1),
  // k ≡ k2 (mod n2) turn the DFT into n1 DFTs of size n2 and n2 of size n1
  // with no twiddle factors between them.
  int n1 = 1;
  while (n % (n1 * p) == 0) n1 *= p;
  const int n2 = n / n1;
  if (n2 > 1) {
    std::vector<std::vector<Cx>> inner(n1);
    for (int j1 = 0; j1 < n1; ++j1) {
      std::vector<Cx> part(n2);
      for (int j2 = 0; j2 < n2; ++j2) part[j2] = x[(n2 * j1 + n1 * j2) % n];
      inner[j1] = Dft(g, part);
    }
    std::vector<Cx> out(n);
    for (int k2 = 0; k2 < n2; ++k2) {
      std::vector<Cx> y(n1);
      for (int j1 = 0; j1 < n1; ++j1) y[j1] = inner[j1][k2];
      const std::vector<Cx> z = Dft(g, y);
      for (int k1 = 0; k1 < n1; ++k1) {
        int k = k2;
        while (k % n1 != k1) k += n2;
        out[k] = z[k1];
      }
    }
    return out;
  }
  // Composite: a = number of interleaved subsequences, each of length m
  // (16 and 32 as 4 DFTs of 4 and 8: of the splits tried for 32, 4·8 ran
  // the vector twiddle kernel fastest, 2·16 and 8·4 10–30 % slower).
  const int a = (n == 16 || n == 32) ? 4 : p;
  const int m = n / a;
  std::vector<std::vector<Cx>> sub(a);
  for (int s = 0; s < a; ++s) {
    std::vector<Cx> part(m);
    for (int q = 0; q < m; ++q) part[q] = x[s + a * q];
    sub[s] = Dft(g, part);
  }
  std::vector<Cx> out(n);
  for (int k2 = 0; k2 < m; ++k2) {
    std::vector<Cx> y(a);
    for (int s = 0; s < a; ++s) y[s] = Twiddle(g, sub[s][k2], static_cast<long>(s) * k2, n);
    std::vector<Cx> z = Dft(g, y);
    for (int k1 = 0; k1 < a; ++k1) out[k2 + m * k1] = z[k1];
  }
  return out;
}

// ---------------------------------------------------------------------------
// Printing.

struct Counts {
  int adds = 0, muls = 0, negs = 0;
};

std::string Literal(double c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", c);
  std::string s = buf;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

// How Emit prints loads and stores. Loads and stores are placed next to
// their first use and the definition of their value (not all at the top and
// bottom), which keeps the number of live values, and the spills, down.
struct EmitOptions {
  std::string type = "double";
  // Statement(s) declaring the load node `name`, printed before its first
  // use; null when the loads are declared by the caller.
  std::function<std::string(const std::string&)> loader;
  // Printed after the store of output k's part.
  std::function<std::string(int, int)> after;
  // The whole store statement(s) of output k's part holding `value`, in
  // place of "<head> = value;" (vector stores).
  std::function<std::string(int, int, const std::string&)> storer;
};

// Prints the statements computing `outputs` (reachable nodes only) and the
// stores; store(k, part) gives the statement head for output k's part
// (0 re, 1 im), "dst" in "dst = value;", or an empty string when that part
// is not wanted.
std::string Emit(const Graph& g, const std::vector<Cx>& outputs,
                 const std::function<std::string(int, int)>& store, const std::string& indent,
                 Counts* counts, const EmitOptions& opt = EmitOptions()) {
  std::vector<char> live(g.Size(), 0), loaded(g.Size(), 0);
  std::vector<std::vector<std::pair<int, int>>> storesOf(g.Size());
  std::vector<int> stack;
  for (size_t k = 0; k < outputs.size(); ++k) {
    for (int part = 0; part < 2; ++part) {
      if (store(static_cast<int>(k), part).empty()) continue;
      const int node = part ? outputs[k].im : outputs[k].re;
      stack.push_back(node);
      storesOf[node].push_back({static_cast<int>(k), part});
    }
  }
  while (!stack.empty()) {
    int i = stack.back();
    stack.pop_back();
    if (live[i]) continue;
    live[i] = 1;
    const Node& nd = g.At(i);
    if (nd.a >= 0) stack.push_back(nd.a);
    if (nd.b >= 0) stack.push_back(nd.b);
  }
  auto name = [&](int i) -> std::string {
    const Node& nd = g.At(i);
    if (nd.op == '0') return "0.0";
    if (nd.op == 'L') return nd.name;
    return Numbered("t", i);
  };
  std::ostringstream os;
  auto ensureLoaded = [&](int i) {
    if (i < 0 || g.At(i).op != 'L' || loaded[i]) return;
    loaded[i] = 1;
    if (opt.loader) os << opt.loader(g.At(i).name);
  };
  auto emitStores = [&](int i) {
    for (auto [k, part] : storesOf[i]) {
      if (opt.storer)
        os << opt.storer(k, part, name(i));
      else
        os << indent << store(k, part) << " = " << name(i) << ";\n";
      if (opt.after) os << opt.after(k, part);
    }
    storesOf[i].clear();
  };
  const std::string decl = indent + "const " + opt.type + " ";
  for (int i = 1; i < g.Size(); ++i) {
    if (!live[i]) continue;
    const Node& nd = g.At(i);
    if (nd.op == 'L') continue;
    ensureLoaded(nd.a);
    ensureLoaded(nd.b);
    switch (nd.op) {
      case '+':
        os << decl << name(i) << " = " << name(nd.a) << " + " << name(nd.b) << ";\n";
        counts->adds++;
        break;
      case '-':
        os << decl << name(i) << " = " << name(nd.a) << " - " << name(nd.b) << ";\n";
        counts->adds++;
        break;
      case 'n':
        os << decl << name(i) << " = -" << name(nd.a) << ";\n";
        counts->negs++;
        break;
      case '*':
        os << decl << name(i) << " = " << Literal(nd.c) << " * " << name(nd.a) << ";\n";
        counts->muls++;
        break;
      default:
        break;
    }
    emitStores(i);
  }
  // Outputs that are inputs or zero.
  for (int i = 0; i < g.Size(); ++i) {
    if (storesOf[i].empty()) continue;
    ensureLoaded(i);
    emitStores(i);
  }
  return os.str();
}

// Splits a load name "x<k>r", "x<k>i" or "x<k>" into k and the part suffix.
int LoadIndex(const std::string& name, std::string* part) {
  size_t e = 1;
  while (e < name.size() && name[e] >= '0' && name[e] <= '9') ++e;
  *part = name.substr(e);
  return std::stoi(name.substr(1, e - 1));
}

std::string Idx(int k, const std::string& stride) {
  if (k == 0) return "0";
  if (k == 1) return stride;
  return std::to_string(k) + " * " + stride;
}

// Radices from which the vector loops address their rows through a table of
// offsets in memory, `volatile` so that it stays there: with runtime strides
// the 2·r row addresses of such a body overflow the general registers, and
// the compiler then recomputes and spills them in every iteration, which
// cost the radix-32 kernels 30 % against a load of the offset per row.
constexpr int kRowTableRadixMin = 8;

// "<name>[k]" when the rows go through the table `name`, else k·stride.
std::string RowOffset(int k, const std::string& table, const std::string& stride) {
  if (k == 0) return "0";
  return table.empty() ? Idx(k, stride) : Numbered((table + "[").c_str(), k, "]");
}

// Declares the table `name` of the offsets k·stride, k < count.
std::string RowTable(const std::string& name, int count, const std::string& stride,
                     const std::string& indent) {
  const std::string n = std::to_string(count);
  return indent + "volatile std::ptrdiff_t " + name + "[" + n + "];\n" + indent +
         "for (int k = 0; k < " + n + "; ++k) " + name + "[k] = k * " + stride + ";\n";
}

std::vector<Cx> ComplexInputs(Graph& g, int r) {
  std::vector<Cx> x(r);
  for (int k = 0; k < r; ++k) x[k] = {g.Load(Numbered("x", k, "r")), g.Load(Numbered("x", k, "i"))};
  return x;
}

// Loader printing "const <type> x<k><part> = <array><part>[<index of k>];".
std::function<std::string(const std::string&)> ArrayLoader(
    const std::string& indent, const std::string& re, const std::string& im,
    const std::function<std::string(int)>& at) {
  return [=](const std::string& name) {
    std::string part;
    const int k = LoadIndex(name, &part);
    return indent + "const double " + name + " = " + (part == "i" ? im : re) + "[" + at(k) + "];\n";
  };
}

// Options of one kernel file: the portable set is scalar; the vector set
// (compiled for AVX2 with FMA) adds loops that run 4 (or 2) independent DFTs
// at once, one per vector lane, on unaligned vector loads of adjacent data.
struct Target {
  bool vector = false;
};

std::string Plus(const std::string& base, const std::string& offset) {
  return offset == "0" ? base : base + " + " + offset;
}

// How a vector body reads input element k and writes output bin k.
struct VectorIo {
  std::string type;  // V4 or V2
  // Statements declaring <name>r and <name>i as input element k.
  std::function<std::string(int k, const std::string& name, const std::string& indent)> load;
  // Statements writing `value` as part `part` (0 re, 1 im) of output bin k.
  std::function<std::string(int k, int part, const std::string& value, const std::string& indent)>
      store;
};

// The DFT of size r on vectors, straight-line, through the loads and stores
// of `io`.
std::string VectorDft(int r, const VectorIo& io, const std::string& indent) {
  Graph g;
  std::vector<Cx> out = Dft(g, ComplexInputs(g, r));
  std::vector<char> loaded(r, 0);
  EmitOptions opt;
  opt.type = io.type;
  opt.loader = [&](const std::string& name) -> std::string {
    std::string part;
    const int k = LoadIndex(name, &part);
    if (loaded[k]) return "";
    loaded[k] = 1;
    return io.load(k, Numbered("x", k), indent);
  };
  opt.storer = [&](int k, int part, const std::string& value) {
    return io.store(k, part, value, indent);
  };
  Counts c;
  return Emit(
      g, out, [](int, int) { return std::string("y"); }, indent, &c, opt);
}

// One group of W leaf DFTs of size r, lane q being DFT v + q (adjacent
// inputs, ivs = 1): element j of the W DFTs is one vector load, and the
// outputs go out through W×W transposes (os = 1), bins k … k+W−1 of DFT
// v + q to yr + off[q] + k. Bins past the last full group go lane by lane.
// `rows` names the table of the input offsets (empty: k·is).
std::string VectorFirstBody(int r, int W, const std::string& rows = "") {
  const std::string V = Numbered("V", W), w = std::to_string(W);
  VectorIo io;
  io.type = V;
  io.load = [=](int k, const std::string& name, const std::string& in) {
    const std::string at = RowOffset(k, rows, "is");
    return in + "const " + V + " " + name + "r = Load" + w + "(" + Plus("xr", at) + "), " + name +
           "i = Load" + w + "(" + Plus("xi", at) + ");\n";
  };
  // Bins k … k+W−1 of the W DFTs go out together, once all are computed.
  std::vector<std::vector<std::string>> pending(2, std::vector<std::string>(r));
  io.store = [&](int k, int part, const std::string& value, const std::string& in) -> std::string {
    const std::string y = part ? "yi" : "yr";
    const int first = k / W * W;
    if (first + W > r)
      return in + "StoreLanes" + w + "(" + Plus(y, std::to_string(k)) + ", off, " + value + ");\n";
    pending[part][k] = value;
    std::string args;
    for (int q = first; q < first + W; ++q) {
      if (pending[part][q].empty()) return "";
      args += ", " + pending[part][q];
    }
    return in + "StoreTransposed" + w + "(" + Plus(y, std::to_string(first)) + ", off" + args +
           ");\n";
  };
  return VectorDft(r, io, "      ");
}

// One DFT of size r = 4·b (b a multiple of 4) on unit-stride data, vectorised
// within the DFT: with j = j1 + b·j2 and k = k2 + 4·k1, the b DFTs of size 4
// over j2 run with lane j1 (adjacent inputs), their outputs are multiplied
// by w_r^(j1·k2), 4×4 transposes put k2 in the lanes, and the 4 DFTs of size
// b over j1 give bins k2 + 4·k1 as adjacent lanes (one store per k1).
// `lane` ≥ 0: the input is two DFTs' elements interleaved (is = 2), and this
// one reads DFT `lane`'s. `butterfly`: this is the second DFT of a radix-2
// stage over the two; bin k, times w^k = twc[k − 1] + i·tws[k − 1], is
// combined with bin k of the first (at zr, zi) into zr/zi (sum) and yr/yi
// (difference).
std::string VectorSingleBody(int r, int lane = -1, bool butterfly = false) {
  const int b = r / 4;
  const std::string in = "    ";
  std::ostringstream os;
  auto a = [](int q, int k2, const char* part) {
    std::string name = "a";
    name += std::to_string(q);
    name += '_';
    name += std::to_string(k2);
    return name += part;
  };
  for (int q = 0; q < b / 4; ++q) {
    os << in << "V4";
    for (int k2 = 0; k2 < 4; ++k2)
      os << (k2 ? ", " : " ") << a(q, k2, "r") << ", " << a(q, k2, "i");
    os << ";\n";
    VectorIo io;
    io.type = "V4";
    io.load = [=](int k, const std::string& name, const std::string& ind) {
      const int e = b * k + 4 * q;
      if (lane >= 0) {
        const std::string at = std::to_string(2 * e), load = Numbered("LoadInterleaved4<", lane, ">(");
        return ind + "const V4 " + name + "r = " + load + Plus("xr", at) + "), " + name +
               "i = " + load + Plus("xi", at) + ");\n";
      }
      const std::string at = std::to_string(e);
      return ind + "const V4 " + name + "r = Load4(" + Plus("xr", at) + "), " + name +
             "i = Load4(" + Plus("xi", at) + ");\n";
    };
    io.store = [=](int k, int part, const std::string& value, const std::string& ind) {
      return ind + a(q, k, part ? "i" : "r") + " = " + value + ";\n";
    };
    os << in << "{\n" << VectorDft(4, io, in + "  ") << in << "}\n";
    for (int k2 = 1; k2 < 4; ++k2) {
      std::string c = "_mm256_setr_pd(", sn = "_mm256_setr_pd(";
      for (int lane = 0; lane < 4; ++lane) {
        double cv, sv;
        Root(static_cast<long>(4 * q + lane) * k2, r, &cv, &sv);
        if (lane) c += ", ";
        c += Literal(cv);
        if (lane) sn += ", ";
        sn += Literal(-sv);
      }
      const std::string ar = a(q, k2, "r"), ai = a(q, k2, "i");
      os << in << "{\n"
         << in << "  const V4 c = " << c << "), s = " << sn << ");\n"
         << in << "  const V4 tr = " << ar << " * c - " << ai << " * s;\n"
         << in << "  " << ai << " = " << ar << " * s + " << ai << " * c;\n"
         << in << "  " << ar << " = tr;\n"
         << in << "}\n";
    }
    for (const char* part : {"r", "i"})
      os << in << "Transpose4(" << a(q, 0, part) << ", " << a(q, 1, part) << ", " << a(q, 2, part)
         << ", " << a(q, 3, part) << ");\n";
  }
  VectorIo io;
  io.type = "V4";
  io.load = [=](int j1, const std::string& name, const std::string& ind) {
    return ind + "const V4 " + name + "r = " + a(j1 / 4, j1 % 4, "r") + ", " + name +
           "i = " + a(j1 / 4, j1 % 4, "i") + ";\n";
  };
  std::vector<std::string> pending(2 * b);
  io.store = [&pending, butterfly](int k1, int part, const std::string& value,
                                   const std::string& ind) -> std::string {
    const std::string at = std::to_string(4 * k1);
    if (!butterfly) return ind + "Store4(" + Plus(part ? "yi" : "yr", at) + ", " + value + ");\n";
    pending[2 * k1 + part] = value;
    const std::string &vr = pending[2 * k1], &vi = pending[2 * k1 + 1];
    if (vr.empty() || vi.empty()) return "";
    const std::string row = std::to_string(4 * k1 - 1);
    const std::string c = k1 ? "Load4(twc + " + row + ")" : "HeadRow4(twc, 1.0)";
    const std::string sn = k1 ? "Load4(tws + " + row + ")" : "HeadRow4(tws, 0.0)";
    return ind + "{\n" + ind + "  const V4 c = " + c + ", s = " + sn + ";\n" + ind +
           "  const V4 tr = " + vr + " * c - " + vi + " * s, ti = " + vr + " * s + " + vi +
           " * c;\n" + ind + "  const V4 ar = Load4(zr + " + at + "), ai = Load4(zi + " + at +
           ");\n" + ind + "  Store4(zr + " + at + ", ar + tr);\n" + ind + "  Store4(zi + " + at +
           ", ai + ti);\n" + ind + "  Store4(yr + " + at + ", ar - tr);\n" + ind +
           "  Store4(yi + " + at + ", ai - ti);\n" + ind + "}\n";
  };
  os << in << "{\n" << VectorDft(b, io, in + "  ") << in << "}\n";
  return os.str();
}

// The DFT of size R·r (R and r multiples of 4) of unit-stride data, for a
// plan of factors R, r: the R DFTs of size r over x[R·j + v] run four at a
// time, lane q being DFT v = 4p + q, so that element j of the four is one
// vector load. The first R/4 − 1 passes write their bins to y[v·r + k]
// through 4×4 transposes; in the last, each group of bins k … k+3, once
// computed, is transposed to put k in the lanes and the stage's butterflies
// k … k+3 run on it and on the earlier passes' bins read back: element v
// times w^(v·k) (row v − 1 of twc, tws; w^0 = 1 at k = 0), then the DFT of
// size R over v into y[k + q·r].
std::string VectorFusedBody(int r, int R) {
  std::ostringstream out;
  for (int p = 0; p < R / 4; ++p) {
    const bool last = p == R / 4 - 1;
    VectorIo io;
    io.type = "V4";
    io.load = [R, p](int j, const std::string& name, const std::string& in) {
      const std::string at = std::to_string(R * j + 4 * p);
      std::ostringstream os;
      os << in << "const V4 " << name << "r = Load4(" << Plus("xr", at) << "), " << name
         << "i = Load4(" << Plus("xi", at) << ");\n";
      return os.str();
    };
    std::vector<std::string> pending(2 * r);
    io.store = [&pending, r, R, p, last](int k, int part, const std::string& value,
                                         const std::string& in) -> std::string {
      pending[2 * k + part] = value;
      const int first = k / 4 * 4;
      for (int e = 2 * first; e < 2 * first + 8; ++e)
        if (pending[e].empty()) return "";
      // Bins first … first+3 of DFTs 4p … 4p+3, as b<v><part> with k in the lanes.
      std::ostringstream os;
      os << in << "{\n";
      for (int h = 0; h < 2; ++h) {
        const char* part = h ? "i" : "r";
        os << in << "  V4";
        for (int q = 0; q < 4; ++q)
          os << (q ? ", b" : " b") << 4 * p + q << part << " = " << pending[2 * (first + q) + h];
        os << ";\n" << in << "  Transpose4(";
        for (int q = 0; q < 4; ++q) os << (q ? ", b" : "b") << 4 * p + q << part;
        os << ");\n";
      }
      if (!last) {
        for (int q = 0; q < 4; ++q) {
          const std::string at = std::to_string((4 * p + q) * r + first);
          os << in << "  Store4(" << Plus("yr", at) << ", b" << 4 * p + q << "r);\n"
             << in << "  Store4(" << Plus("yi", at) << ", b" << 4 * p + q << "i);\n";
        }
        os << in << "}\n";
        return os.str();
      }
      VectorIo stage;
      stage.type = "V4";
      stage.load = [r, R, first](int v, const std::string& name, const std::string& ind) {
        std::ostringstream ls;
        const std::string b = Numbered("b", v);
        if (v < R - 4) {
          const std::string at = std::to_string(v * r + first);
          ls << ind << "const V4 " << b << "r = Load4(" << Plus("yr", at) << "), " << b
             << "i = Load4(" << Plus("yi", at) << ");\n";
        }
        if (v == 0) {
          ls << ind << "const V4 " << name << "r = b0r, " << name << "i = b0i;\n";
          return ls.str();
        }
        const std::string row = std::to_string((v - 1) * (r - 1));
        const std::string at = std::to_string((v - 1) * (r - 1) + first - 1);
        ls << ind << "const V4 c" << v << " = "
           << (first ? "Load4(twc + " + at + ")" : "HeadRow4(" + Plus("twc", row) + ", 1.0)")
           << ", s" << v << " = "
           << (first ? "Load4(tws + " + at + ")" : "HeadRow4(" + Plus("tws", row) + ", 0.0)")
           << ";\n"
           << ind << "const V4 " << name << "r = " << b << "r * c" << v << " - " << b << "i * s"
           << v << ", " << name << "i = " << b << "r * s" << v << " + " << b << "i * c" << v
           << ";\n";
        return ls.str();
      };
      stage.store = [r, first](int q, int h, const std::string& v, const std::string& ind) {
        const std::string at = std::to_string(first + q * r);
        return ind + "Store4(" + Plus(h ? "yi" : "yr", at) + ", " + v + ");\n";
      };
      os << VectorDft(R, stage, in + "  ") << in << "}\n";
      return os.str();
    };
    out << "  {\n" << VectorDft(r, io, "    ") << "  }\n";
  }
  return out.str();
}

std::string ComplexFirst(int r, const Target& target, std::string* note) {
  Graph g;
  std::vector<Cx> out = Dft(g, ComplexInputs(g, r));
  Counts c;
  EmitOptions opt;
  opt.loader = ArrayLoader("    ", "xr", "xi", [](int k) { return Idx(k, "is"); });
  std::string body = Emit(
      g, out,
      [&](int k, int part) { return std::string(part ? "yi[" : "yr[") + Idx(k, "os") + "]"; },
      "    ", &c, opt);
  std::ostringstream os;
  const bool single = target.vector && r % 16 == 0;
  const std::string fused =
      "(const double* __restrict xr, const double* __restrict xi,\n"
      "    double* __restrict yr, double* __restrict yi, const double* __restrict twc,\n"
      "    const double* __restrict tws) {\n";
  if (single)
    // Apart from the batched loops, so that it does not pay their frame (the
    // offset tables, the saved registers): 20 % of a single radix-32 DFT.
    os << "// One DFT of size " << r << " on unit-stride data, vectorised within the DFT.\n"
       << "[[gnu::noinline]] void ComplexFirst" << r
       << "Single(const double* __restrict xr, const double* __restrict xi,\n"
       << "    double* __restrict yr, double* __restrict yi) {\n"
       << VectorSingleBody(r) << "}\n\n"
       // The two leaves of n = 2r (inputs interleaved, is = 2): the half of a
       // radix-32 leaf of two DFTs one vector lane each cost.
       << "// Two DFTs of size " << r << " of interleaved inputs (is = 2), the second to y + o1.\n"
       << "[[gnu::noinline]] void ComplexFirst" << r
       << "Pair(const double* __restrict xr, const double* __restrict xi,\n"
       << "    double* __restrict o_r, double* __restrict o_i, std::ptrdiff_t o1) {\n"
       << "  {\n    double* yr = o_r;\n    double* yi = o_i;\n"
       << VectorSingleBody(r, 0) << "  }\n"
       << "  {\n    double* yr = o_r + o1;\n    double* yi = o_i + o1;\n"
       << VectorSingleBody(r, 1) << "  }\n}\n\n"
       // The whole transform of n = 2r (factors 2, r): the radix-2 stage runs
       // on the second DFT's bins as they are computed.
       << "// The DFT of size " << 2 * r << " of unit-stride data: two DFTs of size " << r
       << " over the\n// even and odd elements and the radix-2 stage with the twiddle rows twc, tws.\n"
       << "void ComplexPair" << r
       << "(const double* __restrict xr, const double* __restrict xi,\n"
       << "    double* __restrict o_r, double* __restrict o_i, const double* __restrict twc,\n"
       << "    const double* __restrict tws) {\n"
       << "  double* zr = o_r;\n  double* zi = o_i;\n"
       << "  {\n    double* yr = o_r;\n    double* yi = o_i;\n"
       << VectorSingleBody(r, 0) << "  }\n"
       << "  {\n    double* yr = o_r + " << r << ";\n    double* yi = o_i + " << r << ";\n"
       << VectorSingleBody(r, 1, true) << "  }\n}\n\n"
       // The whole transform of n = 4r (factors 4, r): the radix-4 stage runs
       // on each group of four bins of the four DFTs as they are computed.
       << "// The DFT of size " << 4 * r << " of unit-stride data: four DFTs of size " << r
       << ", one per vector lane,\n// over the elements of each residue mod 4, and the radix-4 "
          "stage with the twiddle rows twc, tws.\n"
       << "void ComplexQuad" << r << fused << VectorFusedBody(r, 4) << "}\n\n"
       << "// The same for the DFT of size " << 8 * r << ": two passes of four DFTs of size " << r
       << ", the first\n// stored, and the radix-8 stage.\n"
       << "void ComplexOctet" << r << fused << VectorFusedBody(r, 8) << "}\n\n";
  os << "// Complex DFT of size " << r << ": " << c.adds << " additions, " << c.muls
     << " multiplications, " << c.negs << " negations.\n";
  const std::string params =
      "(const double* __restrict ir, const double* __restrict ii, double* __restrict o_r,\n"
      "    double* __restrict o_i, std::ptrdiff_t is, std::ptrdiff_t os, std::ptrdiff_t count,\n"
      "    std::ptrdiff_t ivs, std::ptrdiff_t ovs, std::ptrdiff_t group, std::ptrdiff_t gvs)";
  // With the single and pair paths, the batched loops are a function of their
  // own behind a small dispatcher, whose frame those paths then do not pay.
  os << (single ? "[[gnu::noinline]] void ComplexFirst" : "void ComplexFirst") << r
     << (single ? "Batched" : "") << params << " {\n"
     << "  std::ptrdiff_t v = 0;\n";
  if (target.vector) {
    os << "  if (ivs == 1 && os == 1) {\n"
       << "    std::ptrdiff_t gb = 0, gj = 0;  // DFT v is gj·group + gb\n"
       << "    std::ptrdiff_t off[4];\n"
       << "    double* yr = o_r;\n    double* yi = o_i;\n";
    const bool table = r >= kRowTableRadixMin;
    if (table) os << "    if (count >= 4) {\n" << RowTable("rows", r, "is", "    ");
    os << "    for (; v + 4 <= count; v += 4) {\n"
       << "      const double* xr = ir + v;\n      const double* xi = ii + v;\n"
       << "      LaneOffsets(off, 4, &gb, &gj, group, ovs, gvs);\n"
       << VectorFirstBody(r, 4, table ? "rows" : "") << "    }\n";
    if (table) os << "    }\n";
    os
       << "    if (v + 2 <= count) {\n"
       << "      const double* xr = ir + v;\n      const double* xi = ii + v;\n"
       << "      LaneOffsets(off, 2, &gb, &gj, group, ovs, gvs);\n"
       << VectorFirstBody(r, 2) << "      v += 2;\n    }\n  }\n";
  }
  // Two copies of the scalar loop: with unit input distance between the DFTs
  // the loads are contiguous across v and vectorise as such.
  for (int unit = 1; unit >= 0; --unit) {
    os << (unit ? "  if (ivs == 1) {\n" : "  } else {\n")
       << "#pragma GCC ivdep\n  for (; v < count; ++v) {\n"
       << (unit ? "    const double* xr = ir + v;\n    const double* xi = ii + v;\n"
                : "    const double* xr = ir + v * ivs;\n    const double* xi = ii + v * ivs;\n")
       << "    const std::ptrdiff_t o = group >= count ? v * ovs : v % group * ovs + v / group * "
          "gvs;\n"
       << "    double* yr = o_r + o;\n    double* yi = o_i + o;\n";
    os << body << "  }\n";
  }
  os << "  }\n}\n\n";
  if (single)
    os << "void ComplexFirst" << r << params << " {\n"
       << "  if (count == 1 && is == 1 && os == 1) return ComplexFirst" << r
       << "Single(ir, ii, o_r, o_i);\n"
       << "  if (count == 2 && is == 2 && ivs == 1 && os == 1)\n"
       << "    return ComplexFirst" << r << "Pair(ir, ii, o_r, o_i, group >= 2 ? ovs : gvs);\n"
       << "  ComplexFirst" << r << "Batched(ir, ii, o_r, o_i, is, os, count, ivs, ovs, group, gvs);\n"
       << "}\n\n";
  *note = std::to_string(c.adds) + "+" + std::to_string(c.muls) + "*";
  return os.str();
}

// One loop of twiddled butterflies; `at(k)` is the index of element k. Each
// input is loaded and multiplied by its twiddle factor before its first use.
std::string TwiddleLoopBody(int r, const std::function<std::string(int)>& at,
                            const std::string& indent, Counts* c) {
  Graph g;
  std::vector<Cx> out = Dft(g, ComplexInputs(g, r));
  std::vector<char> loaded(r, 0);
  EmitOptions opt;
  opt.loader = [&, indent](const std::string& name) -> std::string {
    std::string part;
    const int k = LoadIndex(name, &part);
    if (loaded[k]) return "";
    loaded[k] = 1;
    if (k == 0) return indent + "const double x0r = re[" + at(0) + "], x0i = im[" + at(0) + "];\n";
    const std::string K = std::to_string(k), t = Idx(k - 1, "ts");
    return indent + "const double a" + K + "r = re[" + at(k) + "], a" + K + "i = im[" + at(k) +
           "];\n" + indent + "const double c" + K + " = tc[" + t + "], s" + K + " = tsn[" + t +
           "];\n" + indent + "const double x" + K + "r = a" + K + "r * c" + K + " - a" + K +
           "i * s" + K + ", x" + K + "i = a" + K + "r * s" + K + " + a" + K + "i * c" + K + ";\n";
  };
  return Emit(
      g, out, [&](int k, int part) { return std::string(part ? "im[" : "re[") + at(k) + "]"; },
      indent, c, opt);
}

// The same for W = 4 (or 2) adjacent butterflies j … j+W−1 (s = 1, data at
// q = j − jb), one per lane. The twiddle rows are ts = m − 1 apart; in the
// head group (j = 0, W = 4) lane 0 has the unit factor and lanes 1 … 3 the
// row's first three entries.
// With `tables`, the row offsets come from the tables rows (k·d) and twrows
// ((k − 1)·ts).
std::string VectorTwiddleBody(int r, bool head, int W = 4, bool tables = false) {
  const std::string V = Numbered("V", W), w = std::to_string(W);
  const std::string rows = tables ? "rows" : "", twrows = tables ? "twrows" : "";
  auto at = [rows](int k) {
    return k == 0 ? std::string("q") : "q + " + RowOffset(k, rows, "d");
  };
  VectorIo io;
  io.type = V;
  io.load = [&, head](int k, const std::string& x, const std::string& in) -> std::string {
    if (k == 0)
      return in + "const " + V + " " + x + "r = Load" + w + "(re + q), " + x + "i = Load" + w +
             "(im + q);\n";
    const std::string K = std::to_string(k), t = RowOffset(k - 1, twrows, "ts");
    const std::string cos = head ? "HeadRow4(" + Plus("twc", t) + ", 1.0)"
                                 : "Load" + w + "(" + Plus("tc", t) + ")";
    const std::string sin = head ? "HeadRow4(" + Plus("tws", t) + ", 0.0)"
                                 : "Load" + w + "(" + Plus("tsn", t) + ")";
    return in + "const " + V + " a" + K + "r = Load" + w + "(re + " + at(k) + "), a" + K +
           "i = Load" + w + "(im + " + at(k) + ");\n" + in + "const " + V + " c" + K + " = " +
           cos + ", s" + K + " = " + sin + ";\n" + in + "const " + V + " " + x + "r = a" + K +
           "r * c" + K + " - a" + K + "i * s" + K + ", " + x + "i = a" + K + "r * s" + K +
           " + a" + K + "i * c" + K + ";\n";
  };
  io.store = [&](int k, int part, const std::string& value, const std::string& in) {
    return in + "Store" + w + "(" + (part ? "im + " : "re + ") + at(k) + ", " + value + ");\n";
  };
  return VectorDft(r, io, "      ");
}

std::string ComplexTwiddle(int r, const Target& target) {
  std::ostringstream os;
  Counts c0, c1, c2;
  // Butterfly 0 has unit twiddles.
  Graph g;
  std::vector<Cx> out = Dft(g, ComplexInputs(g, r));
  EmitOptions opt;
  opt.loader = ArrayLoader("    ", "re", "im", [](int k) { return Idx(k, "d"); });
  std::string first = Emit(
      g, out,
      [&](int k, int part) { return std::string(part ? "im[" : "re[") + Idx(k, "d") + "]"; },
      "    ", &c0, opt);
  os << "// Butterflies jb … je−1 of a twiddle stage of radix " << r << " in place.\n";
  os << "void ComplexTwiddle" << r
     << "(double* __restrict re, double* __restrict im, const double* __restrict twc,\n"
     << "    const double* __restrict tws, std::ptrdiff_t m, std::ptrdiff_t s, std::ptrdiff_t jb,\n"
     << "    std::ptrdiff_t je, std::ptrdiff_t d) {\n"
     << "  [[maybe_unused]] const std::ptrdiff_t ts = m - 1;\n"
     << "  std::ptrdiff_t j = jb;\n";
  if (target.vector) {
    // Groups of 4 butterflies; the rows must hold 4 entries for HeadRow4.
    const bool tables = r >= kRowTableRadixMin;
    os << "  if (s == 1 && m >= 8) {\n";
    if (tables) os << RowTable("rows", r, "d", "    ") << RowTable("twrows", r - 1, "ts", "    ");
    os << "    if (j == 0 && je >= 4) {\n      const std::ptrdiff_t q = 0;\n"
       << VectorTwiddleBody(r, true, 4, tables) << "      j = 4;\n    }\n"
       << "    for (; j != 0 && j + 4 <= je; j += 4) {\n"
       << "      const std::ptrdiff_t q = j - jb;\n"
       << "      const double* tc = twc + (j - 1);\n"
       << "      const double* tsn = tws + (j - 1);\n"
       << VectorTwiddleBody(r, false, 4, tables) << "    }\n"
       // Two left over (rows of m = 4k + 2, such as the m = 10 of 10·10·…):
       // one vector of 2 rather than two scalar butterflies.
       << "    if (j != 0 && j + 2 <= je) {\n"
       << "      const std::ptrdiff_t q = j - jb;\n"
       << "      const double* tc = twc + (j - 1);\n"
       << "      const double* tsn = tws + (j - 1);\n"
       << VectorTwiddleBody(r, false, 2) << "      j += 2;\n    }\n  }\n";
  }
  os << "  if (j == 0 && je > 0) {\n";
  os << first << "    j = 1;\n  }\n";
  os << "  if (s == 1) {\n#pragma GCC ivdep\n    for (; j < je; ++j) {\n"
     << "      const std::ptrdiff_t q = j - jb;\n"
     << "      const double* tc = twc + (j - 1);\n      const double* tsn = tws + (j - 1);\n";
  os << TwiddleLoopBody(
      r, [](int k) { return k == 0 ? std::string("q") : "q + " + Idx(k, "d"); }, "      ", &c1);
  os << "    }\n  } else {\n"
     << "    for (; j < je; ++j) {\n"
     << "      const double* tc = twc + (j - 1);\n      const double* tsn = tws + (j - 1);\n"
     << "      const std::ptrdiff_t b = (j - jb) * s;\n";
  os << TwiddleLoopBody(
      r, [](int k) { return k == 0 ? std::string("b") : "b + " + Idx(k, "d"); }, "      ", &c2);
  os << "    }\n  }\n}\n\n";
  return os.str();
}

std::string RealFirst(int r, std::string* note) {
  Graph g;
  std::vector<Cx> x(r);
  for (int k = 0; k < r; ++k) x[k] = {g.Load(Numbered("x", k)), Graph::kZero};
  std::vector<Cx> out = Dft(g, x);
  Counts c;
  EmitOptions opt;
  opt.loader = ArrayLoader("    ", "x", "x", [](int k) { return Idx(k, "is"); });
  std::string body = Emit(
      g, out,
      [&](int k, int part) -> std::string {
        if (part == 0 && 2 * k <= r) return "y[" + Idx(k, "os") + "]";
        if (part == 1 && k >= 1 && 2 * k < r) return "y[" + Idx(r - k, "os") + "]";
        return "";
      },
      "    ", &c, opt);
  std::ostringstream os;
  os << "// Real-input DFT of size " << r << " into a half-complex block: " << c.adds
     << " additions, " << c.muls << " multiplications, " << c.negs << " negations.\n";
  os << "void RealFirst" << r
     << "(const double* __restrict in, double* __restrict out, std::ptrdiff_t is,\n"
     << "    std::ptrdiff_t os, std::ptrdiff_t count, std::ptrdiff_t ivs, std::ptrdiff_t ovs) {\n"
     << "#pragma GCC ivdep\n  for (std::ptrdiff_t v = 0; v < count; ++v) {\n"
     << "    const double* x = in + v * ivs;\n    double* y = out + v * ovs;\n";
  os << body << "  }\n}\n\n";
  *note = std::to_string(c.adds) + "+" + std::to_string(c.muls) + "*";
  return os.str();
}

// Helpers of the vector loops, printed at the top of the vector set.
const char kVectorPrelude[] =
    R"(// Vectors of 4 and 2 doubles; in the vector loops lane q holds DFT (or
// butterfly) q of a group of adjacent ones.
using V4 = __m256d;
using V2 = __m128d;
inline V4 Load4(const double* p) { return _mm256_loadu_pd(p); }
// Elements e … e+3 of DFT D (0 or 1) of two whose elements are interleaved,
// from p = x + 2e.
template <int D>
inline V4 LoadInterleaved4(const double* p) {
  const V4 lo = _mm256_loadu_pd(p), hi = _mm256_loadu_pd(p + 4);
  const V4 t = D ? _mm256_unpackhi_pd(lo, hi) : _mm256_unpacklo_pd(lo, hi);
  return _mm256_permute4x64_pd(t, 0xD8);  // lanes 0, 2, 1, 3
}
inline V2 Load2(const double* p) { return _mm_loadu_pd(p); }
inline void Store4(double* p, V4 x) { _mm256_storeu_pd(p, x); }
inline void Store2(double* p, V2 x) { _mm_storeu_pd(p, x); }

// (first, p[0], p[1], p[2]): the twiddle factors of butterflies 0 … 3 from
// a row that starts at butterfly 1 (butterfly 0 has the unit factor).
inline V4 HeadRow4(const double* p, double first) {
  return _mm256_blend_pd(_mm256_permute4x64_pd(_mm256_loadu_pd(p), 0x90), _mm256_set1_pd(first), 1);
}

// Output offsets of the W DFTs v … v+W−1 of a leaf group, DFT gj·group + gb
// writing at gb·ovs + gj·gvs; (gb, gj) moves on by W.
inline void LaneOffsets(std::ptrdiff_t* off, int W, std::ptrdiff_t* gb, std::ptrdiff_t* gj,
                        std::ptrdiff_t group, std::ptrdiff_t ovs, std::ptrdiff_t gvs) {
  for (int q = 0; q < W; ++q) {
    off[q] = *gb * ovs + *gj * gvs;
    if (++*gb == group) {
      *gb = 0;
      ++*gj;
    }
  }
}

// a, b, c, d hold bins k … k+3 of DFTs 0 … 3 (one DFT per lane): bins
// k … k+3 of DFT q go to out + off[q] … out + off[q] + 3.
inline void StoreTransposed4(double* out, const std::ptrdiff_t* off, V4 a, V4 b, V4 c, V4 d) {
  const V4 ab0 = _mm256_unpacklo_pd(a, b);  // a0 b0 a2 b2
  const V4 ab1 = _mm256_unpackhi_pd(a, b);  // a1 b1 a3 b3
  const V4 cd0 = _mm256_unpacklo_pd(c, d);
  const V4 cd1 = _mm256_unpackhi_pd(c, d);
  _mm256_storeu_pd(out + off[0], _mm256_permute2f128_pd(ab0, cd0, 0x20));
  _mm256_storeu_pd(out + off[1], _mm256_permute2f128_pd(ab1, cd1, 0x20));
  _mm256_storeu_pd(out + off[2], _mm256_permute2f128_pd(ab0, cd0, 0x31));
  _mm256_storeu_pd(out + off[3], _mm256_permute2f128_pd(ab1, cd1, 0x31));
}
inline void StoreTransposed2(double* out, const std::ptrdiff_t* off, V2 a, V2 b) {
  _mm_storeu_pd(out + off[0], _mm_unpacklo_pd(a, b));
  _mm_storeu_pd(out + off[1], _mm_unpackhi_pd(a, b));
}

// The 4×4 matrix of rows a, b, c, d transposed in place.
inline void Transpose4(V4& a, V4& b, V4& c, V4& d) {
  const V4 ab0 = _mm256_unpacklo_pd(a, b), ab1 = _mm256_unpackhi_pd(a, b);
  const V4 cd0 = _mm256_unpacklo_pd(c, d), cd1 = _mm256_unpackhi_pd(c, d);
  a = _mm256_permute2f128_pd(ab0, cd0, 0x20);
  b = _mm256_permute2f128_pd(ab1, cd1, 0x20);
  c = _mm256_permute2f128_pd(ab0, cd0, 0x31);
  d = _mm256_permute2f128_pd(ab1, cd1, 0x31);
}

// One bin of DFTs 0 … 3 (or 0, 1): lane q to out + off[q].
inline void StoreLanes4(double* out, const std::ptrdiff_t* off, V4 a) {
  const V2 lo = _mm256_castpd256_pd128(a), hi = _mm256_extractf128_pd(a, 1);
  _mm_storel_pd(out + off[0], lo);
  _mm_storeh_pd(out + off[1], lo);
  _mm_storel_pd(out + off[2], hi);
  _mm_storeh_pd(out + off[3], hi);
}
inline void StoreLanes2(double* out, const std::ptrdiff_t* off, V2 a) {
  _mm_storel_pd(out + off[0], a);
  _mm_storeh_pd(out + off[1], a);
}

)";

int TableSize() {
  int largest = 0;
  for (int r : kRadices) largest = std::max(largest, r);
  return largest + 1;
}

// The registry header: the radices with kernels and the table size, for the
// planner, the kernel tables and the tests.
std::string Registry() {
  std::ostringstream os;
  os << "// Generated by analysis/fft/gen/fft_kernel_gen.cpp: do not edit.\n"
     << "// The radices that have generated kernels (largest first) and the size of\n"
     << "// the kernel tables indexed by radix.\n"
     << "#pragma once\n\nnamespace qm::fft {\n\n"
     << "inline constexpr int kKernelRadices[] = {";
  for (size_t i = 0; i < std::size(kRadices); ++i)
    os << (i == 0 ? "" : i % 12 == 0 ? ",\n    " : ", ") << kRadices[i];
  os << "};\n"
     << "inline constexpr int kKernelRadixCount = " << std::size(kRadices) << ";\n"
     << "inline constexpr int kKernelTableSize = " << TableSize() << ";\n\n"
     << "}  // namespace qm::fft\n";
  return os.str();
}

std::string Kernels(const Target& target, const std::string& ns) {
  std::ostringstream os;
  os << "// Generated by analysis/fft/gen/fft_kernel_gen.cpp: do not edit.\n"
     << "// Fixed-radix DFT kernels on split real/imaginary arrays"
     << (target.vector ? ", with AVX2 vector loops" : "") << ".\n"
     << "// Operation counts per kernel (additions+multiplications):\n";
  std::ostringstream kernels, summary;
  for (int r : kRadices) {
    std::string nc, nr;
    kernels << ComplexFirst(r, target, &nc) << ComplexTwiddle(r, target) << RealFirst(r, &nr);
    summary << "//   radix " << r << ": complex " << nc << ", real input " << nr << "\n";
  }
  os << summary.str() << "\n#include <cstddef>\n"
     << (target.vector ? "\n#include <immintrin.h>\n" : "")
     << "\n#include \"fft/fft_kernels.h\"\n\n"
     << "namespace " << ns << " {\nnamespace {\n\n"
     << "#pragma GCC diagnostic push\n#pragma GCC diagnostic ignored \"-Wunknown-pragmas\"\n\n"
     << (target.vector ? kVectorPrelude : "") << kernels.str()
     << "#pragma GCC diagnostic pop\n\n}  // namespace\n\n";
  // The table `name` of the kernels <prefix><r>, null where `has(r)` is false.
  auto table = [&](const char* type, const char* name, const char* prefix,
                   const std::function<bool(int)>& has = [](int) { return true; }) {
    std::vector<std::string> entry(TableSize(), "nullptr");
    for (int r : kRadices)
      if (has(r)) entry[r] = std::string(prefix) + std::to_string(r);
    os << "const " << type << " " << name << "[kKernelTableSize] = {\n";
    for (size_t i = 0; i < entry.size(); ++i) os << "    " << entry[i] << ",  // " << i << "\n";
    os << "};\n\n";
  };
  table("ComplexFirstKernel", "kComplexFirstKernels", "ComplexFirst");
  table("ComplexTwiddleKernel", "kComplexTwiddleKernels", "ComplexTwiddle");
  table("RealFirstKernel", "kRealFirstKernels", "RealFirst");
  // Real-input twiddle stages go through the complex twiddle kernel.
  table("RealTwiddleKernel", "kRealTwiddleKernels", "ComplexTwiddle");
  // The transforms of n = 2r: radices whose vector set has the pair path.
  table("ComplexPairKernel", "kComplexPairKernels", "ComplexPair",
        [&](int r) { return target.vector && r % 16 == 0; });
  // The transforms of n = 4r and 8r, the same radices.
  table("ComplexFusedKernel", "kComplexQuadKernels", "ComplexQuad",
        [&](int r) { return target.vector && r % 16 == 0; });
  table("ComplexFusedKernel", "kComplexOctetKernels", "ComplexOctet",
        [&](int r) { return target.vector && r % 16 == 0; });
  os << "}  // namespace " << ns << "\n";
  return os.str();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[2] : "";
  if ((argc != 2 && argc != 3) || (argc == 3 && mode != "avx2" && mode != "registry")) {
    std::fprintf(stderr,
                 "usage: fft_kernel_gen <output.cpp> [avx2]\n"
                 "       fft_kernel_gen <output.h> registry\n");
    return 2;
  }
  std::string text;
  if (mode == "registry") {
    text = Registry();
  } else {
    Target target;
    target.vector = mode == "avx2";
    text = Kernels(target, target.vector ? "qm::fft::avx2" : "qm::fft");
  }
  std::ofstream f(argv[1]);
  f << text;
  return f ? 0 : 1;
}
