#pragma once

#include "textio/CodePage.h"

#include <QString>
#include <QStringList>

namespace cli {

// The settings of one run, with the main window's defaults.
struct CliOptions
{
    int format = 0;
    QString from = QStringLiteral("1");
    QString to = QStringLiteral("4");
    QString every = QStringLiteral("10");
    bool ttr = true;
    bool measure = true;
    bool model = true;
    bool deviations = true;
    bool concordance = true;
    QString measuredFile = QStringLiteral("M.txt");
    QString modelFile = QStringLiteral("C.txt");
    QString concordanceFile = QStringLiteral("Concordance.txt");
    textio::CodePage codePage;
    QStringList inputFiles;
    QString zipfrPrefix; // the files for R, none when empty
};

struct Command
{
    enum class Kind
    {
        Run,
        Help,
        UsageError,
    };
    Kind kind = Kind::Run;
    CliOptions options;
    QString error;      // for a usage error
    bool quiet = false; // no progress line
};

// Reads the arguments that follow the program name, and corrects the settings as the main window corrects its
// fields when the user leaves them.
Command parseCommandLine(const QStringList& arguments);

QString usageText();

} // namespace cli
