#include "app/Program.h"
#include "dialogs/QtDialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    dialogs::QtDialogs dialogs;
    app::Program program(dialogs);
    program.start();
    return QApplication::exec();
}
