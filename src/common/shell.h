#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tarrow {

// The desktop's handlers: documents, folders, web addresses and programs. The window supplies the real
// one; tests record what would have been opened.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual bool openDocument(const QString& nativePath) = 0;
    virtual bool openFolder(const QString& nativePath) = 0;
    virtual bool openWebAddress(const QString& address) = 0;
    // Starts a program without waiting; returns false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingDirectory) = 0;
};

// Only web addresses leave the program for the desktop's browser; a file:// or any other link never
// reaches the desktop's opener.
inline bool isWebAddress(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace tarrow
