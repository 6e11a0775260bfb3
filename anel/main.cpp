// anel: maximum distance of a ring network whose stations are joined by
// optical switches.
#include "anel/formanel.h"
#include "common/ui/program.h"

int main(int argc, char** argv) {
    return vantero::ui::runProgram<vantero::anel::TFormAnel>(argc, argv);
}
