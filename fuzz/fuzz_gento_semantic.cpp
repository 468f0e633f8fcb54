// The semantic transformations reader on arbitrary bytes, then the analysis of expressions. The
// input up to the first byte 0 is the transformations file; each line of the rest is an
// expression analysed as the make-preselection key would.
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_gento_common.hpp"
#include "globals.hpp"
#include "semantic.hpp"

namespace {

constexpr int kExpressions = 8;

// Every line written to core file 14 keeps within the bounds of a built text.
void check_core14() {
    const COREFILE& cf = core[static_cast<std::size_t>(kPreselectCore)];
    for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
        if (l->length > 2 * kSemBuf) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_semantic();
    const std::string att =
        "PRED ( 3 head , 2 see , 1 small , 0 a , b , c , child , dog ) ROLE ( mod , agent ) %";
    fuzzgento::write_file("sem.att", reinterpret_cast<const std::uint8_t*>(att.data()), att.size());
    readattr("sem.att");
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t head = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    fuzzgento::write_file("sem.smt", data, head);
    read_sem_trans("sem.smt");
    for (const sem_trans* t = sem_trans_list.get(); t != nullptr; t = t->next.get()) {
        if (t->name.size() >= static_cast<std::size_t>(kSemBuf) || !t->first) std::abort();
        for (const sem_prot* p = t->first.get(); p != nullptr; p = p->next.get()) {
            if (p->prototype.size() >= static_cast<std::size_t>(kSemBuf)) std::abort();
        }
    }
    std::string_view rest;
    if (zero != nullptr) rest = {reinterpret_cast<const char*>(zero + 1), size - head - 1};
    for (int n = 0; n < kExpressions && !rest.empty(); ++n) {
        const std::size_t nl = std::min(rest.find('\n'), rest.size());
        const std::string expr(rest.substr(0, nl));
        rest.remove_prefix(std::min(nl + 1, rest.size()));
        analyse_sem_expr(expr.c_str());
        if (depthStack != 0) std::abort();
        check_core14();
    }
    reset_semantic();
    return 0;
}
