#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Moves the process into a fresh temporary folder for one test and back again afterwards.
class ScopedTemporaryWorkingDirectory
{
public:
    ScopedTemporaryWorkingDirectory()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~ScopedTemporaryWorkingDirectory() { QDir::setCurrent(m_previous); }

    ScopedTemporaryWorkingDirectory(const ScopedTemporaryWorkingDirectory&) = delete;
    ScopedTemporaryWorkingDirectory& operator=(const ScopedTemporaryWorkingDirectory&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
