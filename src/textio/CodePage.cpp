#include "CodePage.h"

#include <QStringDecoder>

#include <numeric>
#include <utility>

using namespace Qt::StringLiterals;

namespace textio {

std::optional<CodePage> CodePage::named(const QString& name)
{
    const QByteArray converterName = name.toLatin1();
    QStringDecoder whole(converterName.constData());
    if (name.isEmpty() || !whole.isValid())
        return std::nullopt;
    std::array<char, 256> bytes{};
    std::iota(bytes.begin(), bytes.end(), char(0));
    const QString decoded = whole.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoded.size() != qsizetype(bytes.size()))
        return std::nullopt;

    CodePage page;
    bool upperHalfDefined = false;
    for (size_t b = 0; b < bytes.size(); ++b) {
        // A byte that decodes otherwise alone than among the others belongs to a sequence or a shift state.
        QStringDecoder single(converterName.constData());
        const QString alone = single.decode(QByteArrayView(&bytes[b], 1));
        if (alone.size() != 1 || alone[0] != decoded[qsizetype(b)])
            return std::nullopt;
        // Where the text ends at its first U+0000, only a zero byte may give one.
        if (alone[0].isNull() != (b == 0))
            return std::nullopt;
        page.m_units[b] = alone[0].unicode();
        upperHalfDefined = upperHalfDefined || (b >= 0x80 && alone[0] != QChar::ReplacementCharacter);
    }
    if (!upperHalfDefined)
        return std::nullopt;
    page.m_name = name;
    return page;
}

const CodePage& CodePage::windows1252()
{
    // Qt decodes Latin-1 by itself even where it has no converters for other code pages.
    static const CodePage page = named(u"windows-1252"_s).value_or(*named(u"ISO-8859-1"_s));
    return page;
}

char16_t* CodePage::decode(QByteArrayView bytes, char16_t* out) const
{
    for (const char byte : bytes)
        *out++ = m_units[uchar(byte)];
    return out;
}

const std::vector<OfferedCodePage>& offeredCodePages()
{
    static const std::vector<OfferedCodePage> offered = [] {
        const std::pair<QString, QString> names[] = {
            {u"windows-1252"_s, u"Western"_s},
            {u"ISO-8859-1"_s, u"Western"_s},
            {u"ISO-8859-15"_s, u"Western"_s},
            {u"windows-1250"_s, u"Central European"_s},
            {u"ISO-8859-2"_s, u"Central European"_s},
            {u"ISO-8859-3"_s, u"South European"_s},
            {u"windows-1257"_s, u"Baltic"_s},
            {u"ISO-8859-4"_s, u"Baltic"_s},
            {u"ISO-8859-13"_s, u"Baltic"_s},
            {u"windows-1251"_s, u"Cyrillic"_s},
            {u"KOI8-R"_s, u"Cyrillic"_s},
            {u"KOI8-U"_s, u"Cyrillic"_s},
            {u"CP866"_s, u"Cyrillic"_s},
            {u"ISO-8859-5"_s, u"Cyrillic"_s},
            {u"windows-1253"_s, u"Greek"_s},
            {u"ISO-8859-7"_s, u"Greek"_s},
            {u"windows-1254"_s, u"Turkish"_s},
            {u"ISO-8859-9"_s, u"Turkish"_s},
            {u"windows-1255"_s, u"Hebrew"_s},
            {u"ISO-8859-8"_s, u"Hebrew"_s},
            {u"windows-1256"_s, u"Arabic"_s},
            {u"ISO-8859-6"_s, u"Arabic"_s},
            {u"windows-1258"_s, u"Vietnamese"_s},
        };
        std::vector<OfferedCodePage> pages;
        for (const auto& [name, script] : names) {
            if (std::optional<CodePage> page = CodePage::named(name))
                pages.push_back({std::move(*page), script});
        }
        return pages;
    }();
    return offered;
}

} // namespace textio
