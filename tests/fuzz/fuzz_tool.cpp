// Companion of the libFuzzer target, without libFuzzer:
//   qm_fuzz_tool seed DIR          writes DIR/<export>.bin for every export
//                                  without one: a valid call (status 0, else a
//                                  warning), else one the export refuses
//   qm_fuzz_tool threads DIR SECS  the thread phase: every input of DIR and 24
//                                  random calls per export once on this thread,
//                                  then 4 threads calling random ones for SECS
//                                  seconds; each outcome must equal the
//                                  single-threaded one (run under TSan)
//   qm_fuzz_tool nulls DIR         every seed of DIR with each pointer null in
//                                  turn (required: -20008 or the export's code)
//   qm_fuzz_tool run FILE...       replays inputs, one line per input
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fuzz_core.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

int Seed(const fs::path& dir) {
  fs::create_directories(dir);
  std::mt19937_64 rng(20261209);
  int refused = 0;
  for (int i = 0; i < qmfuzz::ExportCount(); ++i) {
    const int number = qmfuzz::ExportNumber(i);
    const fs::path out = dir / (std::to_string(number) + ".bin");
    if (fs::exists(out)) continue;  // seeds already kept stay as they are
    // The first call with status 0 (or of an export without a status); else
    // the first with a warning; else the first the export refuses.
    std::vector<uint8_t> best, warned, checked;
    int32_t refused_status = 0;
    for (int attempt = 0; attempt < 20000 && best.empty(); ++attempt) {
      // Attempt 0 is all-zero choices (each pool's ordinary value); then
      // random choices, mostly ordinary.
      std::vector<uint8_t> in(2 + 48, 0);
      in[0] = static_cast<uint8_t>(number & 0xFF);
      in[1] = static_cast<uint8_t>(number >> 8);
      if (attempt)
        for (std::size_t k = 2; k < in.size(); ++k)
          in[k] = rng() % 10 < 6 ? 0 : static_cast<uint8_t>(rng() % 32);
      const qmfuzz::Report rep = qmfuzz::RunOne(in.data(), in.size());
      if (rep.outcome == qmfuzz::Outcome::kFailed) {
        std::fprintf(stderr, "seed: finding while seeding: %s\n", rep.message.c_str());
        return 1;
      }
      if (rep.outcome != qmfuzz::Outcome::kPassed) continue;
      if (!rep.has_status || rep.status == 0) best = in;
      else if (rep.status > 0 && warned.empty()) warned = in;
      else if (checked.empty()) {
        checked = in;
        refused_status = rep.status;
      }
    }
    if (best.empty()) best = warned;
    if (best.empty()) {
      // Kept all the same: the export's checks are fuzzed from it.
      std::fprintf(stderr, "seed: ZMXFunc%d: no call the pools allow passes its checks (kept one "
                   "refused with %d)\n", number, refused_status);
      best = checked;
      ++refused;
    }
    if (best.empty()) {
      std::fprintf(stderr, "seed: no call of ZMXFunc%d could be made\n", number);
      return 1;
    }
    while (best.size() > 2 && best.back() == 0) best.pop_back();
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(best.data()),
                                               static_cast<std::streamsize>(best.size()));
    std::printf("seed: %s\n", out.c_str());
  }
  if (refused) std::printf("seed: %d export(s) seeded with a refused call\n", refused);
  return 0;
}

struct Input {
  std::string name;
  std::vector<uint8_t> bytes;
  uint64_t digest = 0;
};

int Threads(const fs::path& dir, double seconds) {
  // The seeds, and for every export 24 calls of random choices (the same on
  // every run).
  std::vector<Input> candidates;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file()) candidates.push_back({entry.path().filename().string(), ReadFile(entry.path())});
  std::mt19937_64 rng(20261210);
  for (int i = 0; i < qmfuzz::ExportCount(); ++i) {
    const int number = qmfuzz::ExportNumber(i);
    for (int k = 0; k < 24; ++k) {
      std::vector<uint8_t> bytes(2 + 64);
      bytes[0] = static_cast<uint8_t>(number & 0xFF);
      bytes[1] = static_cast<uint8_t>(number >> 8);
      for (std::size_t j = 2; j < bytes.size(); ++j) bytes[j] = static_cast<uint8_t>(rng());
      candidates.push_back({"ZMXFunc" + std::to_string(number) + " random #" + std::to_string(k), bytes});
    }
  }
  std::vector<Input> inputs;
  int failed = 0;
  for (Input& in : candidates) {
    const qmfuzz::Report a = qmfuzz::RunOne(in.bytes.data(), in.bytes.size());
    if (a.outcome == qmfuzz::Outcome::kFailed) {
      std::fprintf(stderr, "threads: %s: FUZZ FINDING: %s\n", in.name.c_str(), a.message.c_str());
      ++failed;
      continue;
    }
    if (a.outcome == qmfuzz::Outcome::kSkipped) {
      if (in.name.find(" random ") == std::string::npos)
        std::fprintf(stderr, "threads: %s skipped (%s)\n", in.name.c_str(), a.message.c_str());
      continue;
    }
    // An export whose outcome depends on the thread's history (state kept
    // per thread) gives two different outcomes here: not compared.
    const qmfuzz::Report b = qmfuzz::RunOne(in.bytes.data(), in.bytes.size());
    if (b.digest != a.digest) {
      std::fprintf(stderr, "threads: %s depends on earlier calls: checked, not compared\n", in.name.c_str());
      continue;
    }
    in.digest = a.digest;
    inputs.push_back(std::move(in));
  }
  if (failed) return 1;
  if (inputs.empty()) {
    std::fprintf(stderr, "threads: no inputs in %s\n", dir.c_str());
    return 1;
  }
  std::atomic<int> mismatches{0};
  std::atomic<long> calls{0};
  std::mutex out;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::vector<std::thread> pool;
  for (int t = 0; t < 4; ++t) {
    pool.emplace_back([&, t] {
      std::mt19937 rng(1234u + static_cast<unsigned>(t));
      while (std::chrono::steady_clock::now() < end && mismatches.load() < 10) {
        const Input& in = inputs[rng() % inputs.size()];
        const qmfuzz::Report r = qmfuzz::RunOne(in.bytes.data(), in.bytes.size());
        ++calls;
        if (r.outcome == qmfuzz::Outcome::kFailed || r.digest != in.digest) {
          std::lock_guard<std::mutex> lock(out);
          std::fprintf(stderr, "threads: %s on thread %d differs from the single-threaded call%s%s\n",
                       in.name.c_str(), t, r.message.empty() ? "" : ": ", r.message.c_str());
          ++mismatches;
        }
      }
    });
  }
  for (auto& th : pool) th.join();
  std::printf("threads: %ld calls over %zu inputs on 4 threads, %d differences\n", calls.load(),
              inputs.size(), mismatches.load());
  return mismatches ? 1 : 0;
}

// Every seed once more with each of its pointers null in turn: a required one
// must give -20008 (or the export's own code), an optional one is no finding.
int Nulls(const fs::path& dir) {
  int failed = 0, calls = 0;
  for (int i = 0; i < qmfuzz::ExportCount(); ++i) {
    const int number = qmfuzz::ExportNumber(i);
    const fs::path f = dir / (std::to_string(number) + ".bin");
    std::vector<uint8_t> in = {static_cast<uint8_t>(number & 0xFF), static_cast<uint8_t>(number >> 8)};
    if (fs::exists(f)) in = ReadFile(f);
    for (int k = 0; k < qmfuzz::ParamCount(number); ++k, ++calls) {
      const qmfuzz::Report r = qmfuzz::RunOne(in.data(), in.size(), k);
      if (r.outcome == qmfuzz::Outcome::kFailed) {
        std::fprintf(stderr, "nulls: %s, parameter %d null: FUZZ FINDING: %s\n", f.c_str(), k,
                     r.message.c_str());
        ++failed;
      }
    }
  }
  std::printf("nulls: %d calls with one pointer null, %d findings\n", calls, failed);
  return failed ? 1 : 0;
}

int Run(int argc, char** argv) {
  int failed = 0;
  for (int i = 2; i < argc; ++i) {
    const std::vector<uint8_t> bytes = ReadFile(argv[i]);
    const qmfuzz::Report r = qmfuzz::RunOne(bytes.data(), bytes.size());
    const char* what = r.outcome == qmfuzz::Outcome::kFailed ? "FUZZ FINDING"
                       : r.outcome == qmfuzz::Outcome::kPassed ? "passed" : "skipped";
    std::printf("%s: %s%s%s", argv[i], what, r.message.empty() ? "" : ": ", r.message.c_str());
    if (r.has_status) std::printf(" (status %d)", r.status);
    std::printf("\n");
    failed += r.outcome == qmfuzz::Outcome::kFailed;
  }
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "seed" && argc == 3) return Seed(argv[2]);
  if (mode == "threads" && argc == 4) return Threads(argv[2], std::atof(argv[3]));
  if (mode == "run") return Run(argc, argv);
  if (mode == "nulls" && argc == 3) return Nulls(argv[2]);
  std::fprintf(stderr, "usage: %s seed DIR | threads DIR SECONDS | nulls DIR | run FILE...\n", argv[0]);
  return 2;
}
