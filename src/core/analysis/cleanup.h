#pragma once

#include "cleanupcard.h"
#include "dupgroup.h"
#include "model/fileitem.h"

#include <QList>

// Sorts the catalog into the six clean-up cards by fixed rules. Pure: the
// same records, groups and moment give the same cards.
class Cleanup final
{
public:
    static constexpr Millis kDay = 86'400'000;
    static constexpr Millis kInstallerAge = 14 * kDay;
    static constexpr Millis kScreenshotAge = 60 * kDay;
    static constexpr Millis kDownloadAge = 90 * kDay;
    static constexpr Millis kVideoAge = 180 * kDay;
    static constexpr Millis kAppAge = 180 * kDay;
    static constexpr qint64 kBigVideo = 200'000'000;

    // Exactly one card per kind, in card order, each largest first; a card
    // with no files is still there. `downloads` is the user's download folder
    // (localized names included); empty when there is none.
    static QList<CleanupCard> cards(const QList<FileItem> &items, const QList<DupGroup> &dups,
                                    Millis now, const QByteArray &downloads);
    // Bytes the cards would free; a file on two cards counts once.
    static qint64 total(const QList<CleanupCard> &cards);
};
