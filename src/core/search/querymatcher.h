#pragma once

#include "query.h"

#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

// A query prepared for testing many records: the extension and source
// filters become pool ids, the terms are folded once. Query::matches and the
// catalog-wide scan both test through this, so they cannot disagree.
class QueryMatcher final
{
public:
    // What the filters read from a record, packed so that a scan of the whole
    // catalog walks one dense array instead of a million separate records.
    struct Facts
    {
        Millis activity = kDistantPast;
        qint64 size = 0;
        quint16 extId = StringPool::kNone;
        quint16 sourceId = StringPool::kNone;
        Kind kind = Kind::other;
        bool screenshot = false;
        // The pool was full when the record was made: its extension is only in its name.
        bool extUnpooled = false;
    };
    static Facts factsOf(const FileItem &item);

    explicit QueryMatcher(const Query &query);

    // Kind, date, size and source. `item` is read only for an unpooled extension.
    bool passesFilters(const Facts &facts, const FileItem &item) const;
    // Appends the indices in [begin, end) whose facts pass, ascending: the
    // dense loop of a catalog scan, kept beside `passesFilters` so the two
    // are one test.
    void select(const std::vector<Facts> &facts, const QList<FileItem> &items, qsizetype begin, qsizetype end,
                std::vector<qsizetype> &out) const;
    // True when no filter is active, so every record passes `passesFilters`.
    bool filtersNothing() const { return m_filtersNothing; }

    qsizetype termCount() const { return qsizetype(m_terms.size()); }
    // Term `i`, folded, for a search in folded names and recognised text.
    const std::string &foldedTerm(qsizetype i) const { return m_terms[size_t(i)].folded; }
    bool inFolded(qsizetype i, std::string_view foldedText) const;
    // Term `i` lower-cased, or its stem, inside one of the labels.
    bool inSubjects(qsizetype i, const QStringList &labels) const;

private:
    // The body of `passesFilters`, inlined into the scan loop.
    bool admits(const Facts &facts, const FileItem &item) const;

    struct Term
    {
        std::string folded;
        QString lower;
        QString stem;
    };

    bool m_kindActive = false;
    quint8 m_kindMask = 0;
    bool m_screenshots = false;
    std::vector<quint64> m_extBits; // one bit per pool id; empty when no extension is asked for
    QSet<QString> m_exts;
    Millis m_from = 0;
    Millis m_to = 0;
    bool m_noTo = true;
    qint64 m_minSize = 0;
    qint64 m_maxSize = 0;
    bool m_sourceActive = false;
    // Past every pool id when no record can carry the source asked for.
    quint32 m_sourceId = 0x10000;
    bool m_filtersNothing = true;
    std::vector<Term> m_terms;
};
