#include "syn_tran.hpp"

#include "input_base.hpp"

namespace {
// Priorities are compared against this starting minimum; the syntax reader keeps every written
// priority below it, so a record is always found while the list is not empty.
constexpr int kNoPriority = 1000;
}  // namespace

transformation* find_low_priority(const treenode* N) {
    if (N == nullptr) return nullptr;
    transformation* best = nullptr;
    int low = kNoPriority;
    for (const trans_list_rec* r = N->transformation.get(); r != nullptr; r = r->next.get()) {
        if (r->trans != nullptr && r->trans->priority < low) {
            low = r->trans->priority;
            best = r->trans;
        }
    }
    return best;
}

void removeTrans(treenode* N, const transformation* trans) {
    if (N == nullptr || trans == nullptr) return;
    trans_list* at = &N->transformation;
    while (*at) {
        if ((*at)->trans != nullptr && (*at)->trans->name == trans->name) {
            trans_list gone = std::move(*at);
            *at = std::move(gone->next);
            return;
        }
        at = &(*at)->next;
    }
}

void transform(treenode* N) {
    if (N == nullptr) return;
    while (N->transformation) {
        transformation* t = find_low_priority(N);
        if (t == nullptr) {
            // Only records that point nowhere are left; they can do nothing.
            N->transformation.reset();
            break;
        }
        if (t->functionPtr != nullptr) {
            const TransFunction fn = t->functionPtr;
            removeTrans(N, t);
            fn(N);
        } else {
            // Written transformations are matched and applied by a later stage of the system;
            // until it is there they are taken off the node unapplied, so the loop ends.
            removeTrans(N, t);
        }
    }
    for (treenode* d = N->son; d != nullptr; d = d->sibling)
        transform(d);
}

void print_transf() {
    for (const transformation* t = trans_stack.get(); t != nullptr; t = t->next.get()) {
        q_msg(t->name);
        if (!t->barrier && t->functionPtr == nullptr && t->first)
            q_msg(" first RHS: " + printable_code(t->first->rule));
    }
}
