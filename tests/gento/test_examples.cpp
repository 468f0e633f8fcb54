// The example rule sets under examples/ as a user runs them: they load without a single error,
// generation with a fixed seed repeats itself, every alternative of their grammars is reached,
// and the sentences they make agree in number, person and gender.
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

// The value that a one-segment compound of the leaf gives to the attribute type `type`, by
// name, or the empty text when the leaf has none of that type.
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

// A word that a and an, or le and l', tell apart (an h is silent in the French examples).
bool starts_with_vowel(const std::string& s, bool french = false) {
    const std::string vowels = french ? "aeiouh\xe9" : "aeiou";
    return !s.empty() && vowels.find(s[0]) != std::string::npos;
}

bool plural_ending(const std::string& s) {
    return s.ends_with("s") || s.ends_with("x");
}

// The leaves of one generated clause: the copy of ROOT inside one of the root table's trees.
struct Clause {
    const treenode* top = nullptr;
    std::vector<const treenode*> words;
    const treenode* first(const Words& names) const {
        for (const treenode* w : words)
            if (names.count(w->name)) return w;
        return nullptr;
    }
    const treenode* verb() const { return first({"VI", "VT", "COP"}); }
    std::vector<std::string> text() const {
        std::vector<std::string> out;
        for (const treenode* w : words)
            out.push_back(w->morphed_word);
        return out;
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

    // The ROOT clause inside the tree of root row `row`.
    static Clause clause_of(int row) {
        Clause c;
        c.top = find_node(rootPtrs[static_cast<std::size_t>(row)], "ROOT");
        if (c.top != nullptr) leaves(c.top->son, c.words);
        return c;
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

TEST_F(ExampleTest, EnglishQuestionAnswerAndShortAnswerAreOneExchange) {
    load("english");
    Words subjects;  // the guard lets only a third person be a noun phrase
    const std::map<std::string, bool> det_plural = {
        {"a", false},    {"an", false},   {"this", false}, {"that", false}, {"every", false},
        {"these", true}, {"those", true}, {"some", true},  {"many", true}};
    const std::map<std::string, std::string> pron = {{"I", "1sg"},   {"we", "1pl"},  {"you", "2"},
                                                     {"he", "3sg"},  {"she", "3sg"}, {"it", "3sg"},
                                                     {"they", "3pl"}};
    const Words object_pron = {"me", "us", "you", "him", "her", "it", "them"};
    // What a pronoun of the question becomes in the answer: I and you change places.
    const std::map<std::string, Words> swapped = {{"I", {"you"}},
                                                  {"we", {"you"}},
                                                  {"me", {"you"}},
                                                  {"us", {"you"}},
                                                  {"you", {"I", "we", "me", "us"}}};
    int checked = 0;
    const auto seen = survey(400, [&](const Clause& a) {
        const std::string& qs = *genSentences[1];
        const std::string& as = *genSentences[2];
        const std::string& ss = *genSentences[3];
        ASSERT_TRUE(qs[0] >= 'A' && qs[0] <= 'Z' && qs.ends_with("?")) << qs;
        ASSERT_TRUE(as.starts_with("Yes, ") && as.ends_with(".")) << as;
        ASSERT_TRUE(ss.starts_with("Yes, ") && ss.ends_with(".")) << ss;
        EXPECT_EQ(as.find("  "), std::string::npos) << as;

        // Each noun: plural exactly when its determiner asks for it; a/an by the next word.
        for (std::size_t i = 0; i < a.words.size(); ++i) {
            const treenode* w = a.words[i];
            if (w->name != "DET") continue;
            const treenode* noun = a.after(i, "N");
            ASSERT_NE(noun, nullptr) << as;
            if (auto d = det_plural.find(w->morphed_word); d != det_plural.end()) {
                EXPECT_EQ(noun->morphed_word != base_of(noun), d->second) << as;
            }
            if (base_of(w) == "a") {
                const bool vowel = starts_with_vowel(a.words[i + 1]->morphed_word);
                EXPECT_EQ(w->morphed_word, vowel ? "an" : "a") << as;
            }
        }

        // The answer's subject, and its verb agreeing with it after I and you changed places.
        const treenode* subj = a.words.front();
        std::string person;
        if (subj->name == "PRON") {
            ASSERT_TRUE(pron.count(subj->morphed_word)) << as;
            person = pron.at(subj->morphed_word);
            subjects.insert(subj->morphed_word);
        } else {
            const treenode* noun = a.first({"N"});
            ASSERT_NE(noun, nullptr) << as;
            person = noun->morphed_word == base_of(noun) ? "3sg" : "3pl";
        }
        const treenode* verb = a.verb();
        ASSERT_NE(verb, nullptr) << as;
        const std::string& v = verb->morphed_word;
        const bool past = value_of(verb, "TENSE") == "past";
        if (verb->name == "COP") {
            const Words ok = person == "1sg"   ? Words{"am", "was"}
                             : person == "3sg" ? Words{"is", "was"}
                                               : Words{"are", "were"};
            EXPECT_TRUE(ok.count(v)) << as;
        } else if (person == "3sg") {
            EXPECT_NE(v, base_of(verb)) << as;  // -s in the present, the past form otherwise
        } else {
            EXPECT_FALSE(v.ends_with("s")) << as;
        }
        // Object pronouns are in the object case, and never the subject's own I or you.
        for (std::size_t i = 1; i < a.words.size(); ++i) {
            const treenode* w = a.words[i];
            if (w->name != "PRON") continue;
            EXPECT_TRUE(object_pron.count(w->morphed_word)) << as;
            EXPECT_FALSE(person[0] == '1' && (w->morphed_word == "me" || w->morphed_word == "us"))
                << as;
            EXPECT_FALSE(person[0] == '2' && w->morphed_word == "you") << as;
        }
        // today and again only with the past.
        if (const treenode* adv = a.first({"ADVM"})) {
            EXPECT_TRUE(past || (adv->morphed_word != "today" && adv->morphed_word != "again"))
                << as;
        }

        // The question: be first, or do first with the verb's tense and the question's own
        // person while the verb stands bare; otherwise the answer's words, I and you changed.
        const Clause q = clause_of(1);
        ASSERT_GE(q.words.size(), 2u) << qs;
        const treenode* lead = q.words.front();
        std::vector<const treenode*> qrest(q.words.begin() + 1, q.words.end());
        std::vector<const treenode*> arest = a.words;
        arest.erase(arest.begin() + static_cast<long>(a.position(verb)));
        if (verb->name == "COP") {
            EXPECT_EQ(lead->name, "COP") << qs;
        } else {
            ASSERT_EQ(lead->name, "AUX") << qs;
            const bool third_sg =
                value_of(lead, "PERSON") == "third" && value_of(lead, "NUMBER") == "sg";
            EXPECT_EQ(value_of(lead, "TENSE"), value_of(verb, "TENSE")) << qs;
            EXPECT_EQ(lead->morphed_word, past ? "did" : third_sg ? "does" : "do") << qs;
            const treenode* bare = q.verb();
            ASSERT_NE(bare, nullptr) << qs;
            EXPECT_EQ(bare->morphed_word, base_of(bare)) << qs;
            EXPECT_EQ(base_of(bare), base_of(verb)) << qs << " / " << as;
            EXPECT_EQ(value_of(bare, "TENSE") + value_of(bare, "PERSON"), "") << qs;
            qrest.erase(qrest.begin() + static_cast<long>(q.position(bare)) - 1);
        }
        ASSERT_EQ(qrest.size(), arest.size()) << qs << " / " << as;
        for (std::size_t i = 0; i < qrest.size(); ++i) {
            const std::string& qw = qrest[i]->morphed_word;
            const std::string& aw = arest[i]->morphed_word;
            const auto sw = swapped.find(qw);
            EXPECT_TRUE(sw != swapped.end() ? sw->second.count(aw) != 0 : qw == aw)
                << qs << " / " << as;
        }

        // The short answer: the answer's subject and be, or do in the answer's person.
        const Clause s = clause_of(3);
        const std::size_t subject_words = a.position(verb);
        ASSERT_EQ(s.words.size(), subject_words + 1) << ss;
        for (std::size_t i = 0; i < subject_words; ++i)
            EXPECT_EQ(s.words[i]->morphed_word, a.words[i]->morphed_word) << ss;
        const std::string& last = s.words.back()->morphed_word;
        if (verb->name == "COP") {
            EXPECT_EQ(last, v) << ss;
        } else {
            EXPECT_EQ(last, past ? "did" : person == "3sg" ? "does" : "do") << ss << " / " << as;
        }
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

TEST_F(ExampleTest, FrenchSentencesAgreeAndTheAnswerChangesJeAndTu) {
    load("french");
    ASSERT_NE(lookup_attr("masc"), 0);
    const int masc = att_value;
    const Words sg_det = {"le", "la", "l'", "un", "une", "ce", "cet", "cette", "son", "sa"};
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
        const std::string& q = *genSentences[1];
        const std::string& a = *genSentences[2];
        ASSERT_TRUE(q.starts_with("Est-ce que ") || q.starts_with("Est-ce qu'")) << q;
        ASSERT_TRUE(q.ends_with(" ?") && a.starts_with("Oui, ") && a.ends_with(".")) << a;
        auto next_vowel = [&](std::size_t i) {
            return starts_with_vowel(c.words[i + 1]->morphed_word, true);
        };
        auto is_det = [](const treenode* w) {
            return w->name == "DET" ||
                   (w->name == "MOT" && (w->morphed_word == "de" || w->morphed_word == "d'^"));
        };

        // Within each noun phrase, determiner, adjectives and noun share number and gender;
        // des is de before an adjective.
        bool subject_plural = false;
        int subject_gender = 0;
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            if (!is_det(c.words[i])) continue;
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
            EXPECT_EQ(det == "de" || det == "d'", c.words[i]->name == "MOT") << a;
            EXPECT_TRUE(det != "des" || c.words[i + 1]->name != "ADJA") << a;
            EXPECT_TRUE((det != "de" && det != "d'") || c.words[i + 1]->name == "ADJA") << a;
            de_seen = de_seen || det == "de";
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
            subjects.insert(p);
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
        EXPECT_TRUE(verb->name != "VT" || base_of(verb) != "finir") << a;  // nothing to finish

        // An adjective after Ãªtre agrees with the subject.
        if (verb->name == "COP") {
            const treenode* adj = c.words.back();
            ASSERT_EQ(adj->name, "ADJ") << a;
            const bool pl = person.ends_with("pl");
            const std::string& f = adj->morphed_word;
            EXPECT_TRUE(!pl || plural_ending(f)) << a;
            EXPECT_TRUE(subject_gender != 1 || pl || f == base_of(adj)) << a;
            EXPECT_TRUE(subject_gender != 2 || f.ends_with(pl ? "es" : "e")) << a;
        }

        // The question's clause is the answer's with je and tu (nous and vous) changed round.
        const Clause qc = clause_of(1);
        ASSERT_EQ(qc.words.size(), c.words.size()) << q << " / " << a;
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            const treenode* qw = qc.words[i];
            const treenode* aw = c.words[i];
            EXPECT_EQ(qw->name, aw->name) << q << " / " << a;
            if (const auto sw = swapped.find(qw->morphed_word); sw != swapped.end()) {
                EXPECT_TRUE(sw->second.count(aw->morphed_word)) << q << " / " << a;
            } else if (aw == verb) {
                EXPECT_EQ(base_of(qw), base_of(aw)) << q << " / " << a;
            } else {
                EXPECT_EQ(qw->morphed_word, aw->morphed_word) << q << " / " << a;
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

TEST_F(ExampleTest, StoredTreesComeBackAsTheyWereWithoutDrawingAgain) {
    const auto sentences = [] {
        std::vector<std::string> out;
        for (const auto& s : genSentences)
            out.push_back(s ? *s : "-");
        return out;
    };
    // What STORE writes: every node's path, name, attributes, word and lookup, and every entry.
    const auto stored = [](int style) {
        removefile();
        initfile();
        store(style, 0);
        std::string text;
        for (const std::string& l : lines_of(corenum))
            text += l + "\n";
        return text;
    };
    for (const std::string set : {"english", "french"}) {
        SCOPED_TRACE(set);
        load(set);
        const int keep = corenum;
        corenum = 1;
        for (int style : {1, 0}) {
            reseed(2024);
            generate();
            const std::vector<std::string> before = sentences();
            const std::string text = stored(style);
            const std::string name = file(set + ".trees", text);
            reseed(77);
            generate();
            ASSERT_NE(sentences(), before);
            const std::uint32_t drawn = seed;
            restorenode(name.c_str());
            EXPECT_EQ(seed, drawn);
            EXPECT_EQ(sentences(), before);
            EXPECT_EQ(stored(style), text);
        }
        corenum = keep;
        expect_clean();
        uninstall(qfile_table[kKinds - 1].mask);
    }
}

}  // namespace
