#include "querymatcher.h"

#include "textfold.h"

#include <limits>

QueryMatcher::Facts QueryMatcher::factsOf(const FileItem &item)
{
    Facts f;
    f.activity = item.activity();
    f.size = item.size();
    f.extId = item.extId();
    f.sourceId = item.sourceId();
    f.kind = item.kind();
    f.screenshot = item.isScreenshot();
    f.extUnpooled = f.extId == StringPool::kNone && !item.ext().isEmpty();
    return f;
}

QueryMatcher::QueryMatcher(const Query &query)
{
    m_kindActive = query.hasKindFilter();
    for (const Kind kind : query.kinds)
        m_kindMask |= quint8(1u << unsigned(kind));
    m_screenshots = query.screenshots;
    for (const QString &ext : query.exts) {
        m_exts.insert(ext);
        const std::optional<quint16> id = StringPool::find(ext);
        if (!id || *id == StringPool::kNone)
            continue;
        if (m_extBits.empty())
            m_extBits.assign(StringPool::kCapacity / 64, 0);
        m_extBits[*id / 64] |= quint64(1) << (*id % 64);
    }
    m_from = query.from.value_or(std::numeric_limits<Millis>::min());
    m_noTo = !query.to;
    m_to = query.to.value_or(std::numeric_limits<Millis>::max());
    m_minSize = query.minSize.value_or(std::numeric_limits<qint64>::min());
    m_maxSize = query.maxSize.value_or(std::numeric_limits<qint64>::max());
    if (query.source) {
        m_sourceActive = true;
        const std::optional<quint16> id = StringPool::find(*query.source);
        if (id && *id != StringPool::kNone)
            m_sourceId = *id;
    }
    m_filtersNothing = !m_kindActive && !query.from && !query.to && !query.minSize && !query.maxSize &&
                       !m_sourceActive;
    for (const QString &term : query.terms) {
        Term t;
        t.folded = TextFold::utf8(term);
        t.lower = term.toLower();
        t.stem = t.lower;
        if (term.size() > 3 && t.lower.endsWith(u's'))
            t.stem.chop(1);
        m_terms.push_back(std::move(t));
    }
}

// Every test is worked out and the answers combined without branching: a
// scan of a million records then costs no mispredicted jumps.
inline bool QueryMatcher::admits(const Facts &f, const FileItem &item) const
{
    bool kind = ((m_kindMask >> unsigned(f.kind)) & 1u) != 0;
    kind |= m_screenshots & f.screenshot;
    if (!m_extBits.empty())
        kind |= ((m_extBits[f.extId / 64] >> (f.extId % 64)) & 1u) != 0;
    if (f.extUnpooled && m_kindActive && !kind)
        kind = m_exts.contains(item.ext());
    const bool date = (f.activity >= m_from) & ((f.activity < m_to) | m_noTo);
    const bool size = (f.size >= m_minSize) & (f.size <= m_maxSize);
    const bool source = !m_sourceActive | (quint32(f.sourceId) == m_sourceId);
    return (kind | !m_kindActive) & date & size & source;
}

bool QueryMatcher::passesFilters(const Facts &facts, const FileItem &item) const
{
    return admits(facts, item);
}

void QueryMatcher::select(const std::vector<Facts> &facts, const QList<FileItem> &items, qsizetype begin,
                          qsizetype end, std::vector<qsizetype> &out) const
{
    // Every index is written and the count moves on only for a pass, so the
    // loop has no branch on the outcome either.
    constexpr int kChunk = 512;
    qsizetype chunk[kChunk];
    int kept = 0;
    for (qsizetype i = begin; i < end; ++i) {
        chunk[kept] = i;
        kept += admits(facts[size_t(i)], items.at(i)) ? 1 : 0;
        if (kept == kChunk) {
            out.insert(out.end(), chunk, chunk + kChunk);
            kept = 0;
        }
    }
    out.insert(out.end(), chunk, chunk + kept);
}

bool QueryMatcher::inFolded(qsizetype i, std::string_view foldedText) const
{
    return TextFold::contains(foldedText, m_terms[size_t(i)].folded);
}

bool QueryMatcher::inSubjects(qsizetype i, const QStringList &labels) const
{
    const Term &t = m_terms[size_t(i)];
    if (t.lower.isEmpty())
        return false;
    for (const QString &label : labels)
        if (label.contains(t.lower) || label.contains(t.stem))
            return true;
    return false;
}
