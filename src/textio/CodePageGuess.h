#pragma once

#include "CodePage.h"

#include <QByteArrayView>

#include <string>

namespace textio {

// Gathers what the code page of a text is guessed from, out of the text fed in pieces of any size: its first lines
// that hold a byte above 7F, up to a few kilobytes. Lines of plain ASCII tell nothing about a code page, and a
// long ASCII preamble (a licence, a header) would otherwise fill the sample. Where the pieces are cut does not
// change the sample.
class CodePageSample
{
public:
    void add(QByteArrayView bytes);

    // The offered code page the sample most likely comes from. Windows-1252 when the sample holds too few bytes
    // above 7F for a guess, or the guess is a code page not offered.
    CodePage guess() const;

private:
    void endLine();

    std::string m_sample;
    qsizetype m_sampleHighBytes = 0;
    std::string m_line; // the current line, as much of it as the sample has room for
    qsizetype m_lineHighBytes = 0;
};

} // namespace textio
