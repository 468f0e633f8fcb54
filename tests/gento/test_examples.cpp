// The example rule sets under examples/ as a user runs them: they load without a single error.
#include <filesystem>
#include <string>

#include "gento.hpp"
#include "gento_fixture.hpp"
#include "syn_read.hpp"

namespace fs = std::filesystem;

namespace {

const char* const kParts[] = {"att", "tm", "lex", "mor", "tbl", "syn"};

class ExampleTest : public GentoTest {
  protected:
    void TearDown() override {
        uninstall(qfile_table[kKinds - 1].mask);
        GentoTest::TearDown();
    }

    // Copies a set into the scratch folder, so the names fit a command's file parameter, and
    // loads it with the commands its procedure types.
    void load(const std::string& set) {
        const fs::path from = fs::path(ORU_SOURCE_DIR) / "examples" / set;
        void (*const commands[])() = {qattribute, qtmnls, qlexicon, qmorphology, qtbls, qsyntax};
        for (int i = 0; i < 6; ++i) {
            const std::string name = set + "." + kParts[i];
            fs::copy_file(from / name, fs::path(dir_) / name, fs::copy_options::overwrite_existing);
            ASSERT_TRUE(curfile.assign(dir_ + "/" + name)) << name;
            commands[i]();
        }
    }

    static void expect_clean() {
        EXPECT_TRUE(messages("ERROR").empty()) << messages("ERROR").front();
        EXPECT_TRUE(messages("warning").empty()) << messages("warning").front();
    }
};

TEST_F(ExampleTest, BothSetsLoadWithoutAnError) {
    for (const std::string set : {"english", "french"}) {
        SCOPED_TRACE(set);
        load(set);
        for (const char* part : kParts) {
            const std::string name = dir_ + "/" + set + "." + part;
            EXPECT_EQ(messages("from file '" + name + "'").size(), 1u) << name;
        }
        EXPECT_EQ(installed, 1 | 4 | 8 | 16 | 32 | 64);
        EXPECT_EQ(synstat, 2);  // the syntax has a ROOT rule
        expect_clean();
        uninstall(qfile_table[kKinds - 1].mask);
    }
}

}  // namespace
