#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <optional>

// The program's side of the activity library libparlix1.so: loaded by path from the program's
// folder, each export looked up by name when it is called. Used on the main thread only.
class ActivityLibrary
{
public:
    ActivityLibrary() = default;
    // Unloads (after _UnRegHook) when still loaded.
    ~ActivityLibrary();
    ActivityLibrary(const ActivityLibrary &) = delete;
    ActivityLibrary &operator=(const ActivityLibrary &) = delete;

    // Why desktop input cannot be watched by this process, for the log; empty when it can. The
    // library is then not to be loaded at all: no auto-away, and no "error1" either.
    static QString availability();
    // The same decision for a given Qt platform name and environment.
    static QString availability(const QString &platformName, const QProcessEnvironment &environment);

    // Loads libparlix1.so from folder. False, with errorString() saying why, when the file cannot
    // be loaded or lacks one of its three exports. True at once when already loaded.
    bool load(const QString &folder);
    bool isLoaded() const { return m_handle != nullptr; }
    QString errorString() const { return m_error; }

    // _RegHook with the library's own handle: true when the desktop's keys and pointer are
    // watched. False when not loaded.
    bool regHook();
    // _getatime: seconds since 1970-01-01 of the last input; nothing when not loaded.
    std::optional<qint32> getatime() const;
    // _UnRegHook, then unloads. Harmless when not loaded.
    void unload();

private:
    void *symbol(const char *name) const;

    void *m_handle = nullptr;
    QString m_error;
};
