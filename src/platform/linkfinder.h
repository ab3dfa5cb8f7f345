#pragma once

#include <QString>

// Finds the web address or "file://" link that a position in plain text falls on, as the
// conversation shows them (received-file notices carry "file://" links between blanks).
class LinkFinder
{
public:
    // The link around `position`, or an empty string when the text there is no link.
    static QString linkAt(const QString &text, int position);
};
