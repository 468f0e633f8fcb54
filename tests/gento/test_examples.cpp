// The example rule sets under examples/ as a user runs them: they load without a single error, and
// generation with a fixed seed repeats itself and comes back from stored trees.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "encoding.hpp"
#include "gento.hpp"
#include "report_fixture.hpp"
#include "syn_read.hpp"

namespace fs = std::filesystem;

namespace {

using Sentences = std::vector<std::string>;

class ExampleTest : public GentoTest {
  protected:
    void TearDown() override {
        uninstall(qfile_table[kKinds - 1].mask);
        GentoTest::TearDown();
    }

    // Copies a set into the scratch folder, so the names fit a command's file parameter, and
    // loads it with the commands its procedure types. With `other_charset` each file is first
    // rewritten in the other character set: UTF-8 in Latin-1, Latin-1 in UTF-8.
    void load(const std::string& set, bool other_charset = false) {
        uninstall(qfile_table[kKinds - 1].mask);
        const fs::path from = fs::path(ORU_SOURCE_DIR) / "examples" / set;
        void (*const commands[])() = {qattribute, qtmnls, qlexicon, qmorphology, qtbls, qsyntax};
        const char* const parts[] = {"att", "tm", "lex", "mor", "tbl", "syn"};
        for (int i = 0; i < 6; ++i) {
            const fs::path to = fs::path(dir_) / (set + "." + parts[i]);
            fs::copy_file(from / to.filename(), to, fs::copy_options::overwrite_existing);
            if (other_charset) transcode(to);
            ASSERT_TRUE(curfile.assign(to.string()));
            commands[i]();
        }
        EXPECT_EQ(std::tuple(installed, synstat), std::tuple(1 | 4 | 8 | 16 | 32 | 64, 2));
        EXPECT_TRUE(messages("ERROR").empty()) << messages("ERROR").front();
    }
    static void transcode(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::string text(std::istreambuf_iterator<char>(in), {}), out;
        if (sniff(text).kind == Sniff::Utf8) {
            out = text;
            decode_file_text(out);
        } else {
            latin1_to_utf8(text, out);
        }
        std::ofstream(p, std::ios::binary | std::ios::trunc) << out;
    }
    // Generations from a seed: every sentence of each, "-" where there is none.
    static Sentences run(std::uint32_t from, int times) {
        reseed(from);
        Sentences out;
        for (int i = 0; i < times; ++i) {
            generate();
            const Sentences one = sentences();
            out.insert(out.end(), one.begin(), one.end());
        }
        return out;
    }
    static Sentences sentences() {
        Sentences out;
        for (const auto& s : genSentences)
            out.push_back(s ? *s : "-");
        return out;
    }
    // What STORE writes into the current core file.
    static std::string stored(int style) {
        removefile();
        initfile();
        store(style, 0);
        std::string text;
        for (const std::string& l : lines_of(corenum))
            text += l + "\n";
        return text;
    }
};

TEST_F(ExampleTest, BothSetsRepeatFromASeedAndComeBackFromStoredTrees) {
    const int keep = corenum;
    corenum = 1;  // STORE writes into the current core file, the messages go to core file 7
    for (const std::string set : {"english", "french"}) {
        SCOPED_TRACE(set);
        load(set);
        const Sentences first = run(4243, 12);
        EXPECT_EQ(std::tuple(first, run(977, 12) != first), std::tuple(run(4243, 12), true));
        std::set<std::string> questions;
        for (std::size_t i = 1; i < first.size(); i += kRoots)
            questions.insert(first[i]);
        EXPECT_GT(questions.size(), 6u);  // the seed drives real choices, not one sentence again
        // STORE writes every node's path, name, attributes, word and lookup, and every entry;
        // RECOVER brings the sentences back without drawing, and STORE writes the same again.
        for (int style : {1, 0}) {
            const Sentences before = run(2024, 1);
            const std::string text = stored(style);
            const std::string name = file(set + ".trees", text);
            ASSERT_NE(run(77, 1), before);
            const std::uint32_t drawn = seed;
            restorenode(name.c_str());
            EXPECT_EQ(std::tuple(seed, sentences(), stored(style)),
                      std::tuple(drawn, before, text));
        }
    }
    corenum = keep;
    EXPECT_EQ(messages("Question  : ").size(), messages("Answer    : ").size());
    EXPECT_TRUE(messages("Transformed Sentence").empty());
    // The French set reads the same whether its files are in UTF-8 or in Latin-1.
    const Sentences shipped = run(4243, 30);
    load("french", true);
    EXPECT_EQ(run(4243, 30), shipped);
    EXPECT_TRUE(std::any_of(shipped.begin(), shipped.end(), [](const std::string& s) {
        return std::any_of(s.begin(), s.end(), [](char c) { return (c & 0x80) != 0; });
    })) << "the sentences should hold accented letters";
}

}  // namespace
