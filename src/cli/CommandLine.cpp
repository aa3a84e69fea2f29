#include "CommandLine.h"

#include "run/FieldValidation.h"
#include "textio/IntegerText.h"

#include <map>
#include <optional>

namespace cli {
namespace {

using Flag = bool CliOptions::*;
using Setting = QString CliOptions::*;

const std::map<QString, Flag>& switchedOff()
{
    static const std::map<QString, Flag> flags{
        {QStringLiteral("--no-ttr"), &CliOptions::ttr},
        {QStringLiteral("--no-measure"), &CliOptions::measure},
        {QStringLiteral("--no-model"), &CliOptions::model},
        {QStringLiteral("--no-sd"), &CliOptions::deviations},
        {QStringLiteral("--no-concordance"), &CliOptions::concordance},
    };
    return flags;
}

const std::map<QString, Setting>& withValue()
{
    static const std::map<QString, Setting> settings{
        {QStringLiteral("--from"), &CliOptions::from},
        {QStringLiteral("--to"), &CliOptions::to},
        {QStringLiteral("--every"), &CliOptions::every},
        {QStringLiteral("--measured"), &CliOptions::measuredFile},
        {QStringLiteral("--model"), &CliOptions::modelFile},
        {QStringLiteral("--concordance"), &CliOptions::concordanceFile},
        {QStringLiteral("--zipfr"), &CliOptions::zipfrPrefix},
    };
    return settings;
}

Command usageError(const QString& error)
{
    return {.kind = Command::Kind::UsageError, .options = {}, .error = error};
}

// The index of the input-format list: a single digit 0..4.
bool setFormat(CliOptions& options, const QString& text)
{
    if (text.size() != 1 || text[0] < u'0' || text[0] > u'4')
        return false;
    options.format = text[0].unicode() - u'0';
    return true;
}

// "auto" or the name of a single-byte code page.
bool setCodePage(CliOptions& options, const QString& text)
{
    if (text == u"auto") {
        options.codePage = {};
        return true;
    }
    const std::optional<textio::CodePage> named = textio::CodePage::named(text);
    if (named)
        options.codePage = *named;
    return named.has_value();
}

// Corrects the settings as the main window corrects its fields when the user leaves them, in the window's
// order: the class range, the density, then the three file names.
void applyFieldValidations(CliOptions& options)
{
    const run::ClassRangeTexts range = run::validateClassRange({options.from, options.to});
    options.from = range.from;
    options.to = range.to;
    options.every = run::validateDensity(options.every);
    options.measuredFile = run::validateFileName(options.measuredFile, QStringLiteral("JmenoSouboruZmer"));
    options.modelFile = run::validateFileName(options.modelFile, QStringLiteral("JmenoSouboruModeluj"));
    options.concordanceFile = run::validateFileName(options.concordanceFile, QStringLiteral("JmenoSouboruRFR"));
}

// The window's corrections leave texts that convert, except the one value whose magnitude is no 32-bit
// integer: "-2147483648" becomes "2147483648". On the command line that is a wrong argument.
std::optional<QString> outOfRange(const CliOptions& typed, const CliOptions& corrected)
{
    const std::pair<Setting, const char*> numbers[] = {
        {&CliOptions::from, "--from"}, {&CliOptions::to, "--to"}, {&CliOptions::every, "--every"}};
    for (const auto& [setting, name] : numbers) {
        if (!textio::toInteger(corrected.*setting))
            return QStringLiteral("%1 %2 is out of range (-2147483647 to 2147483647)")
                .arg(QLatin1StringView(name), typed.*setting);
    }
    return std::nullopt;
}

} // namespace

Command parseCommandLine(const QStringList& arguments)
{
    Command command;
    CliOptions& options = command.options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            options.inputFiles.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"--help") {
            command.kind = Command::Kind::Help;
        } else if (argument == u"--quiet") {
            command.quiet = true;
        } else if (const auto flag = switchedOff().find(argument); flag != switchedOff().end()) {
            options.*(flag->second) = false;
        } else if (const auto setting = withValue().find(argument); setting != withValue().end()) {
            // An empty prefix would leave the files for R nameless but for their extensions.
            if (++i == arguments.size() || (argument == u"--zipfr" && arguments.at(i).isEmpty()))
                return usageError(argument + QStringLiteral(" needs a value"));
            options.*(setting->second) = arguments.at(i);
        } else if (argument == u"--format") {
            if (++i == arguments.size() || !setFormat(options, arguments.at(i)))
                return usageError(QStringLiteral("--format needs a number from 0 to 4"));
        } else if (argument == u"--codepage") {
            if (++i == arguments.size())
                return usageError(QStringLiteral("--codepage needs a value"));
            if (!setCodePage(options, arguments.at(i)))
                return usageError(
                    QStringLiteral("--codepage %1 is not a single-byte code page known here").arg(arguments.at(i)));
        } else {
            return usageError(QStringLiteral("unknown option ") + argument);
        }
    }
    if (command.kind == Command::Kind::Help)
        return command;
    if (options.measure && options.inputFiles.isEmpty())
        return usageError(QStringLiteral("no input FILE to measure"));
    const CliOptions typed = options;
    applyFieldValidations(options);
    if (const std::optional<QString> error = outOfRange(typed, options))
        return usageError(*error);
    return command;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: vocabrix-cli [OPTION...] [FILE...]\n"
        "Reads the FILEs as one text and writes, after every N-th token, the number of types and of the types\n"
        "seen exactly k times (the measured file), the same curves expected under random order (the model\n"
        "file) and the frequency list of the types (the concordance).\n"
        "\n"
        "  --format N          input format: 0 standard text (default), 1 Arabic text, vocalisation\n"
        "                      insensitive, 2 words delimited by new lines, 3 by spaces, 4 by tabs\n"
        "  --from TEXT         lowest frequency class, 0 for none (default 1)\n"
        "  --to TEXT           highest frequency class (default 4)\n"
        "  --every TEXT        tokens per output row (default 10)\n"
        "  --no-ttr            leave out the type count\n"
        "  --no-measure        do not measure; the model comes from the concordance file\n"
        "  --no-model          do not compute the model\n"
        "  --no-sd             do not write the model's standard deviations (the companion file); an older\n"
        "                      companion file goes when the new model file takes its place\n"
        "  --no-concordance    do not save the concordance\n"
        "  --measured FILE     the measured file (default M.txt)\n"
        "  --model FILE        the model file (default C.txt); its standard deviations go to the companion\n"
        "                      file, named with .sd before the extension (C.sd.txt)\n"
        "  --concordance FILE  the concordance file (default Concordance.txt)\n"
        "  --codepage NAME     the code page of input files without a byte-order mark that are not UTF-8:\n"
        "                      auto (default) guesses it from each file; or a name such as windows-1250,\n"
        "                      windows-1251, KOI8-R, CP866 or ISO-8859-7\n"
        "  --zipfr PREFIX      when the run is done, also write its files for the R package zipfR:\n"
        "                      PREFIX.spc and PREFIX.tfl from the concordance, PREFIX.emp.vgc from the\n"
        "                      measured file, PREFIX.exp.vgc from the model and its standard deviations\n"
        "  --quiet             no progress line on standard error\n"
        "  --help              show this text\n"
        "\n"
        "While it runs, a line on standard error shows its progress when that is a terminal. Ctrl+C (SIGINT) or\n"
        "SIGTERM stops the run and leaves every output file as it was; once the run is done, only the files for R\n"
        "are stopped.\n"
        "\n"
        "Exit status: 0 when the run is done, 1 when it ends early or without the model it was asked for, or its\n"
        "files for R cannot be written, 2 for a wrong command line, 130 when stopped by SIGINT, 143 by SIGTERM.\n");
}

} // namespace cli
