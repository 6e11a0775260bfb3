// anel: maximum distance of a ring network whose stations are joined by
// optical switches.
#include "anel/formanel.h"
#include "common/ui/formfibradlg.h"
#include "common/ui/platform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    vantero::ui::QtPlatform platform;
    vantero::anel::TFormAnel form(platform);
    form.show();
    vantero::ui::TFormFibraDlg dialog(&form); // hidden until "..."
    form.useFibreDialog(&dialog);
    return QApplication::exec();
}
