#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QString>

// The words of the clean-up, duplicates and sources pages, worked out from
// plain numbers so they can be checked without building a widget.
namespace TidyTexts {

// "1,204 items", "1 item".
QString items(qsizetype count);
// "12 files · 3.1 MB".
QString sourceFiles(qsizetype count, qint64 bytes);

// "Nothing worth clearing out right now" below one byte, else "You could free up to …".
QString cleanupSubtitle(qint64 total);
extern const char *const kCleanupNote;

// The banner and buttons of a card's review page.
struct Review
{
    QString title;
    QString detail;
    // The banner has no buttons when the card is empty.
    bool actions = false;
    QString selectTitle; // "Select All" or "Select None"
    QString trashTitle;  // "Trash All" or "Trash Selected"
    bool trashEnabled = false;
    friend bool operator==(const Review &, const Review &) = default;
};
// `spared` is how many unticked paths the page holds (also ones that have
// left the card since), `selected` how many of the card's items stay ticked.
Review review(qsizetype count, qsizetype selected, qint64 selectedBytes, qsizetype spared);
// "‹ Clean Up" reads as a symbol and a title.
extern const char *const kBackTitle;

// The duplicates page's banner.
struct DupBanner
{
    QString title;
    QString detail;
    bool trashAll = false;
    friend bool operator==(const DupBanner &, const DupBanner &) = default;
};
// While a search runs with no groups on screen the banner says so; once groups
// have been found they stay, with their texts, until the new result arrives.
DupBanner dupBanner(bool scanning, qsizetype groups, qsizetype extras, qint64 wasted);
extern const char *const kDupSubtitle;
extern const char *const kDupNote;

// The shortest name among the copies; the first of equally short ones.
QString groupName(const QList<FileItem> &items);
// "3 identical copies · 2 MB can be freed".
QString groupLine(qsizetype copies, qint64 wasted);
// "Keep 1, Trash 2".
QString keepTitle(qsizetype copies);
// "12 KB · Mar 4, 2025": size and creation date of one copy.
QString cellCaption(const FileItem &item);
// The folder a copy lies in, with the home folder as "~".
QString cellFolder(const FileItem &item);
QString cellTooltip(bool kept);

// "1,240 downloaded files from 37 sources".
QString sourcesSubtitle(qsizetype files, qsizetype sources);
extern const char *const kSourcesEmptySymbol;
extern const char *const kSourcesEmptyTitle;
extern const char *const kSourcesEmptyDetail;

} // namespace TidyTexts
