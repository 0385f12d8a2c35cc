#include "tovaloapp.h"

#include "appdelegate.h"
#include "singleinstance.h"

#include "shell/appicon.h"
#include "shell/apptheme.h"

#include <cstdio>

TovaloApp::TovaloApp(int &argc, char **argv) : m_app(argc, argv)
{
    QApplication::setApplicationName(QStringLiteral("Tovalo"));
    QApplication::setOrganizationName(QStringLiteral("Tovalo"));
    // No display name: Qt would append it to every window's title
    // ("Tovalo Settings — Tovalo"); the windows name themselves.
    // Matches the installed tovalo.desktop, so docks group the window under its entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tovalo"));
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
    m_instance = std::make_unique<SingleInstance>();
    switch (m_instance->claim()) {
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
    m_delegate->start();
    return QApplication::exec();
}
