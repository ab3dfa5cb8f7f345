#include "rtfkeywords.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct Entry {
    std::string_view name;
    RtfKeyword keyword;
};

// Sorted by name for the binary search below. The underline variants (\uld, \ulw, ...) all map
// to Ul: they read as a plain underline.
constexpr std::array kEntries = std::to_array<Entry>({
    {"annotation", RtfKeyword::Annotation}, {"ansi", RtfKeyword::Ansi},
    {"ansicpg", RtfKeyword::Ansicpg}, {"b", RtfKeyword::B}, {"bkmkend", RtfKeyword::Bkmkend},
    {"bkmkstart", RtfKeyword::Bkmkstart}, {"blue", RtfKeyword::Blue},
    {"bullet", RtfKeyword::Bullet}, {"cb", RtfKeyword::Cb}, {"cell", RtfKeyword::Cell},
    {"cf", RtfKeyword::Cf}, {"chcbpat", RtfKeyword::Chcbpat},
    {"colorschememapping", RtfKeyword::Colorschememapping},
    {"colortbl", RtfKeyword::Colortbl}, {"cpg", RtfKeyword::Cpg},
    {"datastore", RtfKeyword::Datastore}, {"deff", RtfKeyword::Deff},
    {"dibitmap", RtfKeyword::Dibitmap}, {"docvar", RtfKeyword::Docvar},
    {"emdash", RtfKeyword::Emdash}, {"emfblip", RtfKeyword::Emfblip},
    {"emspace", RtfKeyword::Emspace}, {"endash", RtfKeyword::Endash},
    {"enspace", RtfKeyword::Enspace}, {"f", RtfKeyword::F}, {"fcharset", RtfKeyword::Fcharset},
    {"fi", RtfKeyword::Fi}, {"field", RtfKeyword::Field}, {"filetbl", RtfKeyword::Filetbl},
    {"fldinst", RtfKeyword::Fldinst}, {"fldrslt", RtfKeyword::Fldrslt},
    {"fonttbl", RtfKeyword::Fonttbl}, {"footer", RtfKeyword::Footer},
    {"footerf", RtfKeyword::Footerf}, {"footerl", RtfKeyword::Footerl},
    {"footerr", RtfKeyword::Footerr}, {"footnote", RtfKeyword::Footnote},
    {"fs", RtfKeyword::Fs}, {"generator", RtfKeyword::Generator},
    {"green", RtfKeyword::Green}, {"header", RtfKeyword::Header},
    {"headerf", RtfKeyword::Headerf}, {"headerl", RtfKeyword::Headerl},
    {"headerr", RtfKeyword::Headerr}, {"highlight", RtfKeyword::Highlight},
    {"i", RtfKeyword::I}, {"info", RtfKeyword::Info}, {"jpegblip", RtfKeyword::Jpegblip},
    {"latentstyles", RtfKeyword::Latentstyles}, {"ldblquote", RtfKeyword::Ldblquote},
    {"li", RtfKeyword::Li}, {"line", RtfKeyword::Line},
    {"listoverridetable", RtfKeyword::Listoverridetable},
    {"listtable", RtfKeyword::Listtable}, {"lquote", RtfKeyword::Lquote},
    {"mac", RtfKeyword::Mac}, {"macpict", RtfKeyword::Macpict},
    {"nonshppict", RtfKeyword::Nonshppict}, {"objdata", RtfKeyword::Objdata},
    {"object", RtfKeyword::Object}, {"page", RtfKeyword::Page}, {"par", RtfKeyword::Par},
    {"pard", RtfKeyword::Pard}, {"pc", RtfKeyword::Pc}, {"pca", RtfKeyword::Pca},
    {"pgdsctbl", RtfKeyword::Pgdsctbl}, {"pich", RtfKeyword::Pich},
    {"pichgoal", RtfKeyword::Pichgoal}, {"picscalex", RtfKeyword::Picscalex},
    {"picscaley", RtfKeyword::Picscaley}, {"pict", RtfKeyword::Pict},
    {"picw", RtfKeyword::Picw}, {"picwgoal", RtfKeyword::Picwgoal},
    {"plain", RtfKeyword::Plain}, {"pmmetafile", RtfKeyword::Pmmetafile},
    {"pn", RtfKeyword::Pn}, {"pngblip", RtfKeyword::Pngblip}, {"qc", RtfKeyword::Qc},
    {"qj", RtfKeyword::Qj}, {"ql", RtfKeyword::Ql}, {"qmspace", RtfKeyword::Qmspace},
    {"qr", RtfKeyword::Qr}, {"rdblquote", RtfKeyword::Rdblquote}, {"red", RtfKeyword::Red},
    {"result", RtfKeyword::Result}, {"revtbl", RtfKeyword::Revtbl}, {"ri", RtfKeyword::Ri},
    {"row", RtfKeyword::Row}, {"rquote", RtfKeyword::Rquote}, {"rsidtbl", RtfKeyword::Rsidtbl},
    {"rtf", RtfKeyword::Rtf}, {"sect", RtfKeyword::Sect}, {"shp", RtfKeyword::Shp},
    {"shpinst", RtfKeyword::Shpinst}, {"shppict", RtfKeyword::Shppict},
    {"shprslt", RtfKeyword::Shprslt}, {"strike", RtfKeyword::Strike},
    {"stylesheet", RtfKeyword::Stylesheet}, {"tab", RtfKeyword::Tab},
    {"template", RtfKeyword::Template}, {"themedata", RtfKeyword::Themedata},
    {"u", RtfKeyword::U}, {"uc", RtfKeyword::Uc}, {"ul", RtfKeyword::Ul},
    {"uld", RtfKeyword::Ul}, {"uldash", RtfKeyword::Ul}, {"uldashd", RtfKeyword::Ul},
    {"uldashdd", RtfKeyword::Ul}, {"uldb", RtfKeyword::Ul}, {"ulhwave", RtfKeyword::Ul},
    {"ulldash", RtfKeyword::Ul}, {"ulnone", RtfKeyword::Ulnone}, {"ulth", RtfKeyword::Ul},
    {"ulthd", RtfKeyword::Ul}, {"ulthdash", RtfKeyword::Ul}, {"ululdbwave", RtfKeyword::Ul},
    {"ulw", RtfKeyword::Ul}, {"ulwave", RtfKeyword::Ul}, {"userprops", RtfKeyword::Userprops},
    {"wbitmap", RtfKeyword::Wbitmap}, {"wbmbitspixel", RtfKeyword::Wbmbitspixel},
    {"wbmwidthbytes", RtfKeyword::Wbmwidthbytes}, {"wmetafile", RtfKeyword::Wmetafile},
    {"xmlnstbl", RtfKeyword::Xmlnstbl},
});

constexpr bool sorted()
{
    for (std::size_t i = 1; i < kEntries.size(); ++i) {
        if (!(kEntries[i - 1].name < kEntries[i].name))
            return false;
    }
    return true;
}
static_assert(sorted(), "keyword table must stay sorted for the binary search");

} // namespace

RtfKeyword rtfKeyword(QByteArrayView word)
{
    const std::string_view name(word.data(), std::size_t(word.size()));
    const auto it = std::lower_bound(kEntries.begin(), kEntries.end(), name,
                                     [](const Entry &e, std::string_view n) { return e.name < n; });
    return (it != kEntries.end() && it->name == name) ? it->keyword : RtfKeyword::Unknown;
}
