#include "fontoptions.h"

#include "contacts/optionvalues.h"

#include <QFont>

namespace {

QTextCharFormat font(const QString &name, int points, bool bold, bool italic, const QColor &colour)
{
    QTextCharFormat format;
    format.setFontFamilies({name});
    format.setFontPointSize(points > 0 ? points : 11);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    format.setFontUnderline(false);
    format.setForeground(colour);
    return format;
}

QString family(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? format.font().family() : families.first();
}

} // namespace

QColor FontOptions::colour(int bbggrr)
{
    return QColor(bbggrr & 0xff, (bbggrr >> 8) & 0xff, (bbggrr >> 16) & 0xff);
}

int FontOptions::colourNumber(const QColor &colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

QTextCharFormat FontOptions::conversationFont(const OptionValues &options, const QColor &colour)
{
    return font(options.fontname, options.fontsiz, options.fontbld, options.fnt_itl, colour);
}

void FontOptions::storeConversationFont(OptionValues &options, const QTextCharFormat &format)
{
    options.fontname = family(format);
    options.fontsiz = qRound(format.fontPointSize());
    options.fontbld = format.fontWeight() >= QFont::Bold;
    options.fnt_itl = format.fontItalic();
}

QTextCharFormat FontOptions::inputFont(const OptionValues &options)
{
    return font(options.e_fontname, options.e_fontsiz, options.e_fontbld, options.e_fnt_itl, colour(options.e_color));
}

void FontOptions::storeInputFont(OptionValues &options, const QTextCharFormat &format)
{
    options.e_fontname = family(format);
    options.e_fontsiz = qRound(format.fontPointSize());
    options.e_color = colourNumber(format.foreground().color());
    options.e_fontbld = format.fontWeight() >= QFont::Bold;
    options.e_fnt_itl = format.fontItalic();
}
