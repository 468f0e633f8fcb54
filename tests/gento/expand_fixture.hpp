// Fixture for expansion and driver tests: an attribute file, rules given as coded texts, and
// preselection clauses made by hand.
#pragma once

#include <memory>

#include "gento_fixture.hpp"

class ExpandFixture : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        readattr(file("attrs",
                      "NUMBER ( sg , pl ) PERSON ( first , second , third ) "
                      "TAG ( subj , obj , verb , adj ) %")
                     .c_str());
        reset_syntax();
    }
    void TearDown() override {
        reset_syntax();
        GentoTest::TearDown();
    }
    // Puts `coded` on the rule stack as the rule `name`.
    static void rule(const std::string& name, const std::string& coded) {
        auto r = std::make_unique<syn_rule>();
        r->name = name;
        r->rules = std::make_unique<std::string>(coded);
        r->next = std::move(syntax_stack);
        syntax_stack = std::move(r);
    }
    // Reads `text` as a syntax file; it must read without an error.
    void syntax(const std::string& text) {
        read_syntax(file("rules.syn", text).c_str());
        ASSERT_TRUE(messages("ERROR").empty()) << messages("ERROR")[0];
    }
    // A new node `name`, expanded once, as the first node of a tree.
    static treenode* expand(const char* name) {
        nodecount = 0;
        treenode* n = makenode(name);
        expand_node(n);
        return n;
    }

    // The daughters' names of a new node `name` expanded once.
    static std::vector<std::string> expanded(const char* name) {
        treenode* n = expand(name);
        const std::vector<std::string> out = daughters(n);
        purge_tree(n);
        return out;
    }
    // A new node `name` with the compound attribute `attrs`.
    static treenode* with(const char* name, const char* attrs) {
        treenode* n = makenode(name);
        text_to_comp_struct(attrs, 0);
        append_attr(n->attributes, std::move(comp_attr_register));
        return n;
    }

    // Puts a clause with tag `tag` at the front of the preselection list. `word` null: no
    // right-hand side; `error` is its lookup entry's error.
    static pre_rule* clause(const char* tag, const char* word, int error = 0) {
        auto p = std::make_unique<pre_rule>();
        text_to_comp_struct(tag, 0);
        p->PST = std::move(comp_attr_register);
        if (word != nullptr) {
            p->node = 1;
            p->RHS = makenode("N");
            terminal_node(p->RHS);
            p->RHS->dictionary->dictionary = word;
            p->RHS->dictionary->error = error;
            text_to_comp_struct(tag, 0);
            // The word's own attributes: the tag's segments after the first.
            const s_comp_attr* rest =
                comp_attr_register ? comp_attr_register->another.get() : nullptr;
            if (rest != nullptr)
                append_attr(p->RHS->dictionary->attributes, duplicate_comp_attr(rest));
            comp_attr_register.reset();
        }
        p->next = std::move(preselect_list);
        preselect_list = std::move(p);
        return preselect_list.get();
    }
};
