#include "InfoPages.h"

using namespace Qt::StringLiterals;

namespace info {

QString termsPage()
{
    return u"Vocabrix: type-token relation, hapax legomena and the model of vocabulary growth\n"
           "\n"
           "Written and maintained by the Vocabrix developers.\n"
           "Contact: the Vocabrix project, through its issue tracker.\n"
           "If Vocabrix helps your work, please support the project: report what goes wrong, suggest "
           "improvements and mention the program when you publish results obtained with it.\n"
           "\n"
           "Terms of Use\n"
           "\n"
           "This program may be copied and shared freely, but it may not be changed.\n"
           "\n"
           "The program is provided as it is. Its authors are not responsible for any loss or damage resulting "
           "from its use, whether of data, time or anything else.\n"_s;
}

QString documentationPage()
{
    return u"Documentation\n"
           "\n"
           "The model rests on the exact expectation of the vocabulary size under random sampling without "
           "replacement (Hurlbert 1971, Ecology 52: 577-586) and on the frequency-spectrum treatment of "
           "vocabulary growth (Baayen 2001, Word Frequency Distributions, Kluwer).\n"
           "\n"
           "A) Input\n"
           "1. Choose one or more text files with \"Load input files\"; selecting several files at once adds "
           "them all.\n"
           "2. Choose the type of the texts in the list below the files. A concordance, one entry per line "
           "holding the word type, a TAB and its frequency, may be used as well, for example:\n"
           "the\t4218\n"
           "of\t2637\n"
           "3. Choose the quantities to count: the number of types, hapax legomena, dis legomena and so on "
           "(frequencies 1 to 4 by default).\n"
           "4. Choose whether to measure them in the text and/or to compute the model, and the files the results "
           "are saved to.\n"
           "5. Choose the density of the output (a row after every 10th token by default).\n"
           "6. Choose whether to save the concordance to a file.\n"
           "7. Press \"Go!\".\n"
           "\n"
           "B) Processing\n"
           "The computation is heavy and its progress is not shown; long texts take their time, and the "
           "window does not respond until the run ends.\n"
           "\n"
           "C) Output\n"
           "After \"Done!\", \"View RFR Chart\" explores the rank-frequency relation; the \"Show types\" box "
           "labels each point with its word type. \"View TTR Chart\" shows the type-token relation; its check "
           "boxes choose the lines shown.\n"
           "Dragging with the left mouse button zooms, dragging with the right button scrolls.\n"
           "\"Save\" and \"Print\" save and print the charts, and the axes can be switched to logarithmic "
           "scales.\n"_s;
}

} // namespace info
