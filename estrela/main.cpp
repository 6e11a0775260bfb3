// estrela: maximum distance of a passive star optical-fibre network.
#include "common/ui/program.h"
#include "estrela/formestrela.h"

int main(int argc, char** argv) {
    return vantero::ui::runProgram<vantero::estrela::TFormEstrela>(argc, argv);
}
