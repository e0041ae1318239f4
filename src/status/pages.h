#pragma once

#include <QString>
#include <QStringList>

namespace tarrow {

// The eight pages the program generates in InstallRoot + "tarrow\"; deleted at start-up and on close.
const QStringList& generatedPageNames();

// The block that opens every generated report and waiting page: it switches off the context menu and
// right- and middle-button clicks of the embedded browser.
const QStringList& scriptBlock();

// The frameset pages shown in the panes.
QStringList framesetPage(const QString& frameSource, int marginWidth, int marginHeight);

// The waiting page a Loaded link leads to, e.g. for "Tarrow": "Configuring Tarrow...".
QStringList waitingPage(const QString& componentName);

// Writes lines with CR LF; the last line gets no line end when `lastLineEnded` is false.
void writePage(const QString& path, const QStringList& lines, bool lastLineEnded);

// Deletes the generated pages of a plug-in folder (read-only cleared first; missing ones ignored).
// Clears a page's read-only attribute; a link at the page's name is left for the delete.
void clearPageReadOnly(const QString& path);
void deleteGeneratedPages(const QString& pluginFolder);
// Writes the four waiting pages "MM.html", "Tar.html", "AM.html", "NTF.html" into the plug-in folder.
void writeWaitingPages(const QString& pluginFolder);

} // namespace tarrow
