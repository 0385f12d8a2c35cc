#include "mediaplan.h"

#include "audiowriter.h"
#include "imagewriter.h"
#include "videowriter.h"

#include <algorithm>
#include <iterator>
#include <QList>

namespace {

struct Scene
{
    const char *window;
    QStringList lines;
};

const QList<Scene> &scenes()
{
    static const QList<Scene> list = {
        {"Billing - Invoice #1234",
         {"Invoice #1234", "Amount due: EUR 1,280.00", "Due date: 30 April", "Pay now"}},
        {"Terminal",
         {"$ make", "error: build failed", "undefined reference to main", "1 error generated"}},
        {"Messages",
         {"Alex: are we still on for lunch?", "Sam: yes, 12:30 at the usual place", "Alex: great"}},
        {"Flight booking",
         {"Boarding pass", "Dublin to Lisbon", "Gate B12, seat 14C", "Boarding 07:45"}},
        {"Order confirmation",
         {"Thank you for your order", "Order #A-5521", "2 items, total EUR 64.90"}},
        {"Wi-Fi settings", {"Network: Office-5G", "Password: river-stone-42", "Security: WPA2"}},
        {"Calendar",
         {"Monday: design review 10:00", "Tuesday: dentist 16:30", "Friday: team offsite"}},
        {"Weather", {"Lisbon", "Sunny, 24 degrees", "Tomorrow: light rain"}},
    };
    return list;
}

struct Track
{
    const char *artist;
    const char *album;
    const char *title;
};

constexpr Track kTracks[] = {
    {"The Quiet Rooms", "Northern Lights", "Open Water"},
    {"The Quiet Rooms", "Northern Lights", "Paper Boats"},
    {"The Quiet Rooms", "Northern Lights", "Slow Thaw"},
    {"The Quiet Rooms", "Northern Lights", "Home Again"},
    {"Marta Kell", "City at Night", "Neon Rain"},
    {"Marta Kell", "City at Night", "Last Tram"},
    {"Marta Kell", "City at Night", "Rooftops"},
    {"Marta Kell", "City at Night", "Early Light"},
    {"Ensemble Vinter", "Études", "Étude No. 1"},
    {"Ensemble Vinter", "Études", "Étude No. 2"},
    {"Ensemble Vinter", "Études", "Étude No. 3"},
    {"Ensemble Vinter", "Études", "Étude No. 4"},
};

struct Video
{
    const char *path; // %1, when present, is the video's date in `datePattern`
    const char *datePattern;
    qint64 size;
    double seconds;
    double minDays, maxDays;
    bool inSmall;
};

// Over 200 MB and untouched for half a year, over 200 MB but recent, and small clips.
constexpr Video kVideos[] = {
    {"Videos/Holiday %1.mp4", "yyyy", 1243567104, 1860, 420, 520, true},
    {"Videos/Clips/birthday.mp4", "", 12582917, 42, 3, 20, true},
    {"Videos/Wedding highlights.mov", "", 671088640, 900, 650, 750, false},
    {"Videos/Screen recording %1.webm", "yyyy-MM-dd", 352321536, 1260, 250, 300, false},
    {"Videos/Drone/DJI_0042.MP4", "", 503316480, 380, 200, 240, false},
    {"Videos/Conference talk.mkv", "", 272629760, 2700, 20, 40, false},
    {"Videos/Clips/dog-park.mov", "", 18874371, 35, 1, 10, false},
    {"Videos/Clips/sunset timelapse.mp4", "", 9437189, 20, 30, 50, false},
};

QList<AudioWriter::Tone> melody(Rng &rng, int notes)
{
    const double scale[] = {261.63, 293.66, 329.63, 349.23, 392.0, 440.0, 493.88, 523.25};
    QList<AudioWriter::Tone> out;
    for (int i = 0; i < notes; ++i)
        out.append({scale[rng.index(8)], 0.25 * double(rng.range(1, 3)), 0.35});
    return out;
}

} // namespace

MediaPlan::MediaPlan(PlanContext &ctx) : m_ctx(ctx), m_rng(ctx.stream(0x3ED1A)) {}

QString MediaPlan::clipPath()
{
    return QStringLiteral("Videos/Clips/birthday.mp4");
}

QString MediaPlan::screenshotName(int style, Millis date)
{
    switch (style) {
    case 0:
        return PlanContext::format(date,
                                   QStringLiteral("'Screenshot from 'yyyy-MM-dd HH-mm-ss'.png'"));
    case 1:
        return PlanContext::format(date, QStringLiteral("'Screenshot_'yyyyMMdd_HHmmss'.png'"));
    default:
        return PlanContext::format(date,
                                   QStringLiteral("'Screen Shot 'yyyy-MM-dd' at 'HH.mm.ss'.png'"));
    }
}

void MediaPlan::write()
{
    screenshots();
    camera();
    printed();
    library();
    videos();
    music();
}

void MediaPlan::screenshots()
{
    Rng &r = m_rng;
    // Old ones (over two months) and recent ones, in all three naming styles.
    struct Shot
    {
        int style;
        double minDays, maxDays;
    };
    const QList<Shot> small = {{0, 2, 20}, {1, 70, 120}, {2, 400, 600}};
    QList<Shot> shots = small;
    if (!m_ctx.small()) {
        for (int i = 0; i < 13; ++i)
            shots.append({i % 3 == 2 && i > 6 ? 2 : i % 2, 4.0 + i * 22.0, 15.0 + i * 22.0});
    }
    for (qsizetype i = 0; i < shots.size(); ++i) {
        const Millis d = m_ctx.ago(r, shots[i].minDays, shots[i].maxDays);
        const Scene &scene = scenes()[i % scenes().size()];
        m_ctx.tree().write(
            QStringLiteral("Pictures/Screenshots/") + screenshotName(shots[i].style, d),
            ImageWriter::screenshot(QString::fromUtf8(scene.window), scene.lines, r), d);
    }
}

void MediaPlan::camera()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    const int count = m_ctx.small() ? 3 : 48;
    const int width = m_ctx.small() ? 800 : 1600;
    const int height = width * 3 / 4;
    QList<Millis> dates;
    for (int i = 0; i < count; ++i)
        dates.append(m_ctx.ago(r, 5, 3 * 365 - 5));
    std::sort(dates.begin(), dates.end());
    // Numbered in shooting order, filed by year, as a phone's camera roll is.
    for (int i = 0; i < count; ++i) {
        const QString year = PlanContext::format(dates[i], QStringLiteral("yyyy"));
        const QString name = QStringLiteral("IMG_%1").arg(i + 1, 4, 10, QChar(u'0'));
        const QString path = QStringLiteral("Pictures/Camera/%1/%2.jpg").arg(year, name);
        t.write(path, ImageWriter::photo(r, width, height), dates[i]);
        if (i == 0) {
            // The second copy a photo importer makes of a picture it already has.
            t.copy(path, QStringLiteral("Pictures/Camera/%1/%2 2.jpg").arg(year, name),
                   dates[i] + 3600000);
        }
        if (i == 5) {
            t.copy(path, QStringLiteral("Pictures/Edits/photo.jpg"), dates[i] + 86400000);
            t.copy(path, QStringLiteral("Pictures/Edits/photo-2.jpg"), dates[i] + 2 * 86400000);
        }
    }
    if (!m_ctx.small()) {
        for (int i = 1; i <= 3; ++i) {
            const Millis d = m_ctx.ago(r, 200, 900);
            t.write(
                QStringLiteral("Pictures/Wallpapers/wallpaper-%1.jpg").arg(i, 2, 10, QChar(u'0')),
                ImageWriter::photo(r, 1920, 1080), d);
        }
    }
}

void MediaPlan::printed()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    struct Shop
    {
        const char *name;
        QStringList items;
    };
    const QList<Shop> shops = {
        {"GREEN GROCER", {"Apples 1kg", "Bread", "Milk 2L", "Coffee beans"}},
        {"CITY PHARMACY", {"Plasters", "Sun cream", "Vitamin C"}},
        {"HARDWARE DEPOT", {"Screws M4", "Wood glue", "Sandpaper", "Paint brush"}},
        {"CAFE LUMEN", {"Flat white", "Croissant", "Orange juice"}},
        {"BOOK NOOK", {"Paperback novel", "Notebook A5"}},
    };
    const int receipts = m_ctx.small() ? 1 : int(shops.size());
    for (int i = 0; i < receipts; ++i) {
        const Millis d = m_ctx.ago(r, 5 + i * 70, 30 + i * 70);
        QStringList lines = {PlanContext::format(d, QStringLiteral("dd/MM/yyyy HH:mm")), QString()};
        double total = 0;
        for (const QString &item : shops[i].items) {
            const double price = double(r.range(99, 2499)) / 100.0;
            total += price;
            lines.append(item + u'\t' + QString::number(price, 'f', 2));
        }
        lines << QString() << QStringLiteral("TOTAL\t") + QString::number(total, 'f', 2)
              << QStringLiteral("CARD PAYMENT") << QStringLiteral("THANK YOU");
        QString shop = QString::fromUtf8(shops[i].name).toLower();
        shop.replace(u' ', u'-');
        t.write(QStringLiteral("Pictures/Receipts/receipt-%1-%2.jpg")
                    .arg(shop, PlanContext::format(d, "yyyy-MM-dd")),
                ImageWriter::paper(QString::fromUtf8(shops[i].name), lines, true, r), d);
    }
    Millis d = m_ctx.ago(r, 40, 70);
    t.write(QStringLiteral("Pictures/Scans/Invoice #1234.png"),
            ImageWriter::paper(QStringLiteral("INVOICE #1234"),
                               {QStringLiteral("Kestrel Labs, 4 Quay Street, Dublin"), QString(),
                                QStringLiteral("Design work\t900.00"),
                                QStringLiteral("Hosting, 12 months\t240.00"),
                                QStringLiteral("Support\t140.00"), QString(),
                                QStringLiteral("TOTAL EUR\t1280.00"),
                                QStringLiteral("Due within 30 days")},
                               false, r),
            d);
    d = m_ctx.ago(r, 10, 25);
    t.write(QStringLiteral("Pictures/Slides/Roadmap 2025.png"),
            ImageWriter::slide(
                QStringLiteral("Roadmap 2025"),
                {QStringLiteral("Q1: faster search"), QStringLiteral("Q2: clean-up suggestions"),
                 QStringLiteral("Q3: text in images"), QStringLiteral("Q4: sharing")},
                r),
            d);
    if (m_ctx.small())
        return;
    d = m_ctx.ago(r, 150, 200);
    t.write(QStringLiteral("Pictures/Slides/Team offsite.png"),
            ImageWriter::slide(QStringLiteral("Team offsite"),
                               {QStringLiteral("Where: Lakeside Lodge"),
                                QStringLiteral("When: 12 to 14 June"),
                                QStringLiteral("Bring: walking shoes")},
                               r),
            d);
    d = m_ctx.ago(r, 500, 600);
    t.write(QStringLiteral("Pictures/Scans/Warranty card.png"),
            ImageWriter::paper(QStringLiteral("WARRANTY CARD"),
                               {QStringLiteral("Product: Espresso machine EM-200"),
                                QStringLiteral("Serial: 7731-2290-A"),
                                QStringLiteral("Valid for two years from purchase")},
                               false, r),
            d);
}

void MediaPlan::library()
{
    if (m_ctx.small())
        return;
    // A photo library is a package the scanner passes over whole.
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    const Millis d = m_ctx.ago(r, 30, 60);
    const QString lib = QStringLiteral("Pictures/Photos Library.photoslibrary/");
    t.write(lib + QStringLiteral("database/Photos.sqlite"),
            QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\0'), d);
    t.write(lib + QStringLiteral("originals/0/IMG_9001.jpeg"), ImageWriter::photo(r, 640, 480), d);
    t.write(lib + QStringLiteral("originals/1/IMG_9002.jpeg"), ImageWriter::photo(r, 640, 480), d);
}

void MediaPlan::videos()
{
    Rng &r = m_rng;
    for (const Video &v : kVideos) {
        if (m_ctx.small() && !v.inSmall)
            continue;
        const Millis d = m_ctx.ago(r, v.minDays, v.maxDays);
        QString path = QString::fromUtf8(v.path);
        if (v.datePattern[0] != '\0')
            path = path.arg(PlanContext::format(d, QString::fromLatin1(v.datePattern)));
        const QString ext = path.section(u'.', -1).toLower();
        const QString title = path.section(u'/', -1).section(u'.', 0, 0);
        m_ctx.tree().sparse(path, VideoWriter::head(ext, v.size, v.seconds, d, title, r), v.size,
                            d);
    }
}

void MediaPlan::music()
{
    TreeWriter &t = m_ctx.tree();
    Rng &r = m_rng;
    const int tracks = m_ctx.small() ? 2 : int(std::size(kTracks));
    for (int i = 0; i < tracks; ++i) {
        const Track &k = kTracks[i];
        const Millis d = m_ctx.ago(r, 60 + (i / 4) * 300, 90 + (i / 4) * 300);
        const double seconds = m_ctx.small() ? 15.0 : double(r.range(150, 260));
        t.write(QStringLiteral("Music/%1/%2/%3 %4.mp3")
                    .arg(QString::fromUtf8(k.artist), QString::fromUtf8(k.album))
                    .arg(i % 4 + 1, 2, 10, QChar(u'0'))
                    .arg(QString::fromUtf8(k.title)),
                AudioWriter::mp3(QString::fromUtf8(k.title), QString::fromUtf8(k.artist),
                                 QString::fromUtf8(k.album), i % 4 + 1, seconds),
                d);
    }
    // Two memos of one length that open with the same notes (at least 3 s,
    // well over 64 KiB of samples) and then differ: alike at a glance, not copies.
    const QList<AudioWriter::Tone> intro = melody(r, 12);
    QList<AudioWriter::Tone> first = intro;
    QList<AudioWriter::Tone> second = intro;
    double introSeconds = 0;
    for (const auto &tone : intro)
        introSeconds += tone.seconds;
    const double total = introSeconds + 4.0;
    for (double at = introSeconds; at < total - 0.01; at += 0.5) {
        first.append({double(r.range(200, 600)), 0.5, 0.3});
        second.append({double(r.range(200, 600)), 0.5, 0.3});
    }
    Millis d = m_ctx.ago(r, 30, 60);
    t.write(QStringLiteral("Music/Voice Memos/Voice Memo 1.wav"), AudioWriter::wav(first), d);
    d = m_ctx.ago(r, 20, 29);
    t.write(QStringLiteral("Music/Voice Memos/Voice Memo 2.wav"), AudioWriter::wav(second), d);
    if (m_ctx.small())
        return;
    d = m_ctx.ago(r, 300, 400);
    t.write(QStringLiteral("Music/Ringtones/chime.wav"),
            AudioWriter::wav({{880.0, 0.3, 0.4}, {660.0, 0.3, 0.4}, {990.0, 0.6, 0.4}}), d);
    d = m_ctx.ago(r, 100, 200);
    t.write(QStringLiteral("Music/Playlists/Road trip.m3u"),
            "#EXTM3U\n../The Quiet Rooms/Northern Lights/01 Open Water.mp3\n../Marta Kell/City at "
            "Night/02 Last Tram.mp3\n",
            d);
}
