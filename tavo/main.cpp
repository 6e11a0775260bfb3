// tavo: maximum distance of a point-to-point digital optical-fibre link.
#include "common/ui/platform.h"
#include "tavo/formtavo.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    vantero::ui::QtPlatform platform;
    vantero::tavo::TFormTAVO form(platform);
    form.show();
    return QApplication::exec();
}
