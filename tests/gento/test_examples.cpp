// The example rule sets under examples/ as a user runs them: they load without a single error,
// generation with a fixed seed repeats itself, every alternative of their grammars is reached,
// and the sentences they make agree in number, person and gender.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "encoding.hpp"
#include "gento.hpp"
#include "gento_fixture.hpp"
#include "syn_read.hpp"

namespace fs = std::filesystem;

namespace {

const char* const kParts[] = {"att", "tm", "lex", "mor", "tbl", "syn"};
using Words = std::set<std::string>;

// The interior nodes of a tree with the names of their daughters, in order: "NP: DET ADJ N".
void shapes(const treenode* n, std::vector<std::string>& out) {
    if (n == nullptr || n->son == nullptr) return;
    std::string s = n->name + ":";
    for (const treenode* d = n->son; d != nullptr; d = d->sibling)
        s += " " + d->name;
    out.push_back(s);
    for (const treenode* d = n->son; d != nullptr; d = d->sibling)
        shapes(d, out);
}

const treenode* find_node(const treenode* n, const std::string& name) {
    for (; n != nullptr; n = n->sibling) {
        if (n->name == name) return n;
        if (const treenode* f = find_node(n->son, name)) return f;
    }
    return nullptr;
}

void leaves(const treenode* n, std::vector<const treenode*>& out) {
    for (; n != nullptr; n = n->sibling) {
        if (n->son == nullptr)
            out.push_back(n);
        else
            leaves(n->son, out);
    }
}

// The lexicon entry chosen for a leaf, or the empty text.
std::string entry_of(const treenode* leaf) {
    if (leaf->dictionary == nullptr || leaf->dictionary->dictionary == nullptr) return {};
    return leaf->dictionary->dictionary;
}

// The word of an entry as written, without its quotes.
std::string base_of(const treenode* leaf) {
    const std::string e = entry_of(leaf);
    const auto a = e.find('"');
    const auto b = a == std::string::npos ? a : e.find('"', a + 1);
    return b == std::string::npos ? std::string() : e.substr(a + 1, b - a - 1);
}

// The value number that the entry's attribute field gives to the attribute type named `type`,
// or 0 when it names none (255 when it names only the type).
int entry_value(const treenode* leaf, const char* type) {
    if (lookup_attr(type) == 0) return 0;
    const int want = att_class;
    const std::string e = entry_of(leaf);
    std::size_t p = e.find('|');
    p = p == std::string::npos ? p : e.find('|', p + 1);  // the attribute field follows
    for (std::size_t i = p + 1; p != std::string::npos && i + 2 < e.size() && e[i] != '|'; ++i) {
        if (e[i] == 25 && static_cast<unsigned char>(e[i + 1]) == want)
            return static_cast<unsigned char>(e[i + 2]);
    }
    return 0;
}

// A word that a and an, or le and l', tell apart (an h is silent in the French examples).
bool starts_with_vowel(const std::string& s, bool french = false) {
    const std::string vowels = french ? "aeiouh\xe9" : "aeiou";
    return !s.empty() && vowels.find(s[0]) != std::string::npos;
}

bool plural_ending(const std::string& s) {
    return s.ends_with("s") || s.ends_with("x");
}

// The leaves of one generated clause: the copy of ROOT inside the ANSWER tree.
struct Clause {
    const treenode* top = nullptr;
    std::vector<const treenode*> words;
    const treenode* first(const Words& names) const {
        for (const treenode* w : words)
            if (names.count(w->name)) return w;
        return nullptr;
    }
    const treenode* verb() const { return first({"VI", "VT", "COP"}); }
    // The first word named `name` after word i.
    const treenode* after(std::size_t i, const std::string& name) const {
        while (++i < words.size())
            if (words[i]->name == name) return words[i];
        return nullptr;
    }
};

class ExampleTest : public GentoTest {
  protected:
    void TearDown() override {
        uninstall(qfile_table[kKinds - 1].mask);
        GentoTest::TearDown();
    }

    // Copies a set into the scratch folder, so the names fit a command's file parameter, and
    // loads it with the commands its procedure types.
    // With `other_charset` each file is first rewritten in the other character set: a UTF-8
    // file in Latin-1, a Latin-1 file in UTF-8.
    void load(const std::string& set, bool other_charset = false) {
        const fs::path from = fs::path(ORU_SOURCE_DIR) / "examples" / set;
        void (*const commands[])() = {qattribute, qtmnls, qlexicon, qmorphology, qtbls, qsyntax};
        for (int i = 0; i < 6; ++i) {
            const std::string name = set + "." + kParts[i];
            fs::copy_file(from / name, fs::path(dir_) / name, fs::copy_options::overwrite_existing);
            if (other_charset) transcode(fs::path(dir_) / name);
            ASSERT_TRUE(curfile.assign(dir_ + "/" + name)) << name;
            commands[i]();
        }
    }

    static void transcode(const fs::path& p) {
        std::string text;
        {
            std::ifstream in(p, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        std::string out;
        if (sniff(text).kind == Sniff::Utf8) {
            out = text;
            decode_file_text(out);
        } else {
            latin1_to_utf8(text, out);
        }
        std::ofstream(p, std::ios::binary | std::ios::trunc) << out;
    }

    // One press of the generate key; the question and the answer it made.
    static std::pair<std::string, std::string> generate_pair() {
        generate();
        auto text = [](int n) { return genSentences[n] ? *genSentences[n] : std::string("-"); };
        return {text(1), text(2)};
    }

    // Over `rounds` generations with different seeds: the shapes of the clause's nodes seen, and
    // a check of every clause.
    std::set<std::string> survey(int rounds, const std::function<void(const Clause&)>& check) {
        std::set<std::string> seen;
        for (int r = 0; r < rounds && !HasFailure(); ++r) {
            // Seeds far apart: the generator's first draws from nearby small seeds are alike.
            reseed(static_cast<std::uint32_t>((r + 1) * 2654435761u));
            generate_pair();
            Clause c;
            c.top = find_node(rootPtrs[2], "ROOT");
            EXPECT_NE(c.top, nullptr);
            if (c.top == nullptr) break;
            leaves(c.top->son, c.words);
            std::vector<std::string> s;
            shapes(c.top, s);
            seen.insert(s.begin(), s.end());
            check(c);
        }
        return seen;
    }

    static void expect_clean() {
        EXPECT_TRUE(messages("ERROR").empty()) << messages("ERROR").front();
        EXPECT_TRUE(messages("warning").empty()) << messages("warning").front();
    }
};

TEST_F(ExampleTest, BothSetsLoadAndGenerateQuestionsAndAnswersWithoutAnError) {
    for (const std::string set : {"english", "french"}) {
        SCOPED_TRACE(set);
        const std::size_t questions = messages("Question  : ").size();
        const std::size_t answers = messages("Answer    : ").size();
        load(set);
        for (const char* part : kParts) {
            const std::string name = dir_ + "/" + set + "." + part;
            EXPECT_EQ(messages("from file '" + name + "'").size(), 1u) << name;
        }
        EXPECT_EQ(installed, 1 | 4 | 8 | 16 | 32 | 64);
        EXPECT_EQ(synstat, 2);  // the syntax has a ROOT rule
        for (int i = 0; i < 40; ++i)
            generate_pair();
        EXPECT_EQ(messages("Question  : ").size(), questions + 40);
        EXPECT_EQ(messages("Answer    : ").size(), answers + 40);
        EXPECT_TRUE(messages("Transformed Sentence").empty());
        expect_clean();
        uninstall(qfile_table[kKinds - 1].mask);
    }
}

// The French set reads the same whether its files are in UTF-8 or in Latin-1.
TEST_F(ExampleTest, TheFrenchSetMakesTheSameSentencesInEitherCharacterSet) {
    auto run = [this](bool other) {
        load("french", other);
        reseed(4243);
        std::vector<std::pair<std::string, std::string>> out;
        for (int i = 0; i < 30; ++i)
            out.push_back(generate_pair());
        expect_clean();
        uninstall(qfile_table[kKinds - 1].mask);
        return out;
    };
    const auto as_shipped = run(false);
    const auto transcoded = run(true);
    EXPECT_EQ(transcoded, as_shipped);
    bool accented = false;
    for (const auto& [q, a] : as_shipped) {
        for (const char ch : q + a)
            accented = accented || static_cast<unsigned char>(ch) >= 0x80;
    }
    EXPECT_TRUE(accented) << "the sentences should hold accented letters";
}

TEST_F(ExampleTest, AFixedSeedRepeatsTheSameSentences) {
    load("english");
    auto run = [](std::uint32_t s) {
        reseed(s);
        std::vector<std::pair<std::string, std::string>> out;
        for (int i = 0; i < 12; ++i)
            out.push_back(generate_pair());
        return out;
    };
    const auto first = run(4243);
    EXPECT_EQ(run(4243), first);
    EXPECT_NE(run(977), first);
    std::set<std::string> distinct;
    for (const auto& [q, a] : first)
        distinct.insert(q);
    EXPECT_GT(distinct.size(), 6u);  // the seed drives real choices, not one sentence again
}

TEST_F(ExampleTest, EnglishSentencesAgreeAndFormAPair) {
    load("english");
    Words subjects;  // the guard lets only a third person be a noun phrase
    const std::map<std::string, bool> det_plural = {
        {"a", false},    {"an", false},   {"this", false}, {"that", false}, {"every", false},
        {"these", true}, {"those", true}, {"some", true},  {"many", true}};
    const std::map<std::string, std::string> pron = {{"I", "1sg"},   {"we", "1pl"},  {"you", "2"},
                                                     {"he", "3sg"},  {"she", "3sg"}, {"it", "3sg"},
                                                     {"they", "3pl"}};
    const Words object_pron = {"me", "us", "you", "him", "her", "it", "them"};
    int checked = 0;
    const auto seen = survey(400, [&](const Clause& c) {
        const std::string& q = *genSentences[1];
        const std::string& a = *genSentences[2];
        // The pair is about one clause, capitalised and punctuated.
        ASSERT_TRUE(q.starts_with("Do you know that ") && q.ends_with("?")) << q;
        ASSERT_TRUE(a.starts_with("Yes, I know that ") && a.ends_with(".")) << a;
        EXPECT_EQ(q.substr(17, q.size() - 18), a.substr(17, a.size() - 18));
        EXPECT_EQ(a.find("  "), std::string::npos) << a;

        // Each noun: plural exactly when its determiner asks for it; a/an by the next word.
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            const treenode* w = c.words[i];
            if (w->name != "DET") continue;
            const treenode* noun = c.after(i, "N");
            ASSERT_NE(noun, nullptr) << a;
            if (auto d = det_plural.find(w->morphed_word); d != det_plural.end()) {
                EXPECT_EQ(noun->morphed_word != base_of(noun), d->second) << a;
            }
            if (base_of(w) == "a") {
                const bool vowel = starts_with_vowel(c.words[i + 1]->morphed_word);
                EXPECT_EQ(w->morphed_word, vowel ? "an" : "a") << a;
            }
        }

        // The subject's person and number, from the words themselves.
        const treenode* subj = c.words.front();
        std::string person;
        if (subj->name == "PRON") {
            ASSERT_TRUE(pron.count(subj->morphed_word)) << a;
            person = pron.at(subj->morphed_word);
            subjects.insert(subj->morphed_word);
        } else {
            const treenode* noun = c.first({"N"});
            ASSERT_NE(noun, nullptr) << a;
            person = noun->morphed_word == base_of(noun) ? "3sg" : "3pl";
        }
        const treenode* verb = c.verb();
        ASSERT_NE(verb, nullptr) << a;
        const std::string& v = verb->morphed_word;
        if (verb->name == "COP") {
            const Words ok = person == "1sg"   ? Words{"am", "was"}
                             : person == "3sg" ? Words{"is", "was"}
                                               : Words{"are", "were"};
            EXPECT_TRUE(ok.count(v)) << a;
        } else if (person == "3sg") {
            EXPECT_NE(v, base_of(verb)) << a;  // -s in the present, the past form otherwise
        } else {
            EXPECT_FALSE(v.ends_with("s")) << a;
        }
        // A subject pronoun is in the subject case, an object pronoun in the object case.
        for (std::size_t i = 1; i < c.words.size(); ++i)
            EXPECT_TRUE(c.words[i]->name != "PRON" || object_pron.count(c.words[i]->morphed_word))
                << a;
        ++checked;
    });
    EXPECT_EQ(checked, 400);
    // Every alternative of the grammar, as the shapes of the nodes it makes.
    for (const char* shape : {"SUBJ: NP", "SUBJ: PRON", "PRED: VI", "PRED: VI ADVM", "PRED: VT OBJ",
                              "PRED: COP ADJ", "PRED: COP ADV ADJ", "OBJ: NP", "OBJ: PRON",
                              "NP: DET N", "NP: DET ADJ N", "NP: DET ADV ADJ N", "ROOT: SUBJ PRED"})
        EXPECT_TRUE(seen.count(shape)) << shape;
    for (const auto& [p, person] : pron)
        EXPECT_TRUE(subjects.count(p)) << p;
    expect_clean();
}

TEST_F(ExampleTest, FrenchSentencesAgreeInGenderNumberAndPerson) {
    load("french");
    ASSERT_NE(lookup_attr("masc"), 0);
    const int masc = att_value;
    const Words sg_det = {"le", "la", "l'", "un", "une", "ce", "cet", "cette", "mon", "ma"};
    const Words pl_det = {"les", "des", "ces", "mes"};
    const Words fem_det = {"la", "une", "cette", "ma"}, masc_det = {"le", "un", "ce", "cet"};
    const std::map<std::string, std::string> pron = {
        {"je", "1sg"},   {"j'^", "1sg"},  {"tu", "2sg"},  {"il", "3sg"},   {"elle", "3sg"},
        {"nous", "1pl"}, {"vous", "2pl"}, {"ils", "3pl"}, {"elles", "3pl"}};
    const auto seen = survey(400, [&](const Clause& c) {
        const std::string& q = *genSentences[1];
        const std::string& a = *genSentences[2];
        ASSERT_TRUE(q.starts_with("Est-ce que ") || q.starts_with("Est-ce qu'")) << q;
        ASSERT_TRUE(q.ends_with(" ?") && a.starts_with("Oui, ") && a.ends_with(".")) << a;
        auto next_vowel = [&](std::size_t i) {
            return starts_with_vowel(c.words[i + 1]->morphed_word, true);
        };

        // Within each noun phrase, determiner, adjectives and noun share number and gender.
        bool subject_plural = false;
        int subject_gender = 0;
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            if (c.words[i]->name != "DET") continue;
            std::string det = c.words[i]->morphed_word;
            if (det.ends_with("'^")) det.pop_back();  // l'^ glues on
            std::size_t j = i + 1;
            while (c.words[j]->name != "N")
                ++j;
            const treenode* noun = c.words[j];
            const bool fem = entry_value(noun, "GENRE") != masc;
            const bool plural = pl_det.count(det) != 0;
            ASSERT_TRUE(plural || sg_det.count(det)) << a;
            if (plural) {
                EXPECT_TRUE(plural_ending(noun->morphed_word)) << a;
            } else {
                EXPECT_EQ(noun->morphed_word, base_of(noun)) << a;
            }
            EXPECT_TRUE(!fem_det.count(det) || fem) << a;
            EXPECT_TRUE(!masc_det.count(det) || !fem) << a;
            EXPECT_TRUE((det != "l'" && det != "cet") || next_vowel(i)) << a;
            EXPECT_TRUE((det != "le" && det != "la" && det != "ce") || !next_vowel(i)) << a;
            for (std::size_t k = i + 1; k < c.words.size() && k <= j + 2; ++k) {
                const treenode* adj = c.words[k];
                if (adj->name != "ADJ" && adj->name != "ADJA") continue;
                const std::string& f = adj->morphed_word;
                const std::string b = base_of(adj);
                EXPECT_TRUE(plural || fem || f == b) << a;
                EXPECT_TRUE(!plural || plural_ending(f)) << a;
                EXPECT_TRUE(!fem || f.ends_with(plural ? "es" : "e")) << a;
                EXPECT_TRUE(!fem || b.ends_with("e") || f != b + (plural ? "s" : "")) << a;
            }
            if (i == 0) subject_plural = plural, subject_gender = fem ? 2 : 1;
        }

        // The verb agrees with its subject in person and number.
        const treenode* subj = c.words.front();
        std::string person = subject_plural ? "3pl" : "3sg";
        if (subj->name == "PRON") {
            const std::string& p = subj->morphed_word;
            ASSERT_TRUE(pron.count(p)) << a;
            person = pron.at(p);
            if (person[0] == '3') subject_gender = p.starts_with("il") ? 1 : 2;
            EXPECT_TRUE(p != "je" || !next_vowel(0)) << a;
            EXPECT_TRUE(p != "j'^" || next_vowel(0)) << a;
        }
        const treenode* verb = c.verb();
        ASSERT_NE(verb, nullptr) << a;
        const std::string& v = verb->morphed_word;
        EXPECT_EQ(v.ends_with("ons") || v == "sommes", person == "1pl") << a;
        EXPECT_EQ(v.ends_with("ez") || v == "\xeates", person == "2pl") << a;
        EXPECT_EQ(v.ends_with("ent") || v.ends_with("ont"), person == "3pl") << a;
        EXPECT_TRUE(person != "2sg" || v.ends_with("s")) << a;
        EXPECT_TRUE(person != "3sg" || !v.ends_with("s")) << a;

        // An adjective after être agrees with the subject.
        if (verb->name == "COP") {
            const treenode* adj = c.words.back();
            ASSERT_EQ(adj->name, "ADJ") << a;
            const bool pl = person.ends_with("pl");
            const std::string& f = adj->morphed_word;
            EXPECT_TRUE(!pl || plural_ending(f)) << a;
            EXPECT_TRUE(subject_gender != 1 || pl || f == base_of(adj)) << a;
            EXPECT_TRUE(subject_gender != 2 || f.ends_with(pl ? "es" : "e")) << a;
        }
    });
    for (const char* shape :
         {"SUJET: GN", "SUJET: PRON", "PRED: VI", "PRED: VI ADVM", "PRED: VT OBJET",
          "PRED: COP ADJ", "PRED: COP ADV ADJ", "OBJET: GN", "GN: DET N", "GN: DET ADJA N",
          "GN: DET N ADJ", "GN: DET ADJA N ADJ", "GN: DET N ADV ADJ", "GN: DET ADJA N ADV ADJ"})
        EXPECT_TRUE(seen.count(shape)) << shape;
    expect_clean();
}

}  // namespace
