#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace textio {

// How a text without a byte-order mark that is not Unicode is decoded: by a code page guessed from the text
// itself ("automatic", the default) or by a single-byte code page named by the user.
class CodePage
{
public:
    CodePage() = default;

    // nullopt when no converter of this machine knows the name, or when it names no single-byte code page
    // (UTF-8, Shift_JIS, a stateful encoding) or one that leaves every byte above 7F undefined (ASCII).
    static std::optional<CodePage> named(const QString& name);
    // The code page of a text about which nothing better is known.
    static const CodePage& windows1252();

    bool isAutomatic() const { return m_name.isEmpty(); }
    // As the user or the list of offered code pages spelled it; empty for automatic.
    const QString& name() const { return m_name; }

    // Decodes one code unit per byte; for a named code page only. Returns the end.
    char16_t* decode(QByteArrayView bytes, char16_t* out) const;

    // Code pages that decode every byte alike are equal, whatever their names (CP866 and IBM866).
    friend bool operator==(const CodePage& a, const CodePage& b) { return a.m_units == b.m_units; }

private:
    QString m_name;
    // What each byte decodes to, learnt from the converter: a single-byte code page decodes a byte the same
    // wherever it stands, so the table decodes pieces cut anywhere as the converter decodes the whole.
    std::array<char16_t, 256> m_units{};
};

struct OfferedCodePage
{
    CodePage codePage;
    QString script; // the languages' script or region, e.g. "Cyrillic"
};

// The code pages offered by name, grouped by script, that this machine can decode. A guess picks only among them.
const std::vector<OfferedCodePage>& offeredCodePages();

} // namespace textio
