#include "activitylibrary.h"

#include "activity/parlix1.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <dlfcn.h>

ActivityLibrary::~ActivityLibrary()
{
    unload();
}

QString ActivityLibrary::availability()
{
    return availability(QGuiApplication::platformName(), QProcessEnvironment::systemEnvironment());
}

QString ActivityLibrary::availability(const QString &platformName, const QProcessEnvironment &environment)
{
    if (platformName == QLatin1String("offscreen"))
        return QStringLiteral("the Qt platform is offscreen: there is no desktop input to watch");
    // On a Wayland session the X server (Xwayland) sees only the input that goes to its own
    // windows: auto-away would strike while the user types into every other window.
    if (platformName.startsWith(QLatin1String("wayland"))
        || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland"))
        return QStringLiteral("Wayland session: an X server there sees only the input of its own windows");
    if (environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return QStringLiteral("no X display: DISPLAY is not set");
    return {};
}

bool ActivityLibrary::load(const QString &folder)
{
    if (m_handle)
        return true;
    // By full path, so that only the copy beside the program is ever loaded, never one found
    // through the library search path.
    const QString path = QDir(folder).absoluteFilePath(QString::fromLatin1(Parlix1::fileName));
    m_handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        m_error = QString::fromLocal8Bit(dlerror());
        return false;
    }
    // A library that lacks an export counts as not loaded: the program would otherwise fail at
    // the first call that needs the missing one, or leave the hooks behind at exit.
    for (const char *name : {Parlix1::regHookName, Parlix1::unRegHookName, Parlix1::getATimeName}) {
        if (!symbol(name)) {
            m_error = QStringLiteral("%1 lacks the export %2").arg(path, QLatin1String(name));
            dlclose(m_handle);
            m_handle = nullptr;
            return false;
        }
    }
    m_error.clear();
    return true;
}

bool ActivityLibrary::regHook()
{
    if (!m_handle)
        return false;
    const auto reg = reinterpret_cast<Parlix1::RegHookFunction>(symbol(Parlix1::regHookName));
    return reg(m_handle) != 0;
}

std::optional<qint32> ActivityLibrary::getatime() const
{
    if (!m_handle)
        return std::nullopt;
    const auto get = reinterpret_cast<Parlix1::GetATimeFunction>(symbol(Parlix1::getATimeName));
    return get();
}

void ActivityLibrary::unload()
{
    if (!m_handle)
        return;
    const auto unReg = reinterpret_cast<Parlix1::UnRegHookFunction>(symbol(Parlix1::unRegHookName));
    unReg();
    dlclose(m_handle);
    m_handle = nullptr;
}

void *ActivityLibrary::symbol(const char *name) const
{
    return dlsym(m_handle, name);
}
