// RECOVER on arbitrary bytes, with a small attribute file, terminals and lexicon loaded. What it
// rebuilds must hold together: every lookup a node names is in the table, every tree is
// threaded to its leaves. What STORE then writes reads back to the same text.
#include <string>

#include "fuzz_gento_common.hpp"
#include "gento/terminal.hpp"
#include "lex_read.hpp"
#include "print_procs.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"

namespace {

void write(const char* name, const std::string& s) {
    fuzzgento::write_file(name, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

void check_tree(const treenode* n, int depth) {
    if (depth > 2 * kRecoverLines) std::abort();
    for (; n != nullptr; n = n->sibling) {
        if (n->dictionary != nullptr) {
            if (n->index < 0 || n->index >= d_table_count) std::abort();
            if (n->dictionary != &dict_table[static_cast<std::size_t>(n->index)]) std::abort();
        }
        check_tree(n->son, depth + 1);
    }
}

void check_all() {
    if (d_table_count < 0 || d_table_count > kLookups) std::abort();
    for (int row = 0; row < kRecoverRows; ++row) {
        if (recoveredstrings[static_cast<std::size_t>(row)].size() >
            static_cast<std::size_t>(kRecoverLines))
            std::abort();
    }
    const treenode* tops[] = {root, oldroot};
    for (const treenode* t : tops)
        check_tree(t, 0);
    for (const treenode* t : rootPtrs)
        check_tree(t, 0);
    for (int i = 0; i < kRoots; ++i) {
        const treenode* t = i == 0 ? root : rootPtrs[static_cast<std::size_t>(i)];
        if ((t == nullptr) != (genSentences[static_cast<std::size_t>(i)] == nullptr)) std::abort();
    }
}

// STORE's full trees into core file 1, as the text of a file.
std::string stored() {
    const int keep = corenum;
    corenum = 1;
    removefile();
    initfile();
    store(1, 0);
    std::string text;
    const COREFILE& cf = core[1];
    for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
        if (l->object != kObjNew) {
            text.append(reinterpret_cast<const char*>(textbase.data() + l->index),
                        static_cast<std::size_t>(l->length));
        }
        text += '\n';
    }
    corenum = keep;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_syn_globals();
    reset_syn_misc();
    reset_print_procs();
    reset_terminal();
    reset_lex_read();
    write("r.att", "NUMBER ( sg , pl ) PERSON ( first , second , third ) %");
    write("r.tm", "N V DET");
    write("r.lex", "\"dog\" | N | NUMBER | 10 | #1 |\n\"bark\" | V | sg, <third | 5 | #1 |\n");
    readattr("r.att");
    read_terminals("r.tm");
    initdict();
    readdict("r.lex");
    fuzzgento::write_file("stored", data, size);
    restorenode("stored");
    check_all();
    // Written out, read back and written again, the text settles at once.
    const std::string first = stored();
    write("again", first);
    restorenode("again");
    check_all();
    const std::string second = stored();
    write("again", second);
    restorenode("again");
    check_all();
    if (stored() != second) std::abort();
    store(0, 0);
    store(2, 0);
    reset_syn_globals();
    reset_lex_read();
    return 0;
}
