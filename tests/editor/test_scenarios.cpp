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

static std::string slurp(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

using Scenario = EditTest;

TEST_F(Scenario, EveryScenarioGivesItsReference) {
    std::vector<fs::path> stems;
    for (const auto& e : fs::directory_iterator(fs::path(ORU_SOURCE_DIR) / "tests" / "scenarios"))
        if (e.path().extension() == ".keys")
            stems.push_back(e.path().parent_path() / e.path().stem());
    std::sort(stems.begin(), stems.end());
    ASSERT_GE(stems.size(), 4u);
    for (const fs::path& stem : stems) {
        SCOPED_TRACE(stem.filename());
        TearDown();  // each scenario starts from a fresh store and fresh settings
        SetUp();
        reset_file();
        gfile((stem.string() + ".in").c_str(), 1, kAllLines, "");
        // The core file's own first empty line goes; the cursor starts on the file's first line.
        cur().lnptr = cur().header->down;
        removeline();
        at(1, 1);
        const char* k = readfile((stem.string() + ".keys").c_str(), KeyKind::Procedure);
        ASSERT_NE(k, nullptr);
        pushfn(k);
        for (int guard = 0; fnptr > 0 && fnstack[fnptr] != nullptr && *fnstack[fnptr] != '\0' &&
                            ++guard < 100000;) {
            fetchchar();
            dispatch(type);
            expect_sound();
        }
        char name[] = "/tmp/oru-scenario-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(pfile(fd, 1, kAllLines));
        close(fd);
        EXPECT_EQ(slurp(name), slurp(stem.string() + ".ref"));
        unlink(name);
    }
}
