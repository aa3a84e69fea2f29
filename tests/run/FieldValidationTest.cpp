#include "run/FieldValidation.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;

TEST(ValidateClassRange, ComparesTheValuesAsTypedBeforeAnyCorrection)
{
    struct Case
    {
        QString from, to, correctedFrom, correctedTo;
    };
    const Case cases[] = {
        {u"1"_s, u"4"_s, u"1"_s, u"4"_s},  {u"abc"_s, u"7"_s, u"0"_s, u"0"_s},       {u"-3"_s, u"2"_s, u"3"_s, u"2"_s},
        {u"5"_s, u"2"_s, u"5"_s, u"5"_s},  {u"12 "_s, u"20"_s, u"0"_s, u"20"_s},     {u"2"_s, u"x"_s, u"2"_s, u"2"_s},
        {u"2"_s, u"-9"_s, u"2"_s, u"2"_s}, {u"$A"_s, u"0x10"_s, u"$A"_s, u"0x10"_s}, {u"0"_s, u"9"_s, u"0"_s, u"0"_s},
    };
    for (const Case& c : cases) {
        const run::ClassRangeTexts corrected = run::validateClassRange({c.from, c.to});
        EXPECT_EQ(corrected.from, c.correctedFrom) << c.from.toStdString() << ".." << c.to.toStdString();
        EXPECT_EQ(corrected.to, c.correctedTo) << c.from.toStdString() << ".." << c.to.toStdString();
    }
}

TEST(ValidateDensity, MakesEveryTextAPositiveCount)
{
    const std::pair<QString, QString> cases[] = {
        {u"10"_s, u"10"_s}, {u"0"_s, u"1"_s},           {u""_s, u"1"_s}, {u"x"_s, u"1"_s}, {u"-20"_s, u"20"_s},
        {u"-5x"_s, u"1"_s}, {u"99999999999"_s, u"1"_s},
    };
    for (const auto& [text, corrected] : cases)
        EXPECT_EQ(run::validateDensity(text), corrected) << text.toStdString();
}

TEST(ValidateFileName, ReplacesANameWithoutAUsableFilePart)
{
    const std::pair<QString, QString> cases[] = {
        {u"M.txt"_s, u"M.txt"_s},
        {u"results"_s, u"results"_s},
        {u"out\\"_s, u"JmenoSouboruZmer.txt"_s},
        {u".txt"_s, u"JmenoSouboruZmer.txt"_s},
        {u"C:"_s, u"JmenoSouboruZmer.txt"_s},
        {u""_s, u"JmenoSouboruZmer.txt"_s},
        {u"out/"_s, u"JmenoSouboruZmer.txt"_s},
        {u"out/.hidden"_s, u"JmenoSouboruZmer.txt"_s},
        {u"out/M.txt"_s, u"out/M.txt"_s},
    };
    for (const auto& [text, corrected] : cases)
        EXPECT_EQ(run::validateFileName(text, u"JmenoSouboruZmer"_s), corrected) << text.toStdString();
}

} // namespace
