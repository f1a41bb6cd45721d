// Replays every saved fuzz input through its harness in the normal build,
// under this build's sanitizers: the saved corpus of each target and, above
// all, the inputs that once found a fault (fuzz/regressions), which must
// never find one again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "harnesses.h"

namespace fs = std::filesystem;

namespace {

using Harness = std::string (*)(const std::uint8_t*, std::size_t);

struct Target {
  const char* name;
  Harness harness;
};

// Every file of fuzz/corpus/<target> and fuzz/regressions/<target>.
std::vector<fs::path> savedInputs(const std::string& target) {
  std::vector<fs::path> inputs;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(FUZZ_DIR) / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

// Names the target in test output.
void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

class CorpusReplay : public testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, NoSavedInputFindsAFault) {
  const std::vector<fs::path> inputs = savedInputs(GetParam().name);
  ASSERT_FALSE(inputs.empty()) << "no saved input under " << FUZZ_DIR;
  for (const fs::path& path : inputs) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(GetParam().harness(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
              "")
        << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay,
                         testing::Values(Target{"keyboard_entry", fuzzKeyboardEntry},
                                         Target{"data_file_reader", fuzzDataFileReader},
                                         Target{"dialogue", fuzzInverseDialogue}),
                         [](const testing::TestParamInfo<Target>& info) {
                           return std::string(info.param.name);
                         });

TEST(FuzzInput, SplitsAtTheFirstSeparator) {
  struct Case {
    std::string bytes;
    std::string console;
    bool hasDataFile;
    std::string dataFile;
  };
  const std::string sep(FUZZ_DATA_FILE_SEPARATOR);
  const Case cases[] = {
      {"K\n1x1\n5\n", "K\n1x1\n5\n", false, ""},
      {"F\n1\n" + sep + "[M101 5]", "F\n1\n", true, "[M101 5]"},
      {sep, "", true, ""},
      {"F\n" + sep + "a" + sep + "b", "F\n", true, "a" + sep + "b"},
  };
  for (const auto& c : cases) {
    const FuzzInput input =
        splitFuzzInput(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size());
    EXPECT_EQ(input.console, c.console);
    EXPECT_EQ(input.hasDataFile, c.hasDataFile);
    EXPECT_EQ(input.dataFile, c.dataFile);
  }
}

TEST(FuzzInput, CountsDigitRuns) {
  EXPECT_EQ(countDigitRuns(""), 0);
  EXPECT_EQ(countDigitRuns("K\n12x12\n"), 2);
  EXPECT_EQ(countDigitRuns("[M-202 1-2 - 3 +4 1.5]"), 7);
  EXPECT_EQ(countDigitRuns("007"), 1);
}

}  // namespace
