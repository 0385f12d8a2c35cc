#include "realscreenshots.h"
#include "screenwords.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <algorithm>
#include <memory>
#include <optional>

namespace {

enum class Style { plain, colouredWords, reverseLines };

struct Window
{
    bool dialog = false; // xmessage instead of xterm
    QStringList options;
    int x = 0;
    int y = 0;
    int columns = 70;
    int rows = 12;
    Style style = Style::plain;
};

struct Case
{
    const char *name;
    std::vector<Window> windows;
};

QStringList mono(int size)
{
    return {QStringLiteral("-fa"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("-fs"), QString::number(size)};
}

QStringList bitmap(const char *font)
{
    return {QStringLiteral("-fn"), QString::fromLatin1(font)};
}

QStringList colours(const char *background, const char *foreground)
{
    return {QStringLiteral("-bg"), QString::fromLatin1(background), QStringLiteral("-fg"),
            QString::fromLatin1(foreground)};
}

Window term(QStringList options, int x, int y, int columns, int rows, Style style = Style::plain)
{
    return Window{false, std::move(options), x, y, columns, rows, style};
}

Window dialog(QStringList options, int x, int y)
{
    return Window{true, std::move(options), x, y, 48, 5, Style::plain};
}

const std::vector<Case> &cases()
{
    static const std::vector<Case> all = {
        {"light-outline", {term(mono(10) + colours("white", "black"), 30, 30, 72, 16)}},
        {"dark-outline", {term(mono(10) + colours("black", "#e0e0e0"), 30, 30, 72, 16)}},
        {"grey38-outline", {term(mono(9) + colours("#262626", "#bcbcbc"), 30, 30, 80, 18)}},
        {"light-bitmap-9x15", {term(bitmap("9x15") + colours("white", "black"), 20, 20, 70, 16)}},
        {"dark-bitmap-6x13", {term(bitmap("6x13") + colours("black", "white"), 20, 20, 90, 20)}},
        {"solarized-dark", {term(mono(11) + colours("#002b36", "#839496"), 30, 30, 64, 14)}},
        {"solarized-light-7x14", {term(bitmap("7x14") + colours("#fdf6e3", "#657b83"), 30, 30, 80, 16)}},
        {"green-bitmap-8x13", {term(bitmap("8x13") + colours("black", "#00cc00"), 30, 30, 80, 18)}},
        {"navy-yellow", {term(mono(12) + colours("navy", "yellow"), 30, 30, 60, 12)}},
        {"reverse-video-9x15", {term(bitmap("9x15") + QStringList{QStringLiteral("-rv")}, 20, 20, 70, 16)}},
        {"coloured-words", {term(mono(10) + colours("black", "#d0d0d0"), 30, 30, 72, 16, Style::colouredWords)}},
        {"highlighted-lines", {term(mono(10) + colours("white", "black"), 30, 30, 72, 16, Style::reverseLines)}},
        {"light-and-dark",
         {term(mono(9) + colours("white", "black"), 10, 20, 52, 14),
          term(mono(9) + colours("#1e1e1e", "#d4d4d4"), 450, 260, 52, 14)}},
        {"dialog-light", {dialog(colours("#f0f0f0", "black") + bitmap("9x15"), 200, 200)}},
        {"dialog-dark", {dialog(colours("#303030", "white") + bitmap("9x15"), 200, 200)}},
        {"large-outline", {term(mono(18) + colours("#fafafa", "#202020"), 20, 20, 44, 10)}},
        {"small-outline", {term(mono(7) + colours("black", "#e8e8e8"), 20, 20, 100, 24)}},
        {"low-contrast", {term(mono(10) + colours("#3c3c3c", "#a0a0a0"), 30, 30, 72, 16)}},
        {"white-on-blue", {term(bitmap("8x13") + colours("#3465a4", "white"), 30, 30, 80, 18)}},
        {"three-windows",
         {term(bitmap("6x13") + colours("black", "#dddddd"), 10, 10, 60, 12),
          term(bitmap("9x15") + colours("white", "black"), 380, 220, 46, 10),
          dialog(colours("#2a2a40", "#f0f0f0") + bitmap("8x13"), 60, 420)}},
    };
    return all;
}

struct Text
{
    QByteArray shown; // with the terminal's escape sequences
    QStringList words;
};

Text textFor(const Window &w, QRandomGenerator &rng)
{
    Text out;
    const int lines = w.dialog ? w.rows : w.rows - 2;
    for (int line = 0; line < lines; ++line) {
        QStringList row;
        int length = 0;
        const int target = w.columns - 6 - rng.bounded(w.columns / 3);
        while (true) {
            const QString word = QString::fromLatin1(kScreenWords[rng.bounded(int(std::size(kScreenWords)))]);
            if (length + word.size() + 1 > target && !row.isEmpty())
                break;
            row.append(word);
            length += word.size() + 1;
        }
        out.words += row;
        QByteArray shown;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                shown += ' ';
            if (w.style == Style::colouredWords)
                shown += "\033[" + QByteArray::number(31 + rng.bounded(6)) + 'm' + row[i].toLatin1() + "\033[0m";
            else
                shown += row[i].toLatin1();
        }
        if (w.style == Style::reverseLines && line % 3 == 1)
            shown = "\033[7m" + shown + "\033[0m";
        out.shown += shown + '\n';
    }
    return out;
}

class Display final
{
public:
    Display()
    {
        for (int n = 120; n < 220; ++n) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            const QString display = QStringLiteral(":%1").arg(n);
            m_server.start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                                    QStringLiteral("900x640x24"), QStringLiteral("-br"),
                                                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(5000))
                return;
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
            QDeadlineTimer deadline(10000);
            while (!QFileInfo::exists(socket) && m_server.state() == QProcess::Running && !deadline.hasExpired())
                m_server.waitForFinished(20);
            if (m_server.state() == QProcess::Running && QFileInfo::exists(socket)) {
                m_name = display;
                return;
            }
            m_server.kill();
            m_server.waitForFinished(2000);
        }
    }
    ~Display()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }
    const QString &name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};

QByteArray capture(const QProcessEnvironment &env, const QByteArray &path)
{
    QProcess import;
    import.setProcessEnvironment(env);
    import.start(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"),
                                            QStringLiteral("root"), QFile::decodeName(path)});
    if (!import.waitForFinished(30000) || import.exitCode() != 0)
        return {};
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::optional<RealScreenshots::Shot> makeShot(const Case &c, int seed, const QString &display,
                                              const QByteArray &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.remove(QStringLiteral("XAUTHORITY"));
    QRandomGenerator rng(quint32(7919 * seed + 17));
    RealScreenshots::Shot shot{QString::fromLatin1(c.name), folder + '/' + c.name + ".png", {}};
    // The bare screen: a dialog leaves no marker, and two captures taken
    // before it maps would agree on this.
    const QByteArray empty = capture(env, shot.path);
    std::vector<std::unique_ptr<QProcess>> windows;
    QStringList markers;
    int index = 0;
    for (const Window &w : c.windows) {
        const Text text = textFor(w, rng);
        shot.words += text.words;
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        const QString geometry = QStringLiteral("+%1+%2").arg(w.x).arg(w.y);
        if (w.dialog) {
            const QString message = QString::fromLatin1(text.shown).trimmed();
            process->start(QStringLiteral("xmessage"),
                           w.options + QStringList{QStringLiteral("-geometry"), geometry, message});
        } else {
            const QString base = QFile::decodeName(folder) + QStringLiteral("/%1-%2").arg(QLatin1String(c.name)).arg(index);
            QFile file(base + QStringLiteral(".txt"));
            if (!file.open(QIODevice::WriteOnly) || file.write(text.shown) != text.shown.size())
                return std::nullopt;
            file.close();
            const QString marker = base + QStringLiteral(".shown");
            QFile::remove(marker);
            markers << marker;
            process->start(QStringLiteral("xterm"),
                           w.options + QStringList{QStringLiteral("-geometry"),
                                                   QStringLiteral("%1x%2").arg(w.columns).arg(w.rows) + geometry,
                                                   QStringLiteral("-e"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                                   QStringLiteral("printf '\\033[?25l'; cat \"$0\"; : > \"$1\"; exec sleep 600"),
                                                   file.fileName(), marker});
        }
        windows.push_back(std::move(process));
        ++index;
    }
    // Ready once every terminal has written its text and two captures in a
    // row agree: the windows have painted and nothing is still arriving.
    QDeadlineTimer deadline(30000);
    const auto allShown = [&] {
        return std::all_of(markers.cbegin(), markers.cend(), [](const QString &m) { return QFileInfo::exists(m); });
    };
    while (!allShown() && !deadline.hasExpired())
        QThread::msleep(20);
    QByteArray previous;
    bool settled = false;
    while (!deadline.hasExpired()) {
        const QByteArray now = capture(env, shot.path);
        if (!now.isEmpty() && now != empty && now == previous) {
            settled = true;
            break;
        }
        previous = now;
    }
    for (auto &w : windows) {
        w->kill();
        w->waitForFinished(3000);
    }
    if (!settled)
        return std::nullopt;
    return shot;
}

} // namespace

bool RealScreenshots::available()
{
    for (const char *program : {"Xvfb", "xterm", "xmessage", "import"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            return false;
    return true;
}

QStringList RealScreenshots::names()
{
    QStringList out;
    for (const Case &c : cases())
        out.append(QString::fromLatin1(c.name));
    return out;
}

std::vector<RealScreenshots::Shot> RealScreenshots::make(const QByteArray &folder, const QStringList &only)
{
    std::vector<Shot> shots;
    Display display;
    if (display.name().isEmpty()) {
        std::fprintf(stderr, "realscreenshots: Xvfb did not start\n");
        return shots;
    }
    int seed = 0;
    for (const Case &c : cases()) {
        ++seed;
        if (!only.isEmpty() && !only.contains(QLatin1String(c.name)))
            continue;
        if (std::optional<Shot> shot = makeShot(c, seed, display.name(), folder))
            shots.push_back(std::move(*shot));
        else
            std::fprintf(stderr, "realscreenshots: could not capture %s\n", c.name);
    }
    return shots;
}

double RealScreenshots::recall(const QStringList &expected, const QString &text)
{
    if (expected.isEmpty())
        return 1.0;
    static const QRegularExpression word(QStringLiteral("[a-z0-9]+"));
    QHash<QString, int> found;
    for (auto it = word.globalMatch(text.toLower()); it.hasNext();)
        ++found[it.next().captured()];
    int hits = 0;
    for (const QString &w : expected) {
        int &left = found[w.toLower()];
        if (left > 0) {
            --left;
            ++hits;
        }
    }
    return double(hits) / double(expected.size());
}
