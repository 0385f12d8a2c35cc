#include <QProcess>

#include <optional>

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int status;
    QByteArray out;
    QByteArray err;
};

// No display of any kind, not even the offscreen one: parse mode must not need one.
Outcome tovalo(const std::optional<QString> &parse, const QString &locale = "en_US.UTF-8")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("TOVALO_PARSE");
    env.remove("QT_QPA_PLATFORM");
    env.insert("TZ", "Europe/Berlin");
    env.insert("LC_ALL", locale);
    if (parse)
        env.insert("TOVALO_PARSE", *parse);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_APP), {});
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

TEST(ParseMode, OneLinePerQueryThenExit)
{
    const Outcome run = tovalo(QString::fromUtf8(
        "photos taken with my iphone in 2024||report before june 2023|images over 5 mb|from gmail"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out),
              QString::fromUtf8("parse | photos taken with my iphone in 2024 | Images, 2024, Taken with iPhone | "
                                "Jan 1, 2024 to Jan 1, 2025\n"
                                "parse | report before june 2023 | Before June 2023, “report” | - to Jun 1, 2023\n"
                                "parse | images over 5 mb | Images, Over 5 MB | - to -\n"
                                "parse | from gmail | From Gmail | - to -\n"));
}

TEST(ParseMode, RelativeDatesAreTodaysAndTheLocaleWritesThem)
{
    const Outcome run = tovalo(QStringLiteral("pdfs from last week|in 2023"), "de_DE.UTF-8");
    ASSERT_EQ(run.status, 0);
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).startsWith("parse | pdfs from last week | PDFs, Last week | ")) << lines.at(0).toStdString();
    EXPECT_EQ(lines.at(1), "parse | in 2023 | 2023 | 1. Jan. 2023 to 1. Jan. 2024");
}

TEST(ParseMode, OnlyBarsPrintNothing)
{
    const Outcome run = tovalo(QStringLiteral("|"));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.isEmpty());
}

// Without the variable the application wants a window; with no display it
// says so, points at what works without one, and prints nothing.
TEST(ParseMode, WithoutTheVariableNothingIsPrinted)
{
    const Outcome run = tovalo(std::nullopt);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("tovalo-cli"));
    EXPECT_TRUE(run.err.contains("TOVALO_PARSE"));
}

} // namespace
