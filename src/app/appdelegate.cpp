#include "appdelegate.h"

#include "commands.h"
#include "devharness.h"
#include "firstpaint.h"
#include "keyfilter.h"
#include "quickaccess.h"

#include "indexservice.h"
#include "powerstate.h"
#include "sqlitemetadataindex.h"

#include "access/accessibility.h"
#include "analysis/ocrindex.h"
#include "files/quicklook.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "settings/settingswindow.h"
#include "shell/mainwindow.h"
#include "state/appstate.h"
#include "state/trasher.h"

#include <QApplication>
#include <QSettings>

AppDelegate::AppDelegate(QObject *parent) : QObject(parent) {}

AppDelegate::~AppDelegate() = default;

bool AppDelegate::showMenuBar()
{
    return SettingsWindow::showMenuBar(QSettings(QStringLiteral("Tovalo"), QStringLiteral("Tovalo")));
}

void AppDelegate::start()
{
    // Screen readers read the painted lists of every window, the Quick Search panel's too.
    Accessibility::install();
    // The first scan starts at once, in the background.
    Library::shared().rescan(false);
    // The wide search reads the home folder's own index; a demonstration home
    // has no wide search, so its runs leave the user's index alone.
    SqliteMetadataIndex::installDefault();
    if (qEnvironmentVariableIsEmpty("TOVALO_DEMO_HOME"))
        IndexService::shared().start(Library::shared());
    // Indexing and text recognition wait while the computer saves power.
    const auto followPower = [] {
        const PowerSaving saving = PowerState::shared().saving();
        IndexService::shared().setPowerSaving(saving);
        OCRIndex::shared().setHeld(saving != PowerSaving::none);
    };
    connect(&PowerState::shared(), &PowerState::savingChanged, this, followPower);
    followPower();
    // Ctrl+Shift+Space, desktop-wide, toggles Quick Search.
    QuickAccess::registerHotKey();
    // The main window's keys, for every window of the process.
    m_keys = new KeyFilter(AppState::shared(), QuickLook::shared(), Trasher::shared(), this);
    qApp->installEventFilter(m_keys);

    m_window = std::make_unique<MainWindow>(AppState::shared(), Library::shared(), Trasher::shared(),
                                            Thumbs::shared());
    m_commands =
        new Commands(m_window->menuBar(), AppState::shared(), Library::shared(), Trasher::shared(), this);
    connect(m_commands, &Commands::settingsRequested, this, &AppDelegate::showSettings);
    auto *quick = new QuickAccess(m_window.get(), m_commands, showMenuBar(), this);
    connect(this, &AppDelegate::showMenuBarChanged, quick, &QuickAccess::setShowMenuBar);
    FirstPaint::watchIfAsked(m_window.get());
    m_window->show();

    // Launch modes, last, so they find the window and the scan under way.
    DevHarness::runIfAsked();
}

void AppDelegate::showMainWindow()
{
    QWidget *target = MainWindow::find();
    if (!target) {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->windowType() == Qt::Window) {
                target = top;
                break;
            }
        }
    }
    if (target)
        MainWindow::bringForward(target);
}

void AppDelegate::showSettings()
{
    if (!m_settings) {
        m_settings = new SettingsWindow;
        m_settings->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_settings.data(), &SettingsWindow::showMenuBarChanged, this, &AppDelegate::showMenuBarChanged);
    }
    m_settings->show();
    m_settings->raise();
    m_settings->activateWindow();
}
