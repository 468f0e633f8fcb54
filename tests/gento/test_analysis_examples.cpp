// Response analysis on the example rule sets as their procedures load them: the files read
// without an error, every word of every generated sentence has sounds and spells them, a sentence
// typed back as it reads is CORRECT, and errors made in it are found where they were made.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "analysis_fixture.hpp"
#include "syn_misc.hpp"

namespace fs = std::filesystem;

namespace {

// The files of a set, with the commands its procedure types to load them.
const std::pair<const char*, void (*)()> kFiles[] = {
    {"att", qattribute},  {"tm", qtmnls},      {"lex", qlexicon},
    {"mor", qmorphology}, {"tbl", qtbls},      {"syn", qsyntax},
    {"tag", qtginfo},     {"mre", qmrpherror}, {"ipa", qipa}};

}  // namespace

class ExampleAnalysisTest : public GentoTest, public ::testing::WithParamInterface<const char*> {
  protected:
    void TearDown() override {
        uninstall(qfile_table[kKinds - 1].mask);
        GentoTest::TearDown();
    }
    // Loads the set with the commands its procedure types.
    void load(const char* set) {
        const fs::path from = fs::path(ORU_SOURCE_DIR) / "examples" / set;
        for (const auto& [suffix, command] : kFiles) {
            const std::string name = std::string(set) + "." + suffix;
            fs::copy_file(from / name, fs::path(dir_) / name, fs::copy_options::overwrite_existing);
            ASSERT_TRUE(curfile.assign(dir_ + "/" + name)) << name;
            command();
        }
        set_morph_passes(kPassRows - 1, 8, 9, 0, 0);
    }
    // The report of `response` checked against root r alone.
    static std::vector<std::string> report(const std::string& response, int r) {
        return added_by([&] { err_analysis_single(std::string_view(response), r); }, 15);
    }

    // Root r's sentence: its words are the sentence's, every word spells its own sounds, typed
    // back it is CORRECT, and its last word that has another inflection, typed so, is MORPH.
    void check_root(int r, const std::string& sentence, std::set<std::string>& soundless,
                    int& inflected) {
        treenode* tree = err_root_tree(r);
        std::string joined;
        for (const expected_word& w : err_expected_words(tree))
            joined += (joined.empty() ? "" : " ") + w.text;
        EXPECT_EQ(joined, sentence);

        for (treenode* leaf : err_leaves(tree)) {
            const std::string& word = leaf->morphed_word;
            if (word.find('^') != std::string::npos) continue;  // glued to its neighbour
            lexdiff d;
            if (!ipa_of(leaf).empty()) {
                EXPECT_EQ(err_match_phono(word, leaf, d), 1) << word << " /" << ipa_of(leaf) << "/";
                EXPECT_EQ(d.error, "") << word;
            } else if (!word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) {
                           return std::isalpha(c) != 0;
                       })) {
                soundless.insert(word);
            }
        }

        const std::vector<std::string> correct = report(sentence, r);
        ASSERT_GE(correct.size(), 6U);
        EXPECT_EQ(correct[4], "CORRECT") << sentence;

        mrmodify();
        all_variants(tree);
        const std::vector<expected_word> words = err_expected_words(tree);
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
        release_variants(tree);
        if (other.empty()) return;
        std::string response;
        for (std::size_t i = 0; i < words.size(); ++i)
            response += (i > 0 ? " " : "") + (i == at ? other : words[i].text);
        const std::vector<std::string> lines = report(response, r);
        const std::string prefix = "C" + std::to_string(at + 1) + " S" + std::to_string(at + 1) +
                                   "   MORPH    " + words[at].text + "/" + other + " ";
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.starts_with(prefix); }),
                  1)
            << response;
        ++inflected;
    }
};

TEST_P(ExampleAnalysisTest, GeneratedSentencesAreCorrectAndTheirErrorsAreFound) {
    load(GetParam());
    ASSERT_EQ(messages("ERROR").size() + messages("warning").size(), 0U) << lines_of(kMsgCore)[1];
    int inflected = 0;
    std::set<std::string> soundless;  // words of letters only that have no sounds
    for (int round = 0; round < 40 && !HasFailure(); ++round) {
        reseed(static_cast<std::uint32_t>((round + 1) * 2654435761u));
        generate();
        // The question, the answer and, where the syntax has one, the short answer.
        for (int r = 0; r < kRoots; ++r) {
            if (!genSentences[static_cast<std::size_t>(r)] || err_root_tree(r) == nullptr) continue;
            SCOPED_TRACE("R" + std::to_string(r));
            check_root(r, *genSentences[static_cast<std::size_t>(r)], soundless, inflected);
        }
    }
    EXPECT_TRUE(soundless.empty()) << *soundless.begin();
    EXPECT_GT(inflected, 30);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleAnalysisTest, ::testing::Values("english", "french"),
                         [](const auto& info) { return std::string(info.param); });
