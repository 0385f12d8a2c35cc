#include "sourcetint.h"

#include "theme/theme.h"


namespace SourceTint {

quint32 hash(QStringView name)
{
    quint32 h = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        char32_t scalar = c.unicode();
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            scalar = QChar::surrogateToUcs4(c, name[++i]);
        else if (c.isSurrogate())
            scalar = QChar::ReplacementCharacter; // a damaged name still gets a colour
        h = (h * 31 + scalar) % 65536;
    }
    return h;
}

Kind kind(QStringView name)
{
    return Kinds::shelves[hash(name) % Kinds::shelves.size()];
}

} // namespace SourceTint

const ThemeColor &sourceTint(QStringView name)
{
    return Theme::tint(SourceTint::kind(name));
}
