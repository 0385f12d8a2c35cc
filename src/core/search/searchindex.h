#pragma once

#include "query.h"
#include "querymatcher.h"

#include <QList>

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// A side table kept alongside a catalog: each record's filter facts in one
// dense array and its name folded once, plus the folded recognised text of
// the records that have some. Built once per list of records, so a search on
// every keystroke folds nothing but its own terms.
class SearchIndex final
{
public:
    // The index of these lists, reused while they are the very same lists
    // (the catalog hands out shared copies, so a changed catalog is a new list).
    static std::shared_ptr<const SearchIndex> of(const QList<FileItem> &items, const OcrTexts &ocr,
                                                 const SubjectLabels &subjects);

    SearchIndex(const QList<FileItem> &items, const OcrTexts &ocr, const SubjectLabels &subjects);

    qsizetype size() const { return m_items.size(); }
    // The heap the table itself holds (not the records it stands for).
    qsizetype bytes() const;
    // How many slices a large catalog is built and scanned in: one per core.
    static int threads();
    // The records that `matcher` admits with their terms, in catalog order.
    // Large catalogs are scanned in `parts` slices at once.
    QList<FileItem> filter(const QueryMatcher &matcher, int parts) const;
    // filter() for `query`, answered from memory when it was asked lately:
    // typing back over a search asks its shorter forms again.
    QList<FileItem> search(const Query &query, int parts) const;

private:
    struct Names
    {
        std::vector<QueryMatcher::Facts> facts;
        std::string folded;
        std::vector<qsizetype> offsets; // record i's name is [offsets[i], offsets[i + 1])
        std::array<qsizetype, 256> bytes{}; // how often each byte occurs in `folded`
    };
    struct Extra
    {
        bool hasText = false;
        std::string text; // folded
        const QStringList *labels = nullptr;
    };

    struct Answer
    {
        Query query;
        QList<FileItem> items;
    };

    SearchIndex(const SearchIndex &names, const OcrTexts &ocr, const SubjectLabels &subjects);
    bool sameItems(const QList<FileItem> &items) const;
    bool sameTexts(const OcrTexts &ocr, const SubjectLabels &subjects) const;
    void buildExtras();
    std::string_view name(qsizetype i) const;
    void scan(const QueryMatcher &matcher, qsizetype begin, qsizetype end, std::vector<qsizetype> &out) const;
    // The records in [begin, end) whose name holds `term`, ascending.
    std::vector<qsizetype> withName(const std::string &term, qsizetype begin, qsizetype end) const;

    // Held so the lists' storage cannot be reused while the index stands for them.
    QList<FileItem> m_items;
    OcrTexts m_ocr;
    SubjectLabels m_subjects;
    std::shared_ptr<const Names> m_names;
    std::vector<qint32> m_extraOf; // index into m_extras, or -1; empty when there is no text
    std::vector<Extra> m_extras;
    mutable std::mutex m_answersLock;
    mutable std::vector<Answer> m_answers; // the latest last
};
