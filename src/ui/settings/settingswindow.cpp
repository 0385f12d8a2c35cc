#include "settingswindow.h"

#include "autostart.h"
#include "folderwatcher.h"
#include "indexservice.h"
#include "theme/appearance.h"
#include "theme/theme.h"
#include "toggleswitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSettings>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kMargin = 20;
constexpr int kGroupGap = 18;
constexpr int kHeaderGap = 7;
constexpr int kToggleRowHeight = 46;
constexpr int kShortcutRowHeight = 27;
constexpr int kRowPadX = 14;
constexpr qreal kRadius = 10;
const QString kShowMenuBarKey = QStringLiteral("showMenuBar");

// A rounded surface holding rows, with hairlines between them: the look of a
// grouped form.
class FormGroup final : public QWidget
{
public:
    explicit FormGroup(QWidget *parent = nullptr) : QWidget(parent)
    {
        m_rows = new QVBoxLayout(this);
        m_rows->setContentsMargins(0, 4, 0, 4);
        m_rows->setSpacing(0);
        Appearance::shared().follow(this, &m_dark);
    }

    void addRow(QWidget *row) { m_rows->addWidget(row); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(Theme::line.resolve(m_dark), 1));
        p.setBrush(Theme::surface.resolve(m_dark));
        p.drawRoundedRect(box, kRadius, kRadius);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Theme::line.resolve(m_dark), 1));
        for (int i = 0; i + 1 < m_rows->count(); ++i) {
            const QWidget *row = m_rows->itemAt(i)->widget();
            if (!row)
                continue;
            const int y = row->geometry().bottom();
            p.drawLine(kRowPadX, y, width() - 1, y);
        }
    }

private:
    QVBoxLayout *m_rows = nullptr;
    bool m_dark = false;
};

QWidget *row(QLabel *label, QWidget *trailing, int height)
{
    auto *line = new QWidget;
    line->setFixedHeight(height);
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(kRowPadX, 0, kRowPadX, 0);
    layout->setSpacing(12);
    layout->addWidget(label, 1);
    layout->addWidget(trailing, 0, Qt::AlignVCenter | Qt::AlignRight);
    label->setBuddy(trailing);
    return line;
}

QLabel *text(const QString &words, const QFont &font)
{
    auto *label = new QLabel(words);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void tint(QLabel *label, const ThemeColor &color, bool dark)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color.resolve(dark));
    label->setPalette(palette);
}

} // namespace

SettingsWindow::LoginItem SettingsWindow::LoginItem::autostart()
{
    return {[] { return Autostart::isEnabled(); },
            [](bool enabled) {
                QString why;
                if (Autostart::setEnabled(enabled, &why))
                    return true;
                qWarning("tovalo: cannot change the autostart entry %s: %s", qPrintable(Autostart::entryPath()),
                         qPrintable(why));
                return false;
            }};
}

SettingsWindow::SettingsWindow(QWidget *parent)
    : QWidget(parent), m_ownSettings(std::make_unique<QSettings>(QStringLiteral("Tovalo"), QStringLiteral("Tovalo"))),
      m_login(LoginItem::autostart())
{
    m_settings = m_ownSettings.get();
    build();
}

SettingsWindow::SettingsWindow(QSettings *settings, LoginItem login, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_login(std::move(login))
{
    build();
}

SettingsWindow::~SettingsWindow() = default;

QList<QPair<QString, QString>> SettingsWindow::shortcuts()
{
    return {
        {QStringLiteral("Quick Search, from any app"), QStringLiteral("Ctrl+Shift+Space")},
        {QStringLiteral("Search"), QStringLiteral("Ctrl+F")},
        {QStringLiteral("Quick Look"), QStringLiteral("Space")},
        {QStringLiteral("Move between files"), QStringLiteral("← ↑ ↓ →")},
        {QStringLiteral("Open"), QStringLiteral("↩")},
        {QStringLiteral("Move to Trash"), QStringLiteral("Delete")},
        {QStringLiteral("Copy text in images"), QStringLiteral("Ctrl+Shift+C")},
        {QStringLiteral("Grid / List"), QStringLiteral("Ctrl+1 / Ctrl+2")},
        {QStringLiteral("Bigger / smaller cards"), QStringLiteral("Ctrl+= / Ctrl+-")},
        {QStringLiteral("Inspector"), QStringLiteral("Ctrl+I")},
        {QStringLiteral("Duplicates"), QStringLiteral("Ctrl+Shift+D")},
        {QStringLiteral("Clean Up"), QStringLiteral("Ctrl+Shift+K")},
        {QStringLiteral("Downloaded From"), QStringLiteral("Ctrl+Shift+J")},
        {QStringLiteral("Refresh"), QStringLiteral("Ctrl+R")},
    };
}

bool SettingsWindow::showMenuBar(const QSettings &settings)
{
    return settings.value(kShowMenuBarKey, true).toBool();
}

QString SettingsWindow::privacyText()
{
    return QStringLiteral("Your files never leave this computer. Text recognition and duplicate checks run on this "
                          "computer, and files you clear out go to the Trash.");
}

void SettingsWindow::build()
{
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Tovalo Settings"));
    setFixedSize(kWidth, kHeight);
    // Escape closes it, as it closes any small window of settings.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    setAutoFillBackground(true);

    const QFont body = Theme::font(13);
    const QFont header = Theme::font(13, QFont::DemiBold);
    QFont keys = Theme::font(12, QFont::Medium, Theme::Design::monospaced);

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(0);
    const auto section = [&](const QString &title) {
        QLabel *label = text(title, header);
        label->setContentsMargins(kRowPadX, 0, 0, 0);
        m_headers.append(label);
        column->addWidget(label);
        column->addSpacing(kHeaderGap);
        auto *group = new FormGroup;
        column->addWidget(group);
        return group;
    };

    FormGroup *general = section(QStringLiteral("General"));
    m_showMenuBar = new ToggleSwitch;
    m_showMenuBar->setAccessibleName(QStringLiteral("Show your latest downloads in the menu bar"));
    m_showMenuBar->setChecked(showMenuBar(*m_settings));
    QLabel *menuBarLabel = text(m_showMenuBar->accessibleName(), body);
    m_primary.append(menuBarLabel);
    general->addRow(row(menuBarLabel, m_showMenuBar, kToggleRowHeight));
    m_atLogin = new ToggleSwitch;
    m_atLogin->setAccessibleName(QStringLiteral("Open Tovalo when you log in"));
    m_atLogin->setChecked(m_login.isEnabled());
    QLabel *loginLabel = text(m_atLogin->accessibleName(), body);
    m_primary.append(loginLabel);
    general->addRow(row(loginLabel, m_atLogin, kToggleRowHeight));
    connect(m_showMenuBar, &ToggleSwitch::toggled, this, [this](bool on) {
        m_settings->setValue(kShowMenuBarKey, on);
        m_settings->sync();
        emit showMenuBarChanged(on);
    });
    connect(m_atLogin, &ToggleSwitch::toggled, this, &SettingsWindow::atLoginFlipped);

    column->addSpacing(kGroupGap);
    FormGroup *index = section(QStringLiteral("Search Index"));
    IndexService &service = IndexService::shared();
    m_indexEnabled = new ToggleSwitch;
    m_indexEnabled->setAccessibleName(QStringLiteral("Index your home folder for the wide search"));
    m_indexEnabled->setChecked(service.isEnabled());
    QLabel *enabledLabel = text(m_indexEnabled->accessibleName(), body);
    m_primary.append(enabledLabel);
    index->addRow(row(enabledLabel, m_indexEnabled, kToggleRowHeight));
    m_indexPaused = new ToggleSwitch;
    m_indexPaused->setAccessibleName(QStringLiteral("Pause indexing"));
    m_indexPaused->setChecked(service.isPaused());
    m_indexPaused->setEnabled(service.isEnabled());
    QLabel *pausedLabel = text(m_indexPaused->accessibleName(), body);
    m_primary.append(pausedLabel);
    index->addRow(row(pausedLabel, m_indexPaused, kToggleRowHeight));
    m_indexProgress = text(service.indexProgressText(), body);
    m_indexProgress->setContentsMargins(kRowPadX, 8, kRowPadX, 8);
    m_secondary.append(m_indexProgress);
    index->addRow(m_indexProgress);
    m_watchNote = text(QStringLiteral("Some deep folders are not watched for changes, to leave the system's "
                                      "watches to other programs. Refresh (Ctrl+R) brings them up to date."),
                       body);
    m_watchNote->setWordWrap(true);
    m_watchNote->setContentsMargins(kRowPadX, 8, kRowPadX, 8);
    m_watchNote->setVisible(FolderWatcher::someFoldersUnwatched());
    m_secondary.append(m_watchNote);
    index->addRow(m_watchNote);
    connect(m_indexEnabled, &ToggleSwitch::toggled, this, [this](bool on) {
        IndexService::shared().setEnabled(on);
        m_indexPaused->setEnabled(on);
    });
    connect(m_indexPaused, &ToggleSwitch::toggled, &service, &IndexService::setPaused);
    connect(&service, &IndexService::statusChanged, this,
            [this] { m_indexProgress->setText(IndexService::shared().indexProgressText()); });

    column->addSpacing(kGroupGap);
    FormGroup *keysGroup = section(QStringLiteral("Shortcuts"));
    for (const auto &[label, shortcut] : shortcuts()) {
        QLabel *name = text(label, body);
        QLabel *combo = text(shortcut, keys);
        m_primary.append(name);
        m_secondary.append(combo);
        keysGroup->addRow(row(name, combo, kShortcutRowHeight));
    }

    column->addSpacing(kGroupGap);
    FormGroup *privacy = section(QStringLiteral("Privacy"));
    QLabel *paragraph = text(privacyText(), body);
    paragraph->setWordWrap(true);
    paragraph->setContentsMargins(kRowPadX, 10, kRowPadX, 10);
    m_secondary.append(paragraph);
    privacy->addRow(paragraph);
    column->addStretch(1);

    // The window grows to the form where the screen allows; on a short
    // screen the form scrolls.
    m_content = content;
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    // The keyboard starts on the first switch; the form itself, which the
    // arrows scroll on a short screen, comes after the switches.
    scroll->setAccessibleName(QStringLiteral("Settings"));
    QWidget::setTabOrder(m_indexPaused, scroll);
    m_showMenuBar->setFocus(Qt::OtherFocusReason);

    restyle(Appearance::shared().isDark());
    connect(&Appearance::shared(), &Appearance::changed, this, &SettingsWindow::restyle);
}

void SettingsWindow::restyle(bool dark)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Theme::bg.resolve(dark));
    palette.setColor(QPalette::WindowText, Theme::ink.resolve(dark));
    setPalette(palette);
    for (QLabel *label : std::as_const(m_primary))
        tint(label, Theme::ink, dark);
    for (QLabel *label : std::as_const(m_secondary))
        tint(label, Theme::ink2, dark);
    for (QLabel *label : std::as_const(m_headers))
        tint(label, Theme::ink3, dark);
}

int SettingsWindow::fittedHeight(int content, int available)
{
    const int room = available > 0 ? available - kScreenMargin : content;
    return std::max(kMinHeight, std::min(content, room));
}

void SettingsWindow::fitToScreen()
{
    const QScreen *on = screen();
    const int available = on ? on->availableGeometry().height() : 0;
    setFixedSize(kWidth, fittedHeight(m_content->sizeHint().height(), available));
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    fitToScreen();
    // Another program may have changed the entry while the window was closed.
    const QSignalBlocker quiet(m_atLogin);
    m_atLogin->setChecked(m_login.isEnabled());
    m_watchNote->setVisible(FolderWatcher::someFoldersUnwatched());
    QWidget::showEvent(event);
}

void SettingsWindow::atLoginFlipped(bool on)
{
    if (m_login.setEnabled(on))
        return;
    // No message: the switch goes back to what the system now holds.
    const bool now = m_login.isEnabled();
    if (now != on) {
        const QSignalBlocker quiet(m_atLogin);
        m_atLogin->setChecked(now);
    }
}
