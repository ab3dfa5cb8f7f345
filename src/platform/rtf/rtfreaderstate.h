#pragma once

#include <Qt>

// What one RTF group carries: the destination its text goes to and the character and
// paragraph formats in force. Entering a group copies the state; leaving it restores the outer
// one, which is how RTF scopes \b, \uc, \pard and everything else.

struct RtfCharState {
    static constexpr int kDefaultHalfPoints = 24;

    int font = -1; // -1: the document's default font (\deffN)
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;     // index into the colour table; 0 is the automatic colour
    int highlight = 0; // index into the colour table; 0 is none
    int link = -1;     // index of the hyperlink field whose result this is

    bool operator==(const RtfCharState &) const = default;
};

struct RtfParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;

    bool operator==(const RtfParaState &) const = default;
};

enum class RtfDestination {
    Text,             // the document's text
    FontTable,
    ColorTable,
    Picture,
    FieldInstruction,
    Object,           // an embedded object: only its \result shows
};

struct RtfGroupState {
    RtfDestination destination = RtfDestination::Text;
    RtfCharState chars;
    RtfParaState para;
    int uc = 1;           // characters a \uN's fallback takes
    int field = -1;       // the \field this group belongs to
    bool ownsPicture = false;
    bool ignorable = false; // \* seen: an unknown destination word skips the group
};
