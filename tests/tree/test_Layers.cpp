// The layer table of docs/layers.md holds: a source folder includes only from
// its own layer and the layers listed before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path SourceDir() {
  const char* S = std::getenv("QV_SOURCE_DIR");
  return S ? fs::path(S) : fs::path(".");
}

// Folder -> rank, in the order of the table's rows ("| `qv_x` | `folder/` | ...",
// "| executables | `apps/` | ...").
std::map<std::string, int> LayerRanks() {
  std::ifstream In(SourceDir() / "docs" / "layers.md");
  const std::regex Row(R"(^\| [^|]+ \| `(\w+)/` \|)");
  std::map<std::string, int> Ranks;
  std::string Line;
  std::smatch M;
  while (std::getline(In, Line))
    if (std::regex_search(Line, M, Row)) Ranks.emplace(M[1].str(), static_cast<int>(Ranks.size()));
  return Ranks;
}

bool IsSource(const fs::path& P) {
  const std::string E = P.extension().string();
  return E == ".cpp" || E == ".h" || E == ".c";
}

}  // namespace

TEST(Layers, EveryIncludePointsDownTheTable) {
  const std::map<std::string, int> Ranks = LayerRanks();
  ASSERT_GE(Ranks.size(), 10u) << "docs/layers.md has no readable layer table";
  const std::regex Include(R"(^\s*#\s*include\s+"(\w+)/)");
  std::vector<std::string> Upward;
  size_t Files = 0;
  for (const auto& [Folder, Rank] : Ranks) {
    for (const auto& Entry : fs::recursive_directory_iterator(SourceDir() / Folder)) {
      if (!Entry.is_regular_file() || !IsSource(Entry.path())) continue;
      ++Files;
      std::ifstream In(Entry.path());
      std::string Line;
      std::smatch M;
      for (int N = 1; std::getline(In, Line); ++N) {
        if (!std::regex_search(Line, M, Include)) continue;
        const auto Target = Ranks.find(M[1].str());
        if (Target == Ranks.end() || Target->second <= Rank) continue;
        Upward.push_back(fs::relative(Entry.path(), SourceDir()).string() + ":" + std::to_string(N) +
                         " includes " + M[1].str() + "/ from " + Folder + "/");
      }
    }
  }
  EXPECT_GT(Files, 100u);
  for (const std::string& U : Upward) ADD_FAILURE() << U;
}

// A new folder of sources must take its place in the table.
TEST(Layers, EverySourceFolderIsALayer) {
  const std::map<std::string, int> Ranks = LayerRanks();
  const std::vector<std::string> Outside = {"tests", "bench", "examples", "build", "cmake", "docs", "scripts"};
  for (const auto& Entry : fs::directory_iterator(SourceDir())) {
    const std::string Name = Entry.path().filename().string();
    if (!Entry.is_directory() || Name[0] == '.' || Ranks.count(Name)) continue;
    if (std::find(Outside.begin(), Outside.end(), Name) != Outside.end()) continue;
    EXPECT_FALSE(fs::exists(Entry.path() / "CMakeLists.txt")) << Name << "/ builds but is not in docs/layers.md";
  }
}
