#include "querymatcher.h"

#include "textfold.h"

#include <algorithm>

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
        if (id && *id != StringPool::kNone)
            m_extIds.push_back(*id);
    }
    m_from = query.from;
    m_to = query.to;
    m_minSize = query.minSize;
    m_maxSize = query.maxSize;
    if (query.source) {
        m_sourceActive = true;
        const std::optional<quint16> id = StringPool::find(*query.source);
        if (id && *id != StringPool::kNone)
            m_sourceId = *id;
    }
    m_filtersNothing = !m_kindActive && !m_from && !m_to && !m_minSize && !m_maxSize && !m_sourceActive;
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

inline bool QueryMatcher::admits(const Facts &f, const FileItem &item) const
{
    if (m_kindActive) {
        bool admitted = (m_kindMask & (1u << unsigned(f.kind))) != 0 || (m_screenshots && f.screenshot);
        if (!admitted) {
            if (f.extUnpooled)
                admitted = m_exts.contains(item.ext());
            else if (f.extId != StringPool::kNone)
                admitted = std::find(m_extIds.begin(), m_extIds.end(), f.extId) != m_extIds.end();
        }
        if (!admitted)
            return false;
    }
    if (m_from && f.activity < *m_from)
        return false;
    if (m_to && f.activity >= *m_to)
        return false;
    if (m_minSize && f.size < *m_minSize)
        return false;
    if (m_maxSize && f.size > *m_maxSize)
        return false;
    if (m_sourceActive && (!m_sourceId || f.sourceId != *m_sourceId))
        return false;
    return true;
}

bool QueryMatcher::passesFilters(const Facts &facts, const FileItem &item) const
{
    return admits(facts, item);
}

void QueryMatcher::select(const std::vector<Facts> &facts, const QList<FileItem> &items, qsizetype begin,
                          qsizetype end, std::vector<qsizetype> &out) const
{
    for (qsizetype i = begin; i < end; ++i)
        if (admits(facts[size_t(i)], items.at(i)))
            out.push_back(i);
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
