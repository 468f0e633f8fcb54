// The example rule sets under examples/ as a user runs them: they load without a single error,
// generation with a fixed seed repeats itself, every alternative of their grammars and every
// entry of their lexicons is reached, and the sentences they make agree in number, person and
// gender.
#include <algorithm>
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
using Sentences = std::vector<std::string>;

// The interior nodes of a tree with the names of their daughters, in order: "NP: DET ADJ N".
void shapes(const treenode* n, std::set<std::string>& out) {
    if (n == nullptr || n->son == nullptr) return;
    std::string s = n->name + ":";
    for (const treenode* d = n->son; d != nullptr; d = d->sibling)
        s += " " + d->name;
    out.insert(s);
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

// The word of a leaf's entry as written, without its quotes.
std::string base_of(const treenode* leaf) {
    const char* e = leaf->dictionary != nullptr ? leaf->dictionary->dictionary : nullptr;
    const std::string s = e != nullptr ? e : "";
    const auto a = s.find('"'), b = a == std::string::npos ? a : s.find('"', a + 1);
    return b == std::string::npos ? std::string() : s.substr(a + 1, b - a - 1);
}

// The value a one-segment compound of the leaf gives to the attribute type `type`, by name.
std::string value_of(const treenode* leaf, const char* type) {
    if (lookup_attr(type) == 0) return {};
    const int want = att_class;
    for (const s_attr_list* l = leaf->attributes.get(); l != nullptr; l = l->next.get()) {
        const s_comp_attr* c = l->first.get();
        if (c == nullptr || c->another) continue;
        const t_delay& d = delay_at(c->index);
        if (d.class_ == want) return att_get_name(d.class_, d.fixed != 0 ? d.choice : -1);
    }
    return {};
}

// The value number the entry's attribute field gives to attribute type `type`, or 0.
int entry_value(const treenode* leaf, int type) {
    const char* e = leaf->dictionary != nullptr ? leaf->dictionary->dictionary : nullptr;
    const std::string s = e != nullptr ? e : "";
    const auto at = s.find(std::string{'\x19', static_cast<char>(type)});
    return at == std::string::npos || at + 2 >= s.size() ? 0
                                                         : static_cast<unsigned char>(s[at + 2]);
}

bool plural_ending(const std::string& s) {
    return s.ends_with("s") || s.ends_with("x");
}

// The leaves of the ROOT clause inside one of the root table's trees.
struct Clause {
    std::vector<const treenode*> words;
    explicit Clause(int row) {
        if (const treenode* top = find_node(rootPtrs[static_cast<std::size_t>(row)], "ROOT"))
            leaves(top->son, words);
    }
    const treenode* first(const Words& names) const {
        for (const treenode* w : words)
            if (names.count(w->name)) return w;
        return nullptr;
    }
    std::size_t position(const treenode* w) const {
        return static_cast<std::size_t>(std::find(words.begin(), words.end(), w) - words.begin());
    }
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
    // loads it with the commands its procedure types. With `other_charset` each file is first
    // rewritten in the other character set: UTF-8 in Latin-1, Latin-1 in UTF-8.
    void load(const std::string& set, bool other_charset = false) {
        uninstall(qfile_table[kKinds - 1].mask);
        const fs::path from = fs::path(ORU_SOURCE_DIR) / "examples" / set;
        void (*const commands[])() = {qattribute, qtmnls, qlexicon, qmorphology, qtbls, qsyntax};
        for (int i = 0; i < 6; ++i) {
            const fs::path to = fs::path(dir_) / (set + "." + kParts[i]);
            fs::copy_file(from / to.filename(), to, fs::copy_options::overwrite_existing);
            if (other_charset) transcode(to);
            ASSERT_TRUE(curfile.assign(to.string()));
            const std::size_t read = messages("from file '" + to.string() + "'").size();
            commands[i]();
            EXPECT_EQ(messages("from file '" + to.string() + "'").size(), read + 1) << to;
        }
        EXPECT_EQ(std::tuple(installed, synstat), std::tuple(1 | 4 | 8 | 16 | 32 | 64, 2));
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
    // Over `rounds` generations with seeds far apart (the generator's first draws from nearby
    // small seeds are alike): the shapes of the clause's nodes, and a check of each answer.
    static std::set<std::string> survey(int rounds,
                                        const std::function<void(const Clause&)>& check) {
        std::set<std::string> seen;
        for (int r = 0; r < rounds && !HasFailure(); ++r) {
            reseed(static_cast<std::uint32_t>((r + 1) * 2654435761u));
            generate();
            const Clause c(2);
            if (c.words.empty()) {
                ADD_FAILURE() << "no ROOT clause in the answer";
                break;
            }
            shapes(find_node(rootPtrs[2], "ROOT"), seen);
            check(c);
        }
        return seen;
    }
    static void expect_clean() {
        EXPECT_TRUE(messages("ERROR").empty()) << messages("ERROR").front();
        EXPECT_TRUE(messages("warning").empty()) << messages("warning").front();
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
        Words questions;
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
    expect_clean();
}

TEST_F(ExampleTest, EnglishQuestionAnswerAndShortAnswerAreOneExchange) {
    load("english");
    const std::map<std::string, bool> det_plural = {
        {"a", false},    {"an", false},   {"this", false}, {"that", false}, {"every", false},
        {"these", true}, {"those", true}, {"some", true},  {"many", true}};
    const std::map<std::string, std::string> pron = {{"I", "1sg"},   {"we", "1pl"},  {"you", "2"},
                                                     {"he", "3sg"},  {"she", "3sg"}, {"it", "3sg"},
                                                     {"they", "3pl"}};
    // What a pronoun of the question becomes in the answer: I and you change places.
    const std::map<std::string, Words> swapped = {{"I", {"you"}},
                                                  {"we", {"you"}},
                                                  {"me", {"you"}},
                                                  {"us", {"you"}},
                                                  {"you", {"I", "we", "me", "us"}}};
    Words subjects;
    const auto seen = survey(400, [&](const Clause& a) {
        const std::string &qs = *genSentences[1], &as = *genSentences[2], &ss = *genSentences[3];
        ASSERT_TRUE(qs[0] >= 'A' && qs[0] <= 'Z' && qs.ends_with("?")) << qs;
        ASSERT_TRUE(as.starts_with("Yes, ") && as.ends_with(".") && ss.starts_with("Yes, ")) << as;
        // A noun is plural exactly when its determiner asks for it.
        for (std::size_t i = 0; i + 1 < a.words.size(); ++i) {
            const treenode* noun = a.after(i, "N");
            const auto d = det_plural.find(a.words[i]->morphed_word);
            if (a.words[i]->name == "DET" && noun != nullptr && d != det_plural.end()) {
                EXPECT_EQ(noun->morphed_word != base_of(noun), d->second) << as;
            }
        }
        // The answer's verb agrees with its subject, after I and you changed places.
        const treenode* subj = a.words.front();
        const std::string person = subj->name == "PRON" ? pron.at(subj->morphed_word)
                                   : a.first({"N"})->morphed_word == base_of(a.first({"N"}))
                                       ? "3sg"
                                       : "3pl";
        subjects.insert(subj->morphed_word);
        const treenode* verb = a.first({"VI", "VT", "COP"});
        ASSERT_NE(verb, nullptr) << as;
        const std::string& v = verb->morphed_word;
        const bool past = value_of(verb, "TENSE") == "past";
        if (verb->name == "COP") {
            const Words ok = person == "1sg"   ? Words{"am", "was"}
                             : person == "3sg" ? Words{"is", "was"}
                                               : Words{"are", "were"};
            EXPECT_TRUE(ok.count(v)) << as;
        } else {  // -s in the third person singular present, the past form in the past
            EXPECT_EQ(v != base_of(verb), person == "3sg" || past) << as;
        }
        // The question: be first, or do in the verb's tense and person with the bare verb;
        // otherwise the answer's words, I and you changed.
        const Clause q(1);
        const treenode* lead = q.words.front();
        std::vector<const treenode*> qrest(q.words.begin() + 1, q.words.end()), arest = a.words;
        arest.erase(arest.begin() + static_cast<long>(a.position(verb)));
        if (verb->name != "COP") {
            ASSERT_EQ(lead->name, "AUX") << qs;
            EXPECT_EQ(lead->morphed_word, past ? "did" : person == "3sg" ? "does" : "do") << qs;
            const treenode* bare = q.first({"VI", "VT"});
            ASSERT_NE(bare, nullptr) << qs;
            EXPECT_EQ(bare->morphed_word, base_of(verb)) << qs;
            qrest.erase(qrest.begin() + static_cast<long>(q.position(bare)) - 1);
        }
        ASSERT_EQ(qrest.size(), arest.size()) << qs << " / " << as;
        for (std::size_t i = 0; i < qrest.size(); ++i) {
            const std::string &qw = qrest[i]->morphed_word, &aw = arest[i]->morphed_word;
            const auto sw = swapped.find(qw);
            EXPECT_TRUE(sw != swapped.end() ? sw->second.count(aw) != 0 : qw == aw) << qs << as;
        }
        // The short answer: the answer's subject and be, or do in the answer's person.
        const Clause s(3);
        const std::size_t subject_words = a.position(verb);
        ASSERT_EQ(s.words.size(), subject_words + 1) << ss;
        for (std::size_t i = 0; i < subject_words; ++i)
            EXPECT_EQ(s.words[i]->morphed_word, a.words[i]->morphed_word) << ss;
        EXPECT_EQ(s.words.back()->morphed_word, verb->name == "COP" ? v
                                                : past              ? "did"
                                                : person == "3sg"   ? "does"
                                                                    : "do")
            << ss << " / " << as;
    });
    // Every alternative of the grammar, as the shapes of the nodes it makes; every subject.
    for (const char* shape : {"SUBJ: NP", "SUBJ: PRON", "PRED: VI", "PRED: VI ADVM", "PRED: VT OBJ",
                              "PRED: COP ADJ", "PRED: COP ADV ADJ", "OBJ: NP", "OBJ: PRON",
                              "NP: DET N", "NP: DET ADJ N", "NP: DET ADV ADJ N", "ROOT: SUBJ PRED"})
        EXPECT_TRUE(seen.count(shape)) << shape;
    for (const auto& [p, person] : pron)
        EXPECT_TRUE(subjects.count(p)) << p;
    expect_clean();
}

TEST_F(ExampleTest, FrenchSentencesAgreeAndTheAnswerChangesJeAndTu) {
    load("french");
    ASSERT_NE(lookup_attr("masc"), 0);
    const int genre = att_class, masc = att_value;
    const Words pl_det = {"les", "des", "ces", "ses", "de", "d'"};
    const Words fem_det = {"la", "une", "cette", "sa"}, masc_det = {"le", "un", "ce", "cet"};
    const std::map<std::string, std::string> pron = {
        {"je", "1sg"},   {"j'^", "1sg"},  {"tu", "2sg"},  {"il", "3sg"},   {"elle", "3sg"},
        {"nous", "1pl"}, {"vous", "2pl"}, {"ils", "3pl"}, {"elles", "3pl"}};
    const std::map<std::string, Words> swapped = {{"je", {"tu"}},
                                                  {"j'^", {"tu"}},
                                                  {"tu", {"je", "j'^"}},
                                                  {"nous", {"vous"}},
                                                  {"vous", {"nous"}}};
    Words subjects;
    bool de_seen = false;
    const auto seen = survey(400, [&](const Clause& c) {
        const std::string &q = *genSentences[1], &a = *genSentences[2];
        ASSERT_TRUE(q.starts_with("Est-ce qu") && q.ends_with(" ?") && a.starts_with("Oui, ") &&
                    a.ends_with("."))
            << q << " / " << a;
        // In a noun phrase determiner, adjectives and noun share number and gender; des is de
        // before an adjective.
        std::string person;
        int subject_gender = 0;  // 1 masculine, 2 feminine
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            std::string det = c.words[i]->morphed_word;
            if (c.words[i]->name != "DET" && det != "de" && det != "d'^") continue;
            if (det.ends_with("'^")) det.pop_back();  // l'^ glues on
            std::size_t j = i + 1;
            while (c.words[j]->name != "N")
                ++j;
            const treenode* noun = c.words[j];
            const bool fem = entry_value(noun, genre) != masc;
            const bool plural = pl_det.count(det) != 0;
            EXPECT_TRUE(plural ? plural_ending(noun->morphed_word)
                               : noun->morphed_word == base_of(noun))
                << a;
            EXPECT_TRUE(!fem_det.count(det) || fem) << a;
            EXPECT_TRUE(!masc_det.count(det) || !fem) << a;
            EXPECT_EQ(det == "de" || det == "d'", c.words[i]->name == "MOT") << a;
            EXPECT_TRUE(det != "des" || c.words[i + 1]->name != "ADJA") << a;
            EXPECT_TRUE((det != "de" && det != "d'") || c.words[i + 1]->name == "ADJA") << a;
            de_seen = de_seen || det == "de";
            for (std::size_t k = i + 1; k < c.words.size() && k <= j + 2; ++k) {
                const treenode* adj = c.words[k];
                if (adj->name != "ADJ" && adj->name != "ADJA") continue;
                const std::string &f = adj->morphed_word, b = base_of(adj);
                EXPECT_TRUE(plural || fem || f == b) << a;
                EXPECT_TRUE(!plural || plural_ending(f)) << a;
                EXPECT_TRUE(!fem || f.ends_with(plural ? "es" : "e")) << a;
                EXPECT_TRUE(!fem || b.ends_with("e") || f != b + (plural ? "s" : "")) << a;
            }
            if (i == 0) person = plural ? "3pl" : "3sg", subject_gender = fem ? 2 : 1;
        }
        // The verb agrees with its subject in person and number.
        const treenode* subj = c.words.front();
        if (subj->name == "PRON") {
            person = pron.at(subj->morphed_word);
            subjects.insert(subj->morphed_word);
            if (person[0] == '3') subject_gender = subj->morphed_word.starts_with("il") ? 1 : 2;
        }
        const treenode* verb = c.first({"VI", "VT", "COP"});
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
            const std::string& f = adj->morphed_word;
            EXPECT_TRUE(!person.ends_with("pl") || plural_ending(f)) << a;
            EXPECT_TRUE(subject_gender != 1 || person.ends_with("pl") || f == base_of(adj)) << a;
            EXPECT_TRUE(subject_gender != 2 || f.ends_with(person.ends_with("pl") ? "es" : "e"))
                << a;
        }
        // The question's clause is the answer's with je and tu (nous and vous) changed round.
        const Clause qc(1);
        ASSERT_EQ(qc.words.size(), c.words.size()) << q << " / " << a;
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            const treenode *qw = qc.words[i], *aw = c.words[i];
            const auto sw = swapped.find(qw->morphed_word);
            if (sw != swapped.end()) {
                EXPECT_TRUE(sw->second.count(aw->morphed_word)) << q << " / " << a;
            } else {
                EXPECT_EQ(aw == verb ? base_of(qw) : qw->morphed_word,
                          aw == verb ? base_of(aw) : aw->morphed_word)
                    << q << " / " << a;
            }
        }
    });
    for (const char* shape : {"SUJET: GN", "SUJET: PRON", "PRED: VI", "PRED: VI ADVM",
                              "PRED: VT OBJET", "PRED: COP ADJ", "PRED: COP ADV ADJ", "OBJET: GN",
                              "GN: DET N", "GN: DET ADJA N", "GN: MOT ADJA N", "GN: DET N ADJ",
                              "GN: DET ADJA N ADJ", "GN: DET N ADV ADJ", "GN: DET ADJA N ADV ADJ"})
        EXPECT_TRUE(seen.count(shape)) << shape;
    for (const auto& [p, person] : pron)
        EXPECT_TRUE(subjects.count(p)) << p;
    EXPECT_TRUE(de_seen);
    expect_clean();
}

TEST_F(ExampleTest, EveryWeightedLexiconEntryOfBothSetsIsChosenSometimes) {
    for (const std::string set : {"english", "french"}) {
        SCOPED_TRACE(set);
        load(set);
        std::set<const char*> chosen;
        for (int r = 0; r < 1500; ++r) {
            reseed(static_cast<std::uint32_t>((r + 1) * 2654435761u));
            generate();
            for (int i = 0; i < d_table_count; ++i)
                chosen.insert(dict_table[static_cast<std::size_t>(i)].dictionary);
        }
        for (int t = 0; t < dictterm; ++t) {
            for (const recnode* e = dictionary[static_cast<std::size_t>(t)]; e != nullptr;
                 e = e->previous) {
                // Weight 0: a related word that answers may use, never generated.
                if (entry_weight(e->recordptr) == 0) {
                    EXPECT_FALSE(chosen.count(e->recordptr)) << e->recordptr;
                } else {
                    EXPECT_TRUE(chosen.count(e->recordptr)) << e->recordptr;
                }
            }
        }
        uninstall(qfile_table[kKinds - 1].mask);
    }
}

}  // namespace
