#pragma once

#include <QColor>
#include <QTextCharFormat>

struct OptionValues;

// The fonts and colours the options hold, as the editors use them. Colours are stored as the
// number whose low byte is red, the next green and the next blue.
class FontOptions
{
public:
    static QColor colour(int bbggrr);
    static int colourNumber(const QColor &colour);

    // The conversation font ("fontname", "fontsiz", "fontbld", "fnt_itl") in the given colour.
    static QTextCharFormat conversationFont(const OptionValues &options, const QColor &colour);
    static void storeConversationFont(OptionValues &options, const QTextCharFormat &font);
    // The input font ("e-fontname", "e-fontsiz", "e-color", "e-fontbld", "e-fnt_itl").
    static QTextCharFormat inputFont(const OptionValues &options);
    static void storeInputFont(OptionValues &options, const QTextCharFormat &font);
};
