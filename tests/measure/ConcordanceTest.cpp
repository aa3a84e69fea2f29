#include "measure/Concordance.h"
#include "textio/ErrorMessage.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

using namespace Qt::Literals::StringLiterals;

const QByteArray header = utf8Bom + "Type\tFrequency\r\n";

measure::Slovnik dictionary(std::initializer_list<std::pair<std::u16string, quint32>> entries)
{
    measure::Slovnik slovnik;
    for (const auto& [type, frequency] : entries)
        slovnik[type].H = frequency;
    return slovnik;
}

QByteArray concordance(const measure::Slovnik& slovnik, const QLocale& locale)
{
    const ScopedTemporaryWorkingDirectory folder;
    measure::SaveConcordance(slovnik, u"Concordance.txt"_s, locale).commit();
    return readTestFile(u"Concordance.txt"_s);
}

// The type lines of a concordance file, in file order.
QStringList typeLines(const QByteArray& file)
{
    EXPECT_TRUE(file.startsWith(header));
    EXPECT_TRUE(file.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(file.sliced(header.size())).split(u"\r\n"_s);
    lines.removeLast();
    return lines;
}

TEST(SaveConcordance, WritesTheHeaderAloneForNoTypes)
{
    EXPECT_EQ(concordance({}, QLocale::c()), header);
}

TEST(SaveConcordance, WritesUtf8LinesOfTypeTabFrequency)
{
    const measure::Slovnik slovnik = dictionary({{u"\u017Eluva", 3}, {u"", 12}});
    EXPECT_EQ(concordance(slovnik, QLocale(QLocale::English)), header + "\t12\r\n\xC5\xBEluva\t3\r\n");
}

// Word lists from UTF-16 files can hold lone surrogates; each one is written on its own line as a replacement.
TEST(SaveConcordance, WritesLoneSurrogatesOfATypeAsReplacements)
{
    const measure::Slovnik slovnik = dictionary({{u"x\xD800", 1}, {u"\xDC00y", 2}});
    const QByteArray file = concordance(slovnik, QLocale(QLocale::English));
    EXPECT_TRUE(file.startsWith(header));
    EXPECT_EQ(file.count("\r\n"), 3);
    EXPECT_FALSE(file.contains("\xF0")) << "two types were joined into one character";
}

// Lines equal but for case come in the order of their code units, whatever order the dictionary holds them in.
TEST(SaveConcordance, SortsWholeLinesIgnoringCaseThenByCodeUnits)
{
    const QStringList expected{u"a\t2"_s, u"B\t1"_s, u"b\t1"_s, u"CONSOLED\t1"_s, u"Consoled\t1"_s, u"consoled\t1"_s};
    std::vector<std::pair<std::u16string, quint32>> entries{{u"consoled", 1}, {u"b", 1},        {u"Consoled", 1},
                                                            {u"a", 2},        {u"CONSOLED", 1}, {u"B", 1}};
    for (int order = 0; order < 6; ++order) {
        measure::Slovnik slovnik;
        slovnik.reserve(size_t(order) * 100);
        for (const auto& [type, frequency] : entries)
            slovnik[type].H = frequency;
        EXPECT_EQ(typeLines(concordance(slovnik, QLocale::c())), expected) << "order " << order;
        std::rotate(entries.begin(), entries.begin() + 1, entries.end());
    }
}

// The C locale gets the root collation, where case and accents decide only between otherwise equal lines; a
// locale with rules of its own sorts by them (Czech has c-caron as a letter after c, and ch after h).
TEST(SaveConcordance, SortsByTheRulesOfTheLocale)
{
    const measure::Slovnik slovnik = dictionary({{u"hrad", 1},
                                                 {u"chata", 1},
                                                 {u"Cena", 1},
                                                 {u"\u010Daj", 1},
                                                 {u"\u00E9lan", 1},
                                                 {u"Zed", 1},
                                                 {u"dub", 1},
                                                 {u"eso", 1}});
    const std::pair<QLocale, QStringList> cases[] = {
        {QLocale::c(),
         {u"\u010Daj\t1"_s, u"Cena\t1"_s, u"chata\t1"_s, u"dub\t1"_s, u"\u00E9lan\t1"_s, u"eso\t1"_s, u"hrad\t1"_s,
          u"Zed\t1"_s}},
        {QLocale(QLocale::Czech),
         {u"Cena\t1"_s, u"\u010Daj\t1"_s, u"dub\t1"_s, u"\u00E9lan\t1"_s, u"eso\t1"_s, u"hrad\t1"_s, u"chata\t1"_s,
          u"Zed\t1"_s}},
    };
    for (const auto& [locale, lines] : cases)
        EXPECT_EQ(typeLines(concordance(slovnik, locale)), lines) << locale.name().toStdString();
}

TEST(SaveConcordance, ReportsAFileItCannotCreate)
{
    const ScopedTemporaryWorkingDirectory folder;
    try {
        measure::SaveConcordance(dictionary({{u"a", 1}}), u"missing/Concordance.txt"_s, QLocale::c()).commit();
        ADD_FAILURE() << "no error";
    } catch (const textio::ErrorMessage& error) {
        EXPECT_EQ(error.text(), u"Cannot create file \"missing/Concordance.txt\". No such file or directory"_s);
    }
}

} // namespace
