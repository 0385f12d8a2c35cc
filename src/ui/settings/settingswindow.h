#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QSettings;
class ToggleSwitch;

// The settings window: a grouped form 460 wide, as tall as its content
// where the screen allows (scrolling on a short screen), with the two
// preferences (the latest downloads in the tray, starting at log-in), the
// switches of the home-folder index with its progress, the keyboard
// shortcuts and a word on privacy. Its object name is "settings".
class SettingsWindow final : public QWidget
{
    Q_OBJECT

public:
    // The session's log-in start, asked anew after every change so the switch
    // shows what the system holds rather than what was asked for.
    struct LoginItem
    {
        std::function<bool()> isEnabled;
        // False when the change could not be made.
        std::function<bool(bool enabled)> setEnabled;

        // The XDG autostart entry.
        static LoginItem autostart();
    };

    static constexpr int kWidth = 460;
    // The height it opens at before it knows its screen.
    static constexpr int kHeight = 720;
    static constexpr int kMinHeight = 360;
    // Room kept free above and below on the screen: panels, the title bar.
    static constexpr int kScreenMargin = 80;

    // The window's height for a form `content` high on a screen with
    // `available` height (0 when unknown): all of the form when it fits.
    static int fittedHeight(int content, int available);

    // The application's settings and its autostart entry.
    explicit SettingsWindow(QWidget *parent = nullptr);
    // `settings` is not owned and must outlive the window.
    SettingsWindow(QSettings *settings, LoginItem login, QWidget *parent = nullptr);
    ~SettingsWindow() override;

    // (label, keys) in the order they are listed.
    static QList<QPair<QString, QString>> shortcuts();
    static QString privacyText();
    // The "showMenuBar" setting, true until the user switches it off.
    static bool showMenuBar(const QSettings &settings);

    ToggleSwitch *showMenuBarSwitch() const { return m_showMenuBar; }
    ToggleSwitch *atLoginSwitch() const { return m_atLogin; }
    ToggleSwitch *indexSwitch() const { return m_indexEnabled; }
    ToggleSwitch *indexPauseSwitch() const { return m_indexPaused; }

signals:
    // The "showMenuBar" setting was switched here.
    void showMenuBarChanged(bool show);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void restyle(bool dark);
    void atLoginFlipped(bool on);
    void fitToScreen();

    QSettings *m_settings = nullptr;
    std::unique_ptr<QSettings> m_ownSettings;
    LoginItem m_login;
    ToggleSwitch *m_showMenuBar = nullptr;
    ToggleSwitch *m_atLogin = nullptr;
    ToggleSwitch *m_indexEnabled = nullptr;
    ToggleSwitch *m_indexPaused = nullptr;
    QLabel *m_indexProgress = nullptr;
    QWidget *m_content = nullptr;
    // Shown while some folders go without live updates.
    QLabel *m_watchNote = nullptr;
    QList<QLabel *> m_primary;
    QList<QLabel *> m_secondary;
    QList<QLabel *> m_headers;
};
