// Writes the benchmark case of the chemical shift step into a directory: a CT
// file "rna.ct" of hairpins and a statistics table "statfile.tab".
//
// usage: mirelon-bench-case DIRECTORY [SCALE [RESIDUES]]
//
// At SCALE 1 (the default) the case is the largest the step accepts: 740
// residues (the most whose entry bound stays under 20000 when all are
// purines; hairpin stems need pyrimidines, so the bound here is lower),
// 20000 context statistics records, 20000 base statistics records and 121
// multiplier rows. SCALE 0.5 or 0.25 shrinks residues and records alike;
// the multiplier rows stay 121. RESIDUES, when given, sets the number of
// residues apart from SCALE (100 residues with the full table shows how the
// cost grows with the RNA alone). The content depends on nothing but SCALE
// and RESIDUES.
//
// Every context key that a residue has gets one record per catalogue atom of
// its base but the last few (so no entry lies beyond the bound, and the
// fallback pass has work); the other context records carry keys of contexts
// this RNA lacks, as a table built from many RNAs does. The base statistics
// repeat every catalogue atom many times and add a base the program does not
// know, so the fallback pass meets many candidates.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "prediction/shift_prediction.h"

namespace {

constexpr int kFullResidues = 740;
constexpr int kFullRecords = 20000;
constexpr int kMultiplierRows = 121;
constexpr int kHairpinLength = 37;  // 15 base pairs around a loop of 7
constexpr int kStemPairs = 15;

// A fixed linear congruential generator, so that every run writes the same case.
class Random {
 public:
  uint32_t next(uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33) % bound;
  }

 private:
  uint64_t state_ = 12345;
};

const char* const kBases[] = {"A", "C", "G", "U"};

char complement(char base) {
  switch (base) {
    case 'A':
      return 'U';
    case 'U':
      return 'A';
    case 'G':
      return 'C';
    default:
      return 'G';
  }
}

std::string shift_text(Random* random, int low, int span) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%03u", low + static_cast<int>(random->next(span)),
                random->next(1000));
  return text;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 4) {
    std::fputs("usage: mirelon-bench-case DIRECTORY [SCALE [RESIDUES]]\n", stderr);
    return 1;
  }
  const std::string dir = argv[1];
  const double scale = argc >= 3 ? std::strtod(argv[2], nullptr) : 1.0;
  const int residues =
      argc == 4 ? std::atoi(argv[3]) : static_cast<int>(std::lround(kFullResidues * scale));
  const int records = static_cast<int>(std::lround(kFullRecords * scale));
  Random random;

  // Hairpins: a stem of canonical pairs closed by a loop, one after another.
  std::string sequence(static_cast<size_t>(residues), 'A');
  std::vector<int> partner(static_cast<size_t>(residues), -1);
  for (int start = 0; start + kHairpinLength <= residues; start += kHairpinLength) {
    for (int k = 0; k < kStemPairs; ++k) {
      const int i = start + k;
      const int j = start + kHairpinLength - 1 - k;
      sequence[i] = kBases[random.next(4)][0];
      sequence[j] = complement(sequence[i]);
      partner[i] = j;
      partner[j] = i;
    }
    for (int k = kStemPairs; k < kHairpinLength - kStemPairs; ++k) {
      sequence[start + k] = random.next(2) == 0 ? 'A' : 'G';
    }
  }
  std::ofstream ct(dir + "/rna.ct");
  ct << residues << " benchmark hairpins\n";
  for (int i = 0; i < residues; ++i) {
    ct << i + 1 << ' ' << sequence[i] << ' ' << i << ' ' << (i + 2 > residues ? 0 : i + 2) << ' '
       << partner[i] + 1 << ' ' << i + 1 << '\n';
  }

  // The context keys of the residues, as the sequence step marks them.
  auto base_mark = [&](int i) -> std::string {
    if (i < 0 || i >= residues) return "0o";
    return std::string(1, sequence[i]) + (partner[i] >= 0 ? "w" : "o");
  };
  std::vector<std::string> keys;
  {
    std::set<std::string> seen;
    for (int i = 0; i < residues; ++i) {
      const std::string key = base_mark(i - 2) + base_mark(i - 1) + base_mark(i) + base_mark(i + 1);
      if (seen.insert(key).second) keys.push_back(key);
    }
  }

  std::ofstream table(dir + "/statfile.tab");
  table << "# benchmark statistics table\n";
  int written = 0;
  constexpr size_t kAtomsLeftToBase = 4;
  for (const std::string& key : keys) {
    const auto& atoms = mirelon::atom_catalogue(key.substr(4, 1));
    for (size_t a = 0; a + kAtomsLeftToBase < atoms.size() && written < records; ++a) {
      const int count = 1 + static_cast<int>(random.next(200));
      table << atoms[a] << ' ' << key[4] << ' ' << key << ' ' << count << ' '
            << shift_text(&random, 4, 140) << " 0." << random.next(900) + 100 << " 1 2 3 4 5 6 7\n";
      ++written;
    }
  }
  const auto& adenine = mirelon::atom_catalogue("A");
  for (; written < records; ++written) {
    std::string key;
    for (int k = 0; k < 4; ++k) key += std::string(kBases[random.next(4)]) + "x";
    table << adenine[random.next(static_cast<uint32_t>(adenine.size()))] << " N " << key << ' '
          << 2 + random.next(200) << ' ' << shift_text(&random, 4, 140) << " 0.2 1 2 3 4 5 6 7\n";
  }
  table << ":\n";
  for (int i = 0; i < records; ++i) {
    const char* base = i % 10 == 9 ? "T" : kBases[random.next(4)];
    const auto& atoms = mirelon::atom_catalogue(base[0] == 'T' ? "A" : base);
    table << base << ' ' << atoms[random.next(static_cast<uint32_t>(atoms.size()))] << " 100 1 2 3 "
          << shift_text(&random, 4, 140) << " 0.3\n";
  }
  table << ":\n";
  for (int row = 0; row < kMultiplierRows; ++row) {
    table << "n=" << row + 2;
    for (int level = 1; level <= 11; ++level) table << ' ' << 0.5 + 0.1 * level + 1.0 / (row + 1);
    table << '\n';
  }
  table << ":\n";
  return ct && table ? 0 : 1;
}
