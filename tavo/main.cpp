// tavo: maximum distance of a point-to-point digital optical-fibre link.
#include "common/ui/program.h"
#include "tavo/formtavo.h"

int main(int argc, char** argv) {
    return vantero::ui::runProgram<vantero::tavo::TFormTAVO>(argc, argv);
}
