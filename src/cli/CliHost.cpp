#include "CliHost.h"

#include "textio/ErrorMessage.h"

#include <cstdio>
#include <exception>

namespace cli {
namespace {

void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
    std::fflush(stream);
}

} // namespace

CliHost::CliHost(CliOptions options)
    : m_options(std::move(options))
{}

void CliHost::showMessage(const QString& text)
{
    // The one message that says the run went through is the result; every other one is a complaint.
    printLine(text == u"Done!" ? stdout : stderr, text);
}

void CliHost::warn(const QString& text)
{
    printLine(stderr, text);
}

int runCommandLine(const QStringList& arguments)
{
    Command command = parseCommandLine(arguments);
    switch (command.kind) {
    case Command::Kind::Help:
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    case Command::Kind::UsageError:
        printLine(stderr, QStringLiteral("vocabrix-cli: ") + command.error);
        std::fputs(qPrintable(usageText()), stderr);
        return 2;
    case Command::Kind::Run:
        break;
    }

    CliHost host(std::move(command.options));
    try {
        return run::runSequence(host) == run::RunEnd::Done ? 0 : 1;
    } catch (const textio::ErrorMessage& error) {
        printLine(stderr, error.text());
    } catch (const std::exception& error) {
        printLine(stderr, QString::fromLocal8Bit(error.what()));
    }
    return 1;
}

} // namespace cli
