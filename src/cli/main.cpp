#include "CliReport.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    return cli::runCommandLine(QCoreApplication::arguments().mid(1));
}
