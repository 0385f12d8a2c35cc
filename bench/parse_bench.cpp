// The query parser over a corpus of a few hundred varied queries: the
// median and 99th percentile of one parse, and the first parse, which also
// builds the tables and compiles the patterns. Then long pasted text: 120 KB
// of quoted phrases, of unclosed quotes and of distinct words (goal: 0.2 s each).
#include "search/queryparser.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

QStringList corpus()
{
    QStringList q = {
        "pdfs from last week", "images over 5 mb", "screenshots with invoice",
        "videos or photos older than a couple of months", "files over two gigs", "big zip from last year",
        "photos taken with my iphone in 2024", "report before june 2023", "songs from 2 weeks back",
        "“tax return” via team chat since march", "today or yesterday", "recent downloads", "over 100",
        "over 0 kb", "over 1 mb under 10 mb", "may", "from nowhere", "john's invoice", "(pdf).",
        "pdf, docx; png", "jpegs", "pics", "apps", "in the last week", "since last week", "last week",
        "the day before yesterday", "spreadsheets from gmail", "slides from the past 3 months",
        "\"quarterly report\" draft", "invoice invoice \"invoice\"", "huge videos", "small txt files",
        "anything from chatgpt", "canva designs this month", "heic photos shot on my pixel",
        "drone footage from august", "resume", "Résumé", "résumé 2023", "contracts signed after april 2024",
        "music from 2019", "latest screenshots", "presentation deck for the board", "json files under 2 kb",
        "installers older than 1 year", "mkv movies bigger than 700 mb", "what did i download yesterday",
        "please find the lease agreement", "tax documents from this year", "pictures of the beach",
        "cat photos", "epub books", "html exports via docs.google.com", "over 99999999999999999999 gb",
        "a very long query with many words that are not kind words and not stop words either at all",
        "", "   ", "!!!", "\"unterminated quote", "“typographic” and \"straight\" quotes", "mp4s from gopro",
        "from my canon camera", "taken with an android phone", "via slack last month", "archive zip rar",
        "more than 3 days ago", "older than ten years", "within the past year", "during the last month",
        "since 2022", "until december", "before jan 2021", "after feb", "in sept", "last few days",
        "past couple of weeks", "fortnight", "previous month", "heavier than 3 gigs", "lighter than 20 megs",
        "at least 1.5 gb", "at most 250k", "> 10 mb", "< 1 mb", "newest pdf", "recently added images",
    };
    const char *kinds[] = {"pdfs", "photos", "videos", "songs", "spreadsheets", "zip files", "apps", "screenshots"};
    const char *dates[] = {"from last week", "since march", "in 2023", "older than 6 months", "today",
                           "from 3 days ago", "this year", "before may 2022"};
    const char *sizes[] = {"", "over 50 mb", "under 2 mb", "big"};
    const char *words[] = {"invoice", "budget", "\"team offsite\"", "lisbon", "résumé", ""};
    int i = 0;
    for (const char *k : kinds)
        for (const char *d : dates) {
            const char *s = sizes[i % 4];
            const char *w = words[i % 6];
            q << QString::fromUtf8("%1 %2 %3 %4").arg(QString::fromUtf8(k), QString::fromUtf8(d),
                                                      QString::fromUtf8(s), QString::fromUtf8(w))
                      .simplified();
            q << QString::fromUtf8("%1 %2 %3").arg(QString::fromUtf8(w), QString::fromUtf8(k), QString::fromUtf8(d))
                      .simplified();
            ++i;
        }
    return q;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t at = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[at];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QStringList queries = corpus();
    const QStringList sources = {"Gmail", "ChatGPT", "Canva", "Team Chat", "Slack", "Docs.Google.com"};
    const Calendar calendar(QTimeZone("Europe/Berlin"), Qt::Monday);
    const Millis now = 1'736'931'600'000; // 2025-01-15T10:00:00+01:00
    using Clock = std::chrono::steady_clock;

    const auto firstStart = Clock::now();
    Query sink = QueryParser::parse(queries.first(), sources, now, calendar);
    const double first = std::chrono::duration<double, std::micro>(Clock::now() - firstStart).count();

    constexpr int kRounds = 200;
    std::vector<double> perQuery; // each query's median over the rounds
    std::vector<double> perCall;
    std::vector<double> samples(kRounds);
    for (const QString &text : queries) {
        for (int r = 0; r < kRounds; ++r) {
            const auto start = Clock::now();
            sink = QueryParser::parse(text, sources, now, calendar);
            samples[size_t(r)] = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        }
        perQuery.push_back(percentile(samples, 0.5));
        perCall.insert(perCall.end(), samples.begin(), samples.end());
    }
    std::printf("parse: %lld queries x %d rounds, first parse (tables and patterns) %.0f us\n",
                qlonglong(queries.size()), kRounds, first);
    std::printf("parse: per query  median %.1f us  p99 %.1f us  max %.1f us  (goal: median <= 20 us)\n",
                percentile(perQuery, 0.5), percentile(perQuery, 0.99), percentile(perQuery, 1.0));
    std::printf("parse: per call   median %.1f us  p99 %.1f us\n", percentile(perCall, 0.5),
                percentile(perCall, 0.99));
    const QList<std::pair<const char *, QString>> pastes = {
        {"120 KB of \"a\" phrases", QStringLiteral("\"a\" ").repeated(30'000)},
        {"120 KB of distinct phrases", [] {
             QString t;
             for (int i = 0; t.size() < 120'000; ++i)
                 t += QStringLiteral("\"p%1\" ").arg(i);
             return t;
         }()},
        {"120 KB of opening quotes", QString(120'000, u'\u201C')},
        {"120 KB of distinct words", [] {
             QString t;
             for (int i = 0; t.size() < 120'000; ++i)
                 t += QStringLiteral("w%1 ").arg(i);
             return t;
         }()},
    };
    for (const auto &[name, text] : pastes) {
        const auto start = Clock::now();
        const Query q = QueryParser::parse(text, sources, now, calendar);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("parse: %-28s %7.3f s  %6lld terms  (goal: <= 0.2 s)\n", name, seconds,
                    qlonglong(q.terms.size()));
    }
    return sink.terms.size() > 1000 ? 1 : 0;
}
