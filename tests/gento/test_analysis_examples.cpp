// Response analysis on the example rule sets as their procedures load them: the files read
// without an error, every generated word spells its own sounds, a sentence typed back as it reads
// is CORRECT, and errors made in it are found where they were made.
#include <filesystem>
#include <string>
#include <vector>

#include "analysis_fixture.hpp"
#include "syn_misc.hpp"

namespace fs = std::filesystem;

namespace {

struct Set {
    const char* name;
    std::vector<std::pair<const char*, void (*)()>> files;
};

const Set kSets[] = {
    {"english",
     {{"att", qattribute},
      {"tm", qtmnls},
      {"lex", qlexicon},
      {"mor", qmorphology},
      {"tbl", qtbls},
      {"syn", qsyntax},
      {"tag", qtginfo},
      {"mre", qmrpherror},
      {"ipa", qipa}}},
    {"french",
     {{"att", qattribute},
      {"tm", qtmnls},
      {"lex", qlexicon},
      {"mor", qmorphology},
      {"tbl", qtbls},
      {"syn", qsyntax},
      {"tag", qtginfo},
      {"mre", qmrpherror},
      {"ipa", qipa}}},
};

}  // namespace

class ExampleAnalysisTest : public GentoTest, public ::testing::WithParamInterface<Set> {
  protected:
    void TearDown() override {
        uninstall(qfile_table[kKinds - 1].mask);
        GentoTest::TearDown();
    }
    // Loads the set with the commands its procedure types.
    void load(const Set& set) {
        const fs::path from = fs::path(ORU_SOURCE_DIR) / "examples" / set.name;
        for (const auto& [suffix, command] : set.files) {
            const std::string name = std::string(set.name) + "." + suffix;
            fs::copy_file(from / name, fs::path(dir_) / name, fs::copy_options::overwrite_existing);
            ASSERT_TRUE(curfile.assign(dir_ + "/" + name)) << name;
            command();
        }
        set_morph_passes(kPassRows - 1, 8, 9, 0, 0);
    }
    static std::vector<std::string> report(const std::string& response) {
        const std::size_t before = lines_of(15).size();
        err_analysis(std::string_view(response));
        const std::vector<std::string> all = lines_of(15);
        return {all.begin() + static_cast<long>(std::min(before, all.size())), all.end()};
    }
};

TEST_P(ExampleAnalysisTest, GeneratedAnswersAreCorrectAndTheirErrorsAreFound) {
    load(GetParam());
    ASSERT_EQ(messages("ERROR").size(), 0U) << messages("ERROR")[0];
    ASSERT_EQ(messages("warning").size(), 0U) << messages("warning")[0];
    int inflected = 0;
    for (int round = 0; round < 40 && !HasFailure(); ++round) {
        reseed(static_cast<std::uint32_t>((round + 1) * 2654435761u));
        generate();
        ASSERT_TRUE(genSentences[2]);
        const std::string answer = *genSentences[2];

        // The words the analysis expects are the sentence's words.
        std::string joined;
        for (const expected_word& w : err_expected_words(rootPtrs[2]))
            joined += (joined.empty() ? "" : " ") + w.text;
        EXPECT_EQ(joined, answer);

        // Every word with sounds spells them itself: the phonology tables cover the lexicon.
        for (treenode* leaf : err_leaves(rootPtrs[2])) {
            if (ipa_of(leaf).empty() || leaf->morphed_word.find('^') != std::string::npos) continue;
            lexdiff d;
            EXPECT_EQ(err_match_phono(leaf->morphed_word, leaf, d), 1)
                << leaf->morphed_word << " /" << ipa_of(leaf) << "/ in " << answer;
            EXPECT_EQ(d.error, "") << leaf->morphed_word;
        }

        const std::vector<std::string> correct = report(answer);
        ASSERT_GE(correct.size(), 6U);
        EXPECT_EQ(correct[4], "CORRECT") << answer;

        // The last verb inflected otherwise is found as an inflection error.
        mrmodify();
        all_variants(rootPtrs[2]);
        const std::vector<expected_word> words = err_expected_words(rootPtrs[2]);
        std::string other;
        std::size_t at = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            for (std::size_t k = 0; k < words[i].leaves.size(); ++k) {
                for (const morphvar* mv = words[i].leaves[k]->mvar.get(); mv != nullptr;
                     mv = mv->next.get()) {
                    const std::string form = err_render(words[i], k, mv->variant);
                    if (form != words[i].text && strdiff(form, words[i].text) != 0) {
                        other = form;
                        at = i;
                    }
                }
            }
        }
        release_variants(rootPtrs[2]);
        if (other.empty()) continue;
        std::string response;
        for (std::size_t i = 0; i < words.size(); ++i)
            response += (i > 0 ? " " : "") + (i == at ? other : words[i].text);
        const std::vector<std::string> lines = report(response);
        const std::string prefix = "C" + std::to_string(at + 1) + " S" + std::to_string(at + 1) +
                                   "   MORPH    " + words[at].text + "/" + other + " ";
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.starts_with(prefix); }),
                  1)
            << response;
        ++inflected;
    }
    EXPECT_GT(inflected, 10);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleAnalysisTest, ::testing::ValuesIn(kSets),
                         [](const auto& info) { return std::string(info.param.name); });
