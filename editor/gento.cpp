// The generation system's commands and operations in the editor.
#include "gento.hpp"

#include <algorithm>
#include <cstdio>
#include <list>

#include "gento/terminal.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "lt_input.hpp"
#include "lt_rule.hpp"
#include "misc.hpp"
#include "morphology.hpp"
#include "prcmnd.hpp"
#include "print_procs.hpp"
#include "scrout.hpp"
#include "semantic.hpp"
#include "stud_err.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "syn_builtIn.hpp"
#include "syn_cf.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"
#include "termutils.hpp"
#include "uninstall.hpp"

void qattribute() {
    install_attributes(curfile.c_str());
}

void qtstinput() {
    testinput(curfile.c_str());
}

// ---------------------------------------------------------------------------------------------
// Start-up, the response, the general generation commands and the generation operations
// ---------------------------------------------------------------------------------------------
FixStr<kResponseLen> response;
bool response_cut = false;
std::array<std::string, kRoots> error_function;

namespace {

constexpr int kUserSyntaxBit = 2;
constexpr int kSyntaxBit = 4;

// A sentence number typed after a control code or given to a command: 0 to 20.
bool sentence_number_ok(int n) {
    if (n >= kRoots) {
        diserr("Integer too high");
        return false;
    }
    return n >= 0;
}

}  // namespace

void initgento() {
    reseed(0);
    for (int n = 1; n <= 13; ++n) {
        const qfile_row& row = qfile_table[static_cast<std::size_t>(n)];
        if (row.initialise != nullptr) row.initialise();
    }
    add_built_in();
    for (std::string& name : gentofilename)
        name.clear();
}

void getresponse() {
    std::string text;
    bool cut = false;
    const COREFILE& cf = cur();
    int col = cf.curcol;
    bool blank = false;
    const auto put = [&](char c) {
        if (c == ' ') {
            if (blank) return;
            blank = true;
        } else {
            blank = false;
        }
        if (text.size() < kResponseLen) {
            text += c;
        } else if (c != ' ') {
            cut = true;
        }
    };
    for (const LINE* l = cf.lnptr; l != nullptr && l != cf.header; l = l->down, col = 1) {
        const bool has_text = l->object != kObjNew && l->object != kObjPicture;
        for (int i = col; has_text && i <= l->length; ++i)
            put(static_cast<char>(textbase[static_cast<std::size_t>(l->index + i - 1)]));
        if (l->down != cf.header) put(' ');
    }
    if (!text.empty() && text.back() == ' ') text.pop_back();
    response.assign_cut(text);
    response_cut = cut;
}

void qrmfiles() {
    const int bits = text_to_bits(picstring.view());
    if (bits == 0) return;
    uninstall(bits);
    if ((bits & kSyntaxBit) != 0) synstat = 0;
    if ((bits & kUserSyntaxBit) != 0) userstat = 0;
}

void qdisplay() {
    switch (param[1]) {
        case 0:
            diserr(bits_to_text(installed));
            break;
        case 3:
            print_cf();
            break;
        case 7:
            printlex();
            break;
        case 8:
            print_preselect_list();
            break;
        case 1:
        case 2:
            if (there_has_been_no_generation() != 0) {
                diserr("No generated sentence");
            } else {
                store(param[1] == 1 ? 2 : 1, param[1] == 1 ? 0 : 1);
            }
            break;
        case 4:
            print_transf();
            break;
        case 5:
            print_tables();
            break;
        case 6:
            print_mrules();
            break;
        default:
            break;
    }
}

void qrootset() {
    err_set_rootset(picstring.view());
}

void qrandomseed() {
    reseed(static_cast<std::uint32_t>(param[1]));
}

void qpseed() {
    const int n = param[1];
    printseed(n >= 1 && n <= 18 ? n : kMsgCore);
}

void qerror() {
    if (!sentence_number_ok(param[1])) return;
    error_function[static_cast<std::size_t>(param[1])] = q_error.view();
}

void qtalk() {
    if (!sentence_number_ok(param[1])) {
        del = 2;
        return;
    }
    talk(param[1]);
}

void qstore() {
    store(param[1], param[2]);
}

void qrecover() {
    restorenode(picstring.c_str());
}

void reset_gento_cmds() {
    response.clear();
    for (std::string& s : error_function)
        s.clear();
    response_cut = false;
}

// ---------------------------------------------------------------------------------------------
// Generation operations: generate, global preselection, comparing a response, showing a sentence
// ---------------------------------------------------------------------------------------------
namespace {

constexpr int kLexiconLoaded = 64;
constexpr int kGlobalPreselectionBit = 4096;

// Key strings that qcompare pushes stay alive while the key reader may still be reading them:
// an error function may be replaced by QERROR while its keys are still being typed.
std::list<std::string> pushed_keys;

void push_keys(const std::string& keys) {
    pushed_keys.remove_if([](const std::string& s) {
        for (int i = 1; i <= fnptr && i <= kFnStack; ++i) {
            const char* p = fnstack[static_cast<std::size_t>(i)];
            if (p != nullptr && p >= s.data() && p <= s.data() + s.size()) return false;
        }
        return true;
    });
    pushed_keys.push_back(keys);
    pushfn(pushed_keys.back().c_str());
}

}  // namespace

void generate() {
    if ((installed & kLexiconLoaded) == 0) {
        diserr("There is no lexicon");
        return;
    }
    if (synstat == 0 && userstat == 0) {
        diserr("There is no ROOT rule");
        return;
    }
    interpret();
    redisplay = 1;
}

void qglobpre() {
    uninstall_n(13);
    global_preselect();
    installed |= kGlobalPreselectionBit;
}

void qcompare() {
    getresponse();
    const int n = gento_comp();
    if (n < 1 || n >= kRoots) return;
    const std::string& keys = error_function[static_cast<std::size_t>(n)];
    if (!keys.empty()) push_keys(keys);
}

void qnewcompare() {
    getresponse();
    err_analysis(response.view(), response_cut);
}

void qcompsingle() {
    const int n = gnum();
    getresponse();
    err_analysis_single(response.view(), n, response_cut);
}

void qenummorph() {
    generate_enumerations();
}

void disp_sent() {
    const int n = gnum();
    if (!sentence_number_ok(n)) return;
    sentence_to_core(n, corenum);
}

// ---------------------------------------------------------------------------------------------
// Syntax files
// ---------------------------------------------------------------------------------------------
void qsyntax() {
    uninstall_n(3);
    read_syntax(curfile.c_str());
    putgentofile(curfile.c_str(), 's');
    synstat = q_stat;
    userstat = 0;
    installed |= 4;
}

void quser() {
    uninstall_n(2);
    read_syntax(curfile.c_str());
    putgentofile(curfile.c_str(), 'u');
    userstat = q_stat;
    installed |= 2;
}

// ---------------------------------------------------------------------------------------------
// Terminals and lexicon
// ---------------------------------------------------------------------------------------------
namespace {
constexpr int kTerminalsBit = 32;
constexpr int kLexiconBit = 64;

void read_lexicon_file() {
    uninstall_n(7);
    initdict();
    readdict(curfile.c_str());
    putgentofile(curfile.c_str(), 'L');
    installed |= kLexiconBit;
}
}  // namespace

void qtmnls() {
    uninstall_n(6);
    read_terminals(curfile.c_str());
    putgentofile(curfile.c_str(), 't');
    installed |= kTerminalsBit;
}

void qlexicon() {
    if ((installed & kTerminalsBit) == 0) {
        diserr("Terminals file not present");
        return;
    }
    read_lexicon_file();
}

void qaddlex() {
    if ((installed & kLexiconBit) == 0) {
        diserr("Lexicon not present; defaulting to LExicon");
        qlexicon();
        return;
    }
    readdict(curfile.c_str());
}

void qfreq() {
    if ((installed & kLexiconBit) == 0) {
        diserr("Lexicon not present");
        return;
    }
    vary_frequency(picstring.c_str());
}

// ---------------------------------------------------------------------------------------------
// Morphology: rules, tables and the passes run after word choice
// ---------------------------------------------------------------------------------------------
void qmorphology() {
    uninstall_n(4);
    new_readmorph(curfile.c_str());
    putgentofile(curfile.c_str(), 'm');
    installed |= 8;
}

void qtbls() {
    uninstall_n(5);
    new_readtables(curfile.c_str());
    putgentofile(curfile.c_str(), 'T');
    installed |= 16;
}

void qmpasses() {
    set_morph_passes(param[1], param[2], param[3], param[4], param[5]);
}

// ---------------------------------------------------------------------------------------------
// Lexical and semantic transformations
// ---------------------------------------------------------------------------------------------
namespace {
constexpr int kSemanticBit = 1024;
constexpr int kLexTransBit = 2048;
}  // namespace

void qlxtransf() {
    uninstall_n(12);
    readlextrans(curfile.c_str());
    putgentofile(curfile.c_str(), 'x');
    installed |= kLexTransBit;
}

void qrxtransf() {
    inittrans(param[1]);
}

void resumelx() {
    exectrans();
}

void qsmtransf() {
    uninstall_n(11);
    read_sem_trans(curfile.c_str());
    installed |= kSemanticBit;
}

void qmakepre() {
    const COREFILE& cf = cur();
    std::string line;
    const LINE* l = cf.lnptr;
    if (l != nullptr && l != cf.header && l->object != kObjNew && l->object != kObjPicture) {
        const auto n = static_cast<std::size_t>(std::clamp(l->length, 0, kSemBuf - 1));
        line.assign(reinterpret_cast<const char*>(&textbase[static_cast<std::size_t>(l->index)]),
                    n);
    }
    analyse_sem_expr(line.c_str());
}

// ---------------------------------------------------------------------------------------------
// Files of response analysis: phonology tables, morphological errors, tag information
// ---------------------------------------------------------------------------------------------
namespace {
constexpr int kPhonologyBit = 128;
constexpr int kMorphErrorsBit = 256;
constexpr int kTagInfoBit = 512;
}  // namespace

void qipa() {
    uninstall_n(8);
    phon_readtables(curfile.c_str());
    putgentofile(curfile.c_str(), 'p');
    installed |= kPhonologyBit;
}

void qmrpherror() {
    uninstall_n(9);
    merror_readtables(curfile.c_str());
    putgentofile(curfile.c_str(), 'e');
    installed |= kMorphErrorsBit;
}

void qtginfo() {
    uninstall_n(10);
    tag_readtables(curfile.c_str());
    putgentofile(curfile.c_str(), 'g');
    installed |= kTagInfoBit;
}
