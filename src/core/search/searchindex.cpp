#include "searchindex.h"

#include "textfold.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <mutex>
#include <thread>
#include <utility>

namespace {

// Below this many records a second thread costs more than it saves.
constexpr qsizetype kParallelFrom = 65536;
// Answers kept: enough for the prefixes of a word typed and deleted.
constexpr size_t kAnswers = 12;

// The last path component, without copying it out of the path.
QByteArrayView nameOf(const FileItem &item)
{
    const QByteArray &path = item.path();
    return QByteArrayView(path).sliced(path.lastIndexOf('/') + 1);
}

} // namespace

std::shared_ptr<const SearchIndex> SearchIndex::of(const QList<FileItem> &items, const OcrTexts &ocr,
                                                   const SubjectLabels &subjects)
{
    // A search of the catalog on show must never wait while the next
    // catalog's table is built: looking up takes one lock, building another.
    static std::mutex lookup;
    static std::mutex building;
    static std::shared_ptr<const SearchIndex> last;
    const auto current = [] {
        std::lock_guard guard(lookup);
        return last;
    };
    std::shared_ptr<const SearchIndex> found = current();
    if (found && found->sameItems(items) && found->sameTexts(ocr, subjects))
        return found;
    // One build at a time: whoever comes second finds the table made.
    std::lock_guard guard(building);
    found = current();
    if (found && found->sameItems(items)) {
        if (found->sameTexts(ocr, subjects))
            return found;
        found = std::shared_ptr<const SearchIndex>(new SearchIndex(*found, ocr, subjects));
    } else {
        found = std::make_shared<const SearchIndex>(items, ocr, subjects);
    }
    std::shared_ptr<const SearchIndex> old;
    {
        std::lock_guard replace(lookup);
        old = std::exchange(last, found);
    }
    // The old table goes here, outside the lock: freeing it takes a while.
    old.reset();
    return found;
}

SearchIndex::SearchIndex(const QList<FileItem> &items, const OcrTexts &ocr, const SubjectLabels &subjects)
    : m_items(items), m_ocr(ocr), m_subjects(subjects)
{
    auto names = std::make_shared<Names>();
    const qsizetype n = items.size();
    names->facts.resize(size_t(n));
    names->offsets.resize(size_t(n) + 1);
    const int parts = n < kParallelFrom ? 1 : threads();
    // Each slice folds into its own buffer; the buffers are then laid end to end.
    struct Slice
    {
        std::string folded;
        std::array<qsizetype, 256> bytes{};
    };
    std::vector<Slice> slices(static_cast<size_t>(parts));
    const auto build = [&](int part) {
        const qsizetype begin = n * part / parts;
        const qsizetype end = n * (part + 1) / parts;
        Slice &slice = slices[size_t(part)];
        slice.folded.reserve(size_t(end - begin) * 24);
        for (qsizetype i = begin; i < end; ++i) {
            const FileItem &item = items.at(i);
            names->facts[size_t(i)] = QueryMatcher::factsOf(item);
            names->offsets[size_t(i)] = qsizetype(slice.folded.size());
            TextFold::appendName(nameOf(item), slice.folded);
        }
        for (const char c : slice.folded)
            ++slice.bytes[static_cast<unsigned char>(c)];
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part)
        helpers.emplace_back(build, part);
    build(0);
    for (std::thread &t : helpers)
        t.join();
    size_t total = 0;
    for (const Slice &slice : slices)
        total += slice.folded.size();
    names->folded.reserve(total);
    for (int part = 0; part < parts; ++part) {
        const Slice &slice = slices[size_t(part)];
        const qsizetype base = qsizetype(names->folded.size());
        for (qsizetype i = n * part / parts; i < n * (part + 1) / parts; ++i)
            names->offsets[size_t(i)] += base;
        names->folded += slice.folded;
        for (size_t b = 0; b < 256; ++b)
            names->bytes[b] += slice.bytes[b];
    }
    names->offsets[size_t(n)] = qsizetype(names->folded.size());
    m_names = std::move(names);
    buildExtras();
}

int SearchIndex::threads()
{
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

SearchIndex::SearchIndex(const SearchIndex &other, const OcrTexts &ocr, const SubjectLabels &subjects)
    : m_items(other.m_items), m_ocr(ocr), m_subjects(subjects), m_names(other.m_names)
{
    buildExtras();
}

qsizetype SearchIndex::bytes() const
{
    qsizetype total = qsizetype(m_names->facts.capacity() * sizeof(QueryMatcher::Facts) +
                                m_names->folded.capacity() + m_names->offsets.capacity() * sizeof(qsizetype) +
                                m_extraOf.capacity() * sizeof(qint32) + m_extras.capacity() * sizeof(Extra));
    for (const Extra &extra : m_extras)
        total += qsizetype(extra.text.capacity());
    return total;
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
    const qsizetype length = qsizetype(term.size());
    const qsizetype stop = offsets[size_t(end)];
    qsizetype record = begin;
    // Where the name of the last hit ends: a name counts once, so the rest
    // of it is skipped. Short terms hit in most names, several times over.
    qsizetype skipTo = 0;
    // A match must lie within one name; each name counts once. `tested`:
    // the caller compared the whole term already.
    const auto candidate = [&](qsizetype start, bool tested) {
        if (start < skipTo || start + length > stop ||
            (!tested && std::memcmp(base + start, term.data(), term.size()) != 0))
            return;
        while (offsets[size_t(record) + 1] <= start)
            ++record;
        if (start + length <= offsets[size_t(record) + 1]) {
            hits.push_back(record);
            skipTo = offsets[size_t(record) + 1];
        }
    };
    // Two of the term's rarest bytes, at their places in the term, are
    // tested sixteen positions at a time; only where both agree is the term
    // compared. Names are short and many, so this beats a search per name.
    size_t first = 0;
    for (size_t k = 1; k < term.size(); ++k)
        if (m_names->bytes[static_cast<unsigned char>(term[k])] <
            m_names->bytes[static_cast<unsigned char>(term[first])])
            first = k;
    size_t second = first == 0 ? term.size() - 1 : 0;
    for (size_t k = 0; k < term.size(); ++k)
        if (k != first && m_names->bytes[static_cast<unsigned char>(term[k])] <
                              m_names->bytes[static_cast<unsigned char>(term[second])])
            second = k;
    qsizetype pos = offsets[size_t(begin)];
#if defined(__SSE2__)
    const qsizetype reach = qsizetype(std::max(first, second)) + 16;
    const __m128i a = _mm_set1_epi8(term[first]);
    const __m128i b = _mm_set1_epi8(term[second]);
    // The two bytes tested are the whole of a term of one or two.
    const bool whole = term.size() <= 2;
    for (; pos + reach <= stop; pos += 16) {
        if (skipTo > pos + 16) {
            pos = skipTo - 16;
            continue;
        }
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + pos + first));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + pos + second));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, a), _mm_cmpeq_epi8(y, b))));
        while (mask) {
            candidate(pos + __builtin_ctz(mask), whole);
            mask &= mask - 1;
        }
    }
#endif
    for (; pos + length <= stop; ++pos)
        if (base[pos + qsizetype(first)] == term[first])
            candidate(pos, false);
    return hits;
}

void SearchIndex::scan(const QueryMatcher &matcher, qsizetype begin, qsizetype end,
                       std::vector<qsizetype> &out) const
{
    const qsizetype terms = matcher.termCount();
    if (terms == 0) {
        matcher.select(m_names->facts, m_items, begin, end, out);
        return;
    }
    // The records that pass the cheap tests; the text tests come after, for those alone.
    std::vector<qsizetype> passed;
    const bool everyRecord = matcher.filtersNothing();
    if (!everyRecord)
        matcher.select(m_names->facts, m_items, begin, end, passed);
    const qsizetype candidates = everyRecord ? end - begin : qsizetype(passed.size());
    // With few survivors each name is searched on its own; with many, one sweep over all names is cheaper.
    const bool sweep = candidates * 8 > end - begin;
    std::vector<std::vector<qsizetype>> hits(static_cast<size_t>(terms));
    std::vector<size_t> cursor(static_cast<size_t>(terms), size_t(0));
    if (sweep)
        for (qsizetype t = 0; t < terms; ++t)
            hits[size_t(t)] = withName(matcher.foldedTerm(t), begin, end);
    const auto found = [&](qsizetype i, qsizetype t) {
        if (sweep) {
            const std::vector<qsizetype> &h = hits[size_t(t)];
            size_t &c = cursor[size_t(t)];
            while (c < h.size() && h[c] < i)
                ++c;
            if (c < h.size() && h[c] == i)
                return true;
        } else if (matcher.inFolded(t, name(i))) {
            return true;
        }
        const qint32 extra = m_extraOf.empty() ? -1 : m_extraOf[size_t(i)];
        if (extra < 0)
            return false;
        const Extra &e = m_extras[size_t(extra)];
        return (e.hasText && matcher.inFolded(t, e.text)) || (e.labels && matcher.inSubjects(t, *e.labels));
    };
    const auto test = [&](qsizetype i) {
        for (qsizetype t = 0; t < terms; ++t)
            if (!found(i, t))
                return;
        out.push_back(i);
    };
    if (everyRecord && terms == 1 && m_extraOf.empty() && sweep) {
        // The common case of a word typed alone: the name hits are the answer.
        out.insert(out.end(), hits[0].begin(), hits[0].end());
        return;
    }
    if (everyRecord)
        for (qsizetype i = begin; i < end; ++i)
            test(i);
    else
        for (const qsizetype i : passed)
            test(i);
}

QList<FileItem> SearchIndex::filter(const QueryMatcher &matcher, int parts) const
{
    const qsizetype n = m_items.size();
    if (matcher.filtersNothing() && matcher.termCount() == 0)
        return m_items;
    if (n < kParallelFrom || parts < 2)
        parts = 1;
    // Each slice also copies out its own records: taking a reference on each
    // record touches it in memory, which costs as much as the test itself.
    std::vector<QList<FileItem>> found(static_cast<size_t>(parts));
    const auto slice = [&](int part) {
        std::vector<qsizetype> indices;
        scan(matcher, n * part / parts, n * (part + 1) / parts, indices);
        QList<FileItem> &records = found[size_t(part)];
        records.reserve(qsizetype(indices.size()));
        // The record a few places ahead is asked for early: its reference
        // count shares a cache line with its path, whose address needs no load.
        constexpr size_t kAhead = 16;
        for (size_t k = 0; k < indices.size(); ++k) {
            if (k + kAhead < indices.size())
                __builtin_prefetch(&m_items.at(indices[k + kAhead]).path(), 1);
            records.append(m_items.at(indices[k]));
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part)
        helpers.emplace_back(slice, part);
    slice(0);
    for (std::thread &t : helpers)
        t.join();
    if (parts == 1)
        return std::move(found.front());
    qsizetype total = 0;
    for (const QList<FileItem> &f : found)
        total += f.size();
    QList<FileItem> out;
    out.reserve(total);
    for (QList<FileItem> &f : found)
        out.append(std::move(f));
    return out;
}

QList<FileItem> SearchIndex::search(const Query &query, int parts) const
{
    {
        std::lock_guard guard(m_answersLock);
        for (auto answer = m_answers.begin(); answer != m_answers.end(); ++answer) {
            if (answer->query != query)
                continue;
            std::rotate(answer, answer + 1, m_answers.end());
            return m_answers.back().items;
        }
    }
    QList<FileItem> found = filter(QueryMatcher(query), parts);
    std::lock_guard guard(m_answersLock);
    // At most about two catalogs' worth of references are kept.
    qsizetype held = found.size();
    for (const Answer &answer : m_answers)
        held += answer.items.size();
    while (!m_answers.empty() && (m_answers.size() >= kAnswers || held > 2 * m_items.size())) {
        held -= m_answers.front().items.size();
        m_answers.erase(m_answers.begin());
    }
    m_answers.push_back(Answer{query, found});
    return found;
}
