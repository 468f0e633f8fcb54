// The generation system's commands and operations in the editor.
#include "gento.hpp"

#include "globals.hpp"
#include "input_base.hpp"
#include "uninstall.hpp"

void qattribute() {
    install_attributes(curfile.c_str());
}

void qtstinput() {
    testinput(curfile.c_str());
}
