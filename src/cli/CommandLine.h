#pragma once

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
    bool concordance = true;
    QString measuredFile = QStringLiteral("M.txt");
    QString modelFile = QStringLiteral("C.txt");
    QString concordanceFile = QStringLiteral("Concordance.txt");
    QStringList inputFiles;
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
    QString error; // for a usage error
};

// Reads the arguments that follow the program name.
Command parseCommandLine(const QStringList& arguments);

// Corrects the settings as the main window corrects its fields when the user leaves them, in the window's
// order: the class range, the density, then the three file names.
void applyFieldValidations(CliOptions& options);

QString usageText();

} // namespace cli
