// The syntax file reader on arbitrary bytes. The input up to the first byte 0 is an attribute
// file; the rest is the syntax file, read twice as a main and a user layer.
#include <cstring>
#include <string>

#include "fuzz_gento_common.hpp"
#include "syn_builtIn.hpp"
#include "syn_globals.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"

namespace {
// Every stored text is one zero-terminated string that keeps within the limits.
void check_layer() {
    for (const syn_rule* r = syntax_stack.get(); r != nullptr; r = r->next.get()) {
        if (!r->rules) continue;
        if (std::strlen(r->rules->c_str()) != r->rules->size()) std::abort();
        if (r->rules->size() > kCfBufMax) std::abort();
        if (getrule(r->name) == nullptr && !r->barrier) std::abort();
        const char* p = r->rules->c_str();
        while (*p != '\0') {
            if (getident(p).empty()) ++p;
        }
    }
    for (const transformation* t = trans_stack.get(); t != nullptr; t = t->next.get()) {
        if (t->priority < 1 || t->priority > kMaxPriority) std::abort();
        if (!t->barrier && find_transf(t->name) == nullptr) std::abort();
        for (const sub_trans* s = t->first.get(); s != nullptr; s = s->next.get()) {
            if (std::strlen(s->rule.c_str()) != s->rule.size()) std::abort();
            if (std::strlen(s->guard.c_str()) != s->guard.size()) std::abort();
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_syntax();
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t attrlen = zero != nullptr ? static_cast<std::size_t>(zero - data) : 0;
    const std::size_t start = zero != nullptr ? attrlen + 1 : 0;
    fuzzgento::write_file("attrs", data, attrlen);
    fuzzgento::write_file("syntax", data + start, size - start);
    readattr("attrs");
    read_syntax("syntax");
    read_syntax("syntax");
    check_layer();
    print_cf();
    print_transf();
    // Every transformation the file defines, attached to a small tree, is taken off again.
    treenode* n = makenode("S");
    n->son = makenode("A");
    n->son->son = makenode("B");
    for (transformation* t = trans_stack.get(); t != nullptr; t = t->next.get()) {
        trans_list rec = std::make_unique<trans_list_rec>();
        rec->trans = t;
        rec->next = std::move(n->transformation);
        n->transformation = std::move(rec);
    }
    transform(n);
    if (n->transformation) std::abort();
    purge_tree(n);
    dump_syntax();
    dump_syntax();
    if (syntax_stack) std::abort();
    if (!trans_stack || trans_stack->functionPtr == nullptr || trans_stack->next) std::abort();
    return 0;
}
