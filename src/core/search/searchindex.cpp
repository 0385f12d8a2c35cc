#include "searchindex.h"

#include "textfold.h"

#include <cstring>
#include <mutex>
#include <thread>

namespace {

// Below this many records a second thread costs more than it saves.
constexpr qsizetype kParallelFrom = 65536;

} // namespace

std::shared_ptr<const SearchIndex> SearchIndex::of(const QList<FileItem> &items, const OcrTexts &ocr,
                                                   const SubjectLabels &subjects)
{
    static std::mutex lock;
    static std::shared_ptr<const SearchIndex> last;
    std::lock_guard guard(lock);
    if (last && last->sameItems(items)) {
        if (!last->sameTexts(ocr, subjects))
            last = std::shared_ptr<const SearchIndex>(new SearchIndex(*last, ocr, subjects));
        return last;
    }
    // Let the old table go before the new one is built: both at once would double the memory.
    last.reset();
    last = std::make_shared<const SearchIndex>(items, ocr, subjects);
    return last;
}

SearchIndex::SearchIndex(const QList<FileItem> &items, const OcrTexts &ocr, const SubjectLabels &subjects)
    : m_items(items), m_ocr(ocr), m_subjects(subjects)
{
    auto names = std::make_shared<Names>();
    const qsizetype n = items.size();
    names->facts.resize(size_t(n));
    names->offsets.resize(size_t(n) + 1);
    names->folded.reserve(size_t(n) * 24);
    for (qsizetype i = 0; i < n; ++i) {
        const FileItem &item = items.at(i);
        names->facts[size_t(i)] = QueryMatcher::factsOf(item);
        names->offsets[size_t(i)] = qsizetype(names->folded.size());
        TextFold::appendName(item.nameBytes(), names->folded);
    }
    names->offsets[size_t(n)] = qsizetype(names->folded.size());
    m_names = std::move(names);
    buildExtras();
}

SearchIndex::SearchIndex(const SearchIndex &other, const OcrTexts &ocr, const SubjectLabels &subjects)
    : m_items(other.m_items), m_ocr(ocr), m_subjects(subjects), m_names(other.m_names)
{
    buildExtras();
}

bool SearchIndex::sameItems(const QList<FileItem> &items) const
{
    return m_items.isSharedWith(items) && m_items.size() == items.size();
}

bool SearchIndex::sameTexts(const OcrTexts &ocr, const SubjectLabels &subjects) const
{
    return m_ocr.isSharedWith(ocr) && m_subjects.isSharedWith(subjects);
}

void SearchIndex::buildExtras()
{
    if (m_ocr.isEmpty() && m_subjects.isEmpty())
        return;
    m_extraOf.assign(size_t(m_items.size()), -1);
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const QByteArray &path = m_items.at(i).path();
        const auto text = m_ocr.constFind(path);
        const auto labels = m_subjects.constFind(path);
        if (text == m_ocr.cend() && labels == m_subjects.cend())
            continue;
        Extra extra;
        if (text != m_ocr.cend()) {
            extra.hasText = true;
            extra.text = TextFold::utf8(*text);
        }
        if (labels != m_subjects.cend())
            extra.labels = &labels.value();
        m_extraOf[size_t(i)] = qint32(m_extras.size());
        m_extras.push_back(std::move(extra));
    }
}

std::string_view SearchIndex::name(qsizetype i) const
{
    const qsizetype begin = m_names->offsets[size_t(i)];
    return std::string_view(m_names->folded).substr(size_t(begin), size_t(m_names->offsets[size_t(i) + 1] - begin));
}

std::vector<qsizetype> SearchIndex::withName(const std::string &term, qsizetype begin, qsizetype end) const
{
    std::vector<qsizetype> hits;
    if (term.empty())
        return hits;
    const char *base = m_names->folded.data();
    const std::vector<qsizetype> &offsets = m_names->offsets;
    qsizetype pos = offsets[size_t(begin)];
    const qsizetype stop = offsets[size_t(end)];
    qsizetype record = begin;
    // One sweep over the slice's names back to back; a hit that runs into the
    // next name is no hit, and after a hit the rest of that name is skipped.
    while (pos < stop) {
        const void *found = ::memmem(base + pos, size_t(stop - pos), term.data(), term.size());
        if (!found)
            break;
        const qsizetype at = static_cast<const char *>(found) - base;
        while (offsets[size_t(record) + 1] <= at)
            ++record;
        if (at + qsizetype(term.size()) <= offsets[size_t(record) + 1]) {
            hits.push_back(record);
            pos = offsets[size_t(record) + 1];
            ++record;
        } else {
            pos = at + 1;
        }
    }
    return hits;
}

void SearchIndex::scan(const QueryMatcher &matcher, qsizetype begin, qsizetype end,
                       std::vector<qsizetype> &out) const
{
    const std::vector<QueryMatcher::Facts> &facts = m_names->facts;
    const qsizetype terms = matcher.termCount();
    if (terms == 0) {
        for (qsizetype i = begin; i < end; ++i)
            if (matcher.passesFilters(facts[size_t(i)], m_items.at(i)))
                out.push_back(i);
        return;
    }
    // The records that pass the cheap tests; the text tests come after, for those alone.
    std::vector<qsizetype> passed;
    if (matcher.filtersNothing()) {
        passed.resize(size_t(end - begin));
        for (qsizetype i = begin; i < end; ++i)
            passed[size_t(i - begin)] = i;
    } else {
        for (qsizetype i = begin; i < end; ++i)
            if (matcher.passesFilters(facts[size_t(i)], m_items.at(i)))
                passed.push_back(i);
    }
    // With few survivors each name is searched on its own; with many, one sweep over all names is cheaper.
    const bool sweep = qsizetype(passed.size()) * 8 > end - begin;
    std::vector<std::vector<qsizetype>> hits(static_cast<size_t>(terms));
    std::vector<size_t> cursor(size_t(terms), size_t(0));
    if (sweep)
        for (qsizetype t = 0; t < terms; ++t)
            hits[size_t(t)] = withName(matcher.foldedTerm(t), begin, end);
    for (const qsizetype i : passed) {
        bool all = true;
        for (qsizetype t = 0; t < terms && all; ++t) {
            bool inName;
            if (sweep) {
                const std::vector<qsizetype> &h = hits[size_t(t)];
                size_t &c = cursor[size_t(t)];
                while (c < h.size() && h[c] < i)
                    ++c;
                inName = c < h.size() && h[c] == i;
            } else {
                inName = matcher.inFolded(t, name(i));
            }
            if (inName)
                continue;
            const qint32 extra = m_extraOf.empty() ? -1 : m_extraOf[size_t(i)];
            if (extra >= 0) {
                const Extra &e = m_extras[size_t(extra)];
                if (e.hasText && matcher.inFolded(t, e.text))
                    continue;
                if (e.labels && matcher.inSubjects(t, *e.labels))
                    continue;
            }
            all = false;
        }
        if (all)
            out.push_back(i);
    }
}

QList<FileItem> SearchIndex::filter(const QueryMatcher &matcher, int parts) const
{
    const qsizetype n = m_items.size();
    if (matcher.filtersNothing() && matcher.termCount() == 0)
        return m_items;
    if (n < kParallelFrom || parts < 2)
        parts = 1;
    std::vector<std::vector<qsizetype>> found(static_cast<size_t>(parts));
    std::vector<std::thread> helpers;
    const auto slice = [&](int part) {
        const qsizetype begin = n * part / parts;
        const qsizetype end = n * (part + 1) / parts;
        scan(matcher, begin, end, found[size_t(part)]);
    };
    for (int part = 1; part < parts; ++part)
        helpers.emplace_back(slice, part);
    slice(0);
    for (std::thread &t : helpers)
        t.join();
    QList<FileItem> out;
    qsizetype total = 0;
    for (const auto &f : found)
        total += qsizetype(f.size());
    out.reserve(total);
    for (const auto &f : found)
        for (const qsizetype i : f)
            out.append(m_items.at(i));
    return out;
}
