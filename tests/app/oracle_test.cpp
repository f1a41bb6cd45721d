// Checks every number that the built program reports against PARI/GP, a
// calculator with exact integers: on random square matrices of orders 1 to
// 12, the determinant and every adjoint entry that the program prints must
// be gp's matdet and matadjoint, and the program must refuse exactly the
// matrices whose true values say so.
//
// The outcome that each matrix must get is decided from gp's exact values
// alone: a determinant outside the 32-bit range is too large; else a
// determinant of 0 is singular; else an adjoint entry outside the range
// makes the adjoint too large; else the program reports both. The matrices
// are built so that every outcome comes up, which the test checks too.
//
// A matrix whose data file entry would have at most 1000 characters in its
// body is picked from one data file holding all of them; the others are typed
// at the keyboard. gp runs once, on one script for all the matrices.
//
// Without gp the test is skipped. It runs in the build without sanitizers
// only (see tests/CMakeLists.txt), and under an emulator without the
// reports of orders 11 and 12.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_directory.h"
#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t SEED = 20240611;
constexpr unsigned RUN_LIMIT_SECONDS = 60;
constexpr int ENTRY_BODY_CHARS = 1000;

// How the entries of a matrix are drawn.
enum class Kind {
  kSmall,       // -3 .. 3 (-1 .. 1 from order 11 on): mostly reported
  kSingular,    // small, one row a copy or the sum of others: singular
  kNearLimit,   // up to about 2^(31/n): reported or refused, either way
  kWide,        // any 32-bit value: determinant too large
  kUnimodular,  // triangular, 1s on the diagonal, huge entries, rows
                // shuffled: determinant +-1, adjoint too large
  kRankOne,     // I + v w^T with w^T v = 0, one row maybe negated: long
                // entries, determinant +-1, the adjoint fits
};

enum class Outcome { kReport, kSingular, kDeterminantTooLarge, kAdjointTooLarge };

const char* const OUTCOME_NAMES[] = {"report", "singular", "determinant too large",
                                     "adjoint too large"};

struct OracleMatrix {
  int order;
  Kind kind;
  std::vector<std::int64_t> entries;  // row by row
  bool typed;                         // at the keyboard, else from the data file
  int entryNumber;                    // in the data file, when not typed
};

std::vector<std::int64_t> drawMatrix(int n, Kind kind, std::mt19937& random) {
  const auto uniform = [&random](std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random);
  };
  std::vector<std::int64_t> m(n * n);
  const auto at = [&m, n](int i, int j) -> std::int64_t& { return m[i * n + j]; };
  switch (kind) {
    case Kind::kSmall:
    case Kind::kSingular: {
      const std::int64_t bound = n >= 11 ? 1 : 3;
      for (auto& entry : m) entry = uniform(-bound, bound);
      if (kind == Kind::kSmall) break;
      if (n == 1) {
        m[0] = 0;
        break;
      }
      // Row 0 becomes row 1, plus row 2 where there is one.
      for (int j = 0; j < n; ++j) at(0, j) = at(1, j) + (n >= 3 ? at(2, j) : 0);
      break;
    }
    case Kind::kNearLimit: {
      const auto bound = static_cast<std::int64_t>(std::pow(2.0, 31.0 / n));
      for (auto& entry : m) entry = uniform(-bound, std::min<std::int64_t>(bound, INT32_MAX));
      break;
    }
    case Kind::kWide:
      for (auto& entry : m) entry = uniform(INT32_MIN, INT32_MAX);
      break;
    case Kind::kUnimodular: {
      for (int i = 0; i < n; ++i) {
        at(i, i) = 1;
        for (int j = i + 1; j < n; ++j) {
          at(i, j) = (uniform(0, 1) ? 1 : -1) * uniform(1 << 19, 1 << 20);
        }
      }
      // At order 2 the adjoint holds the negated corner: only -2^31 makes it
      // too large.
      if (n == 2) at(0, 1) = INT32_MIN;
      std::vector<int> rows(n);
      for (int i = 0; i < n; ++i) rows[i] = i;
      std::shuffle(rows.begin(), rows.end(), random);
      std::vector<std::int64_t> shuffled(m.size());
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) shuffled[i * n + j] = at(rows[i], j);
      }
      m = shuffled;
      break;
    }
    case Kind::kRankOne: {
      // w pairs the entries of v so that w^T v = 0: the inverse is I - v w^T.
      std::vector<std::int64_t> v(n);
      std::vector<std::int64_t> w(n, 0);
      for (auto& entry : v) entry = (uniform(0, 1) ? 1 : -1) * uniform(1000, 30000);
      for (int k = 0; k + 1 < n; k += 2) {
        w[k] = v[k + 1];
        w[k + 1] = -v[k];
      }
      const int negated = uniform(0, 1) ? static_cast<int>(uniform(0, n - 1)) : -1;
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          at(i, j) = (i == j ? 1 : 0) + v[i] * w[j];
          if (i == negated) at(i, j) = -at(i, j);
        }
      }
      break;
    }
  }
  return m;
}

// The body of a data file entry for `m`: size code, then the rows.
std::string entryBody(const OracleMatrix& m) {
  std::ostringstream body;
  body << m.order * 100 + m.order;
  for (int i = 0; i < m.order; ++i) {
    body << '\n';
    for (int j = 0; j < m.order; ++j) body << (j ? " " : "") << m.entries[i * m.order + j];
  }
  return body.str();
}

// What is typed for `m`.
std::string typedInput(const OracleMatrix& m) {
  std::ostringstream input;
  if (!m.typed) {
    input << "F\n" << m.entryNumber << "\n\n";
    return input.str();
  }
  input << "K\n" << m.order << 'x' << m.order << '\n';
  for (int i = 0; i < m.order; ++i) {
    for (int j = 0; j < m.order; ++j) input << (j ? " " : "") << m.entries[i * m.order + j];
    input << '\n';
  }
  input << '\n';
  return input.str();
}

// The gp script: one line per matrix, its determinant, then its adjoint row
// by row, separated by blanks.
std::string gpScript(const std::vector<OracleMatrix>& matrices) {
  std::ostringstream script;
  script << "r(n, v) = my(m = matrix(n, n, i, j, v[(i - 1) * n + j]), a = matadjoint(m)); "
            "print1(matdet(m)); for(i = 1, n, for(j = 1, n, print1(\" \", a[i, j]))); print();\n";
  for (const OracleMatrix& m : matrices) {
    script << "r(" << m.order << ", [";
    for (std::size_t k = 0; k < m.entries.size(); ++k) script << (k ? "," : "") << m.entries[k];
    script << "])\n";
  }
  script << "quit\n";
  return script.str();
}

// gp's values for one matrix, as decimal text (they may be any size).
struct ExactValues {
  std::string determinant;
  std::vector<std::string> adjoint;
};

// True when the decimal `text` is a 32-bit value; stores it in *value.
bool fits32(const std::string& text, std::int64_t* value) {
  const std::size_t digits = text.size() - (text[0] == '-' ? 1 : 0);
  if (digits > 10) return false;
  *value = std::stoll(text);
  return *value >= INT32_MIN && *value <= INT32_MAX;
}

// The outcome that the exact values call for.
Outcome expectedOutcome(const ExactValues& exact) {
  std::int64_t value = 0;
  if (!fits32(exact.determinant, &value)) return Outcome::kDeterminantTooLarge;
  if (value == 0) return Outcome::kSingular;
  for (const std::string& entry : exact.adjoint) {
    if (!fits32(entry, &value)) return Outcome::kAdjointTooLarge;
  }
  return Outcome::kReport;
}

// What the program said about a matrix of order `n`, read from its output
// after the echo of the matrix. `problem` is empty when the output has one of
// the four expected forms.
struct Reported {
  Outcome outcome = Outcome::kReport;
  std::int64_t determinant = 0;
  std::vector<std::int64_t> adjoint;
  std::string problem;
};

// The line after the echo of the matrix that starts each outcome's text.
const char* const OUTCOME_LINES[] = {
    "For the given matrix",
    "Matrix is singular; there is no inverse matrix",
    "ERROR: determinant is too large for 32-bit integers; no inverse matrix is reported",
    "ERROR: adjoint matrix is too large for 32-bit integers; no inverse matrix is reported",
};

Reported readReport(const std::string& output, int n) {
  Reported reported;
  const std::size_t echo = output.find("\nThe given matrix is:\n");
  std::istringstream lines(echo == std::string::npos ? "" : output.substr(echo + 1));
  std::string line;
  // The heading, the rows and a blank line.
  for (int skip = 0; skip < n + 3; ++skip) std::getline(lines, line);
  const auto* found = std::find(std::begin(OUTCOME_LINES), std::end(OUTCOME_LINES), line);
  if (found == std::end(OUTCOME_LINES)) {
    reported.problem = "no outcome after the matrix: " + line;
    return reported;
  }
  reported.outcome = static_cast<Outcome>(found - std::begin(OUTCOME_LINES));
  if (reported.outcome != Outcome::kReport) return reported;

  const std::string detPrefix = "  its determinant value is ";
  std::string heading;
  std::getline(lines, line);
  std::getline(lines, heading);
  if (line.rfind(detPrefix, 0) != 0 || heading != "  and its adjoint matrix is:") {
    reported.problem = "no determinant and adjoint heading";
    return reported;
  }
  reported.determinant = std::stoll(line.substr(detPrefix.size()));
  for (int i = 0; i < n; ++i) {
    std::getline(lines, line);
    std::istringstream row(line);
    int count = 0;
    for (std::int64_t entry = 0; row >> entry; ++count) reported.adjoint.push_back(entry);
    if (count != n || !row.eof()) reported.problem = "adjoint row: " + line;
  }
  const std::string closing = reported.determinant == 1
                                  ? "The adjoint matrix is also the inverse matrix"
                                  : "Divide the determinant value " +
                                        std::to_string(reported.determinant) +
                                        " into the adjoint matrix";
  std::getline(lines, line);
  if (!std::getline(lines, line) || line != closing) reported.problem = "closing line: " + line;
  return reported;
}

// Runs the program on matrix number `k`, `m`, in `work` and checks what it
// says against gp's values `exact`, which call for `expected`.
void checkMatrix(const fs::path& work, int k, const OracleMatrix& m, const ExactValues& exact,
                 Outcome expected) {
  SCOPED_TRACE("matrix " + std::to_string(k) + " of order " + std::to_string(m.order) +
               (m.typed ? ", typed" : ", entry " + std::to_string(m.entryNumber)) +
               "; expected: " + OUTCOME_NAMES[static_cast<int>(expected)]);
  const std::string name = std::to_string(k);
  std::ofstream(work / ("input-" + name), std::ios::binary) << typedInput(m);
  ProgramSurroundings run;
  run.directory = work.string();
  run.input = (work / ("input-" + name)).string();
  run.output = (work / ("output-" + name)).string();
  run.errors = (work / ("errors-" + name)).string();
  run.limitSeconds = RUN_LIMIT_SECONDS;
  const ProgramOutcome outcome = runProgram(QUADRIXEL_PROGRAM, run);
  ASSERT_TRUE(outcome.exited && outcome.exitStatus == 0 && outcome.errors.empty())
      << describe(outcome);

  const Reported reported = readReport(readWholeFile(run.output), m.order);
  ASSERT_EQ(reported.problem, "") << readWholeFile(run.output);
  ASSERT_EQ(std::string(OUTCOME_NAMES[static_cast<int>(reported.outcome)]),
            OUTCOME_NAMES[static_cast<int>(expected)]);
  if (expected != Outcome::kReport) return;
  EXPECT_EQ(std::to_string(reported.determinant), exact.determinant);
  ASSERT_EQ(reported.adjoint.size(), exact.adjoint.size());
  for (std::size_t e = 0; e < reported.adjoint.size(); ++e) {
    EXPECT_EQ(std::to_string(reported.adjoint[e]), exact.adjoint[e])
        << "adjoint entry " << e / m.order + 1 << ", " << e % m.order + 1;
  }
}

TEST(Oracle, ReportsAgreeWithPariGp) {
  const std::string gp = findExecutable("gp");
  if (gp.empty())
    GTEST_SKIP() << "gp (PARI/GP) is not installed; scripts/install-deps.sh test installs it";

  // Orders 1 to 10 get every kind; 11 and 12, where a report takes longer,
  // a few.
  std::mt19937 random(SEED);
  std::vector<OracleMatrix> matrices;
  const std::vector<Kind> everyKind = {Kind::kSmall,      Kind::kSmall,     Kind::kSingular,
                                       Kind::kNearLimit,  Kind::kNearLimit, Kind::kWide,
                                       Kind::kUnimodular, Kind::kRankOne};
  for (int n = 1; n <= 12; ++n) {
    std::vector<Kind> kinds = everyKind;
    if (n == 11) kinds = {Kind::kSmall, Kind::kWide, Kind::kUnimodular, Kind::kRankOne};
    if (n == 12) kinds = {Kind::kWide, Kind::kUnimodular, Kind::kRankOne};
    for (const Kind kind : kinds)
      matrices.push_back({n, kind, drawMatrix(n, kind, random), false, 0});
  }
  // Under an emulator a report of order 11 or 12 takes minutes: there the
  // kernels' own tests cover those orders, and of the program's runs only
  // the refusals, which take no walk, are kept at those orders.
  if (!PROGRAM_EMULATOR.empty()) {
    std::erase_if(matrices, [](const OracleMatrix& m) {
      return m.order >= 11 && (m.kind == Kind::kSmall || m.kind == Kind::kRankOne);
    });
    std::cout << "under an emulator: no reports of order 11 or 12\n";
  }

  TemporaryDirectory work("quadrixel-oracle");
  ASSERT_FALSE(work.path().empty());
  std::ofstream dataFile(work.path() / "MatrixDataFile2.txt", std::ios::binary);
  int entries = 0;
  for (OracleMatrix& m : matrices) {
    const std::string body = entryBody(m);
    m.typed = body.size() > ENTRY_BODY_CHARS;
    if (m.typed) continue;
    m.entryNumber = ++entries;
    dataFile << "Matrix " << m.entryNumber << ":\n[M" << body << "]\n\n";
  }
  dataFile.close();

  // gp's exact values, all in one run.
  std::ofstream(work.path() / "script.gp", std::ios::binary) << gpScript(matrices);
  ProgramSurroundings gpRun;
  gpRun.directory = work.path().string();
  gpRun.input = (work.path() / "script.gp").string();
  gpRun.output = (work.path() / "exact").string();
  gpRun.errors = (work.path() / "gp-errors").string();
  gpRun.limitSeconds = RUN_LIMIT_SECONDS;
  const ProgramOutcome gpOutcome = runCommand({gp, "-q", "-f"}, gpRun);
  ASSERT_TRUE(gpOutcome.exited && gpOutcome.exitStatus == 0) << "gp: " << describe(gpOutcome);
  std::istringstream exactLines(readWholeFile(gpRun.output));
  std::vector<ExactValues> exact;
  for (std::string line; std::getline(exactLines, line);) {
    std::istringstream words(line);
    ExactValues values;
    words >> values.determinant;
    for (std::string entry; words >> entry;) values.adjoint.push_back(entry);
    exact.push_back(values);
  }
  ASSERT_EQ(exact.size(), matrices.size()) << "gp's output:\n" << readWholeFile(gpRun.output);

  bool outcomeMet[4] = {};
  bool roadMet[2] = {};
  for (std::size_t k = 0; k < matrices.size(); ++k) {
    ASSERT_EQ(exact[k].adjoint.size(), matrices[k].entries.size()) << "gp's line " << k + 1;
    const Outcome expected = expectedOutcome(exact[k]);
    outcomeMet[static_cast<int>(expected)] = true;
    roadMet[matrices[k].typed ? 1 : 0] = true;
    checkMatrix(work.path(), static_cast<int>(k + 1), matrices[k], exact[k], expected);
  }
  for (int outcome = 0; outcome < 4; ++outcome) {
    EXPECT_TRUE(outcomeMet[outcome]) << "no matrix called for: " << OUTCOME_NAMES[outcome];
  }
  EXPECT_TRUE(roadMet[0]) << "no matrix came from the data file";
  EXPECT_TRUE(roadMet[1]) << "no matrix was typed";
  if (HasFailure()) {
    work.keep();
    ADD_FAILURE() << "the inputs, outputs and gp's script are kept in " << work.path();
  }
}

}  // namespace
