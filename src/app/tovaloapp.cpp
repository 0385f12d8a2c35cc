#include "tovaloapp.h"

#include "appdelegate.h"
#include "launchoptions.h"
#include "singleinstance.h"

#include "quick/quicksearch.h"
#include "shell/appicon.h"
#include "shell/apptheme.h"

#include <cstdio>

TovaloApp::TovaloApp(int &argc, char **argv) : m_app(argc, argv)
{
    QApplication::setApplicationName(QStringLiteral("Tovalo"));
    QApplication::setOrganizationName(QStringLiteral("Tovalo"));
    // No display name: Qt would append it to every window's title
    // ("Tovalo Settings — Tovalo"); the windows name themselves.
    // The application id: Wayland's app_id, and docks group the window under the installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tovalo.Tovalo"));
    QApplication::setQuitOnLastWindowClosed(false);
}

TovaloApp::~TovaloApp() = default;

bool TovaloApp::displayMissing()
{
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int TovaloApp::run()
{
    const LaunchOptions options = LaunchOptions::parse(QCoreApplication::arguments());
    switch (options.action()) {
    case LaunchOptions::Action::help:
    case LaunchOptions::Action::version:
        // main() has answered these already: they need no display.
        return 0;
    case LaunchOptions::Action::bad:
        std::fprintf(stderr, "%s\n", qPrintable(options.problem()));
        return 2;
    case LaunchOptions::Action::run:
        break;
    }
    m_instance = std::make_unique<SingleInstance>();
    switch (m_instance->claim(options.quickSearch() ? SingleInstance::Request::quickSearch
                                                    : SingleInstance::Request::show)) {
    case SingleInstance::Outcome::handedOver:
        return 0;
    case SingleInstance::Outcome::noAnswer:
        std::fprintf(stderr, "tovalo: another Tovalo is running but did not answer; try again in a moment\n");
        return 1;
    case SingleInstance::Outcome::first:
        break;
    }
    QApplication::setWindowIcon(AppIcon::icon());
    AppTheme::install();
    m_delegate = std::make_unique<AppDelegate>();
    QObject::connect(m_instance.get(), &SingleInstance::showRequested, m_delegate.get(), &AppDelegate::showMainWindow);
    QObject::connect(m_instance.get(), &SingleInstance::quickSearchRequested, &QuickSearch::shared(), &QuickSearch::show);
    m_delegate->start();
    if (options.quickSearch())
        QuickSearch::shared().show();
    return QApplication::exec();
}
