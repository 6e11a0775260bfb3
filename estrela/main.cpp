// estrela: maximum distance of a passive star optical-fibre network.
#include "common/ui/formfibradlg.h"
#include "common/ui/platform.h"
#include "estrela/formestrela.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    vantero::ui::QtPlatform platform;
    vantero::estrela::TFormEstrela form(platform);
    form.show();
    vantero::ui::TFormFibraDlg dialog(&form); // hidden until "..."
    form.useFibreDialog(&dialog);
    return QApplication::exec();
}
