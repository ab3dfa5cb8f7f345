#pragma once

#include <QByteArrayView>

// The control words the reader acts on. Everything else is Unknown and ignored (or, after \*,
// skipped with its group).
enum class RtfKeyword {
    Unknown,
    // document and encoding
    Rtf, Ansi, Mac, Pc, Pca, Ansicpg, Deff, Uc, U, Cpg,
    // destinations
    Fonttbl, Colortbl, Info, Stylesheet, Header, Headerl, Headerr, Headerf, Footer, Footerl,
    Footerr, Footerf, Footnote, Annotation, Listtable, Listoverridetable, Revtbl, Rsidtbl,
    Generator, Xmlnstbl, Themedata, Colorschememapping, Datastore, Latentstyles, Filetbl,
    Pgdsctbl, Userprops, Docvar, Template, Pn, Object, Objdata, Result, Field, Fldinst, Fldrslt,
    Shppict, Nonshppict, Pict, Shp, Shpinst, Shprslt, Bkmkstart, Bkmkend,
    // fonts and colours
    F, Fcharset, Red, Green, Blue,
    // character formats
    Plain, B, I, Ul, Ulnone, Strike, Fs, Cf, Highlight, Cb, Chcbpat,
    // paragraph formats
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi,
    // breaks and special characters
    Par, Line, Tab, Page, Sect, Row, Cell, Emdash, Endash, Lquote, Rquote, Ldblquote, Rdblquote,
    Bullet, Emspace, Enspace, Qmspace,
    // pictures
    Picw, Pich, Picwgoal, Pichgoal, Picscalex, Picscaley, Dibitmap, Wbitmap, Wbmbitspixel,
    Wbmwidthbytes, Pngblip, Jpegblip, Emfblip, Wmetafile, Pmmetafile, Macpict,
};

RtfKeyword rtfKeyword(QByteArrayView word);
