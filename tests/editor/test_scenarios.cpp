// Scenarios: a file of keys in the brace notation applied to a core file fetched from an input
// file, one key at a time through the edit loop; the saved result must equal the reference.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file.hpp"
#include "test_cursor_fixture.hpp"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool keys_left() {
    return fnptr > 0 && fnstack[fnptr] != nullptr && *fnstack[fnptr] != '\0';
}

}  // namespace

class Scenario : public EditTest {
  protected:
    // Scenarios fetch and save files: the file options start as at start-up too.
    void SetUp() override {
        EditTest::SetUp();
        reset_file();
    }

    // Runs one scenario and returns the saved text of the core file.
    std::string run(const fs::path& stem) {
        const std::string in = stem.string() + ".in";
        gfile(in.c_str(), 1, kAllLines, "");
        // The core file's own first empty line goes; the cursor starts on the file's first line.
        cur().lnptr = cur().header->down;
        removeline();
        at(1, 1);
        const std::string keys = stem.string() + ".keys";
        const char* k = readfile(keys.c_str(), KeyKind::Procedure);
        EXPECT_NE(k, nullptr) << keys;
        if (k == nullptr) return {};
        pushfn(k);
        int guard = 0;
        while (keys_left() && ++guard < 100000) {
            fetchchar();
            dispatch(type);
            expect_sound();
        }
        char name[] = "/tmp/oru-scenario-XXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        if (fd < 0) return {};
        EXPECT_TRUE(pfile(fd, 1, kAllLines));
        close(fd);
        std::string out = slurp(name);
        unlink(name);
        return out;
    }
};

TEST_F(Scenario, EveryScenarioGivesItsReference) {
    const fs::path dir = fs::path(ORU_SOURCE_DIR) / "tests" / "scenarios";
    std::vector<fs::path> stems;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() == ".keys")
            stems.push_back(e.path().parent_path() / e.path().stem());
    }
    std::sort(stems.begin(), stems.end());
    ASSERT_GE(stems.size(), 4u);
    for (const fs::path& stem : stems) {
        // Each scenario starts from a fresh store and fresh settings.
        TearDown();
        SetUp();
        const std::string got = run(stem);
        EXPECT_EQ(got, slurp(stem.string() + ".ref")) << "scenario " << stem.filename();
    }
}
