#include "pages.h"

#include "common/fileio.h"
#include "common/paths.h"
#include "report.h"

#include <QFileInfo>

namespace tarrow {

const QStringList& generatedPageNames() {
    static const QStringList names = [] {
        QStringList n{QStringLiteral("stats1.html"), QStringLiteral("stats.html"),
                      QStringLiteral("tarrow1.html"), QStringLiteral("tarrow.html")};
        for (const ComponentInfo& info : componentTable())
            if (info.waitingPage) n << QString::fromLatin1(info.waitingPage);
        return n;
    }();
    return names;
}

const QStringList& scriptBlock() {
    static const QStringList lines = {
        QStringLiteral("<SCRIPT language=JavaScript1.2><!--"),
        QStringLiteral("if (window.Event)"),
        QStringLiteral("document.captureEvents(Event.MOUSEUP);"),
        QStringLiteral("function nocontextmenu()"),
        QStringLiteral("{"),
        QStringLiteral("event.cancelBubble = true"),
        QStringLiteral("event.returnValue = false;"),
        QStringLiteral("return false;"),
        QStringLiteral("}"),
        QStringLiteral("function norightclick(e)"),
        QStringLiteral("{"),
        QStringLiteral("if "),
        QStringLiteral("(window.Event)"),
        QStringLiteral("{"),
        QStringLiteral("if (e.which == 2 || e.which == 3)"),
        QStringLiteral("return false;"),
        QStringLiteral("}"),
        QStringLiteral("else"),
        QStringLiteral("if (event.button == 2 || event.button == 3)"),
        QStringLiteral("{"),
        QStringLiteral("event.cancelBubble = true"),
        QStringLiteral("event.returnValue = false;"),
        QStringLiteral("return false;"),
        QStringLiteral("}"),
        QStringLiteral("}"),
        QStringLiteral("document.oncontextmenu = nocontextmenu;"),
        QStringLiteral("document.onmousedown = norightclick;"),
        QStringLiteral("//--></SCRIPT>"),
    };
    return lines;
}

QStringList framesetPage(const QString& frameSource, int marginWidth, int marginHeight) {
    return {
        QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"),
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"),
        QStringLiteral("<meta http-equiv=\"Pragma\" content=\"no-cache\">"),
        QStringLiteral("<meta http-equiv=\"Cache-Control\" content=\"no-cache\">"),
        QStringLiteral("</head>"),
        QStringLiteral("<frameset rows=\"100%,*\" frameborder=\"0\" border=\"0\" framespacing=\"0\" "
                       "marginwidth=\"0\" marginheight=\"0\">"),
        QStringLiteral("<frame name=\"thepage\" src=\"%1\" marginwidth=\"%2\" marginheight=\"%3\" "
                       "frameborder=\"no\" framespacing=\"0\" border=\"0\" scrolling=\"AUTO\">")
            .arg(frameSource)
            .arg(marginWidth)
            .arg(marginHeight),
        QStringLiteral("</frameset>"),
        QStringLiteral("</html>"),
    };
}

QStringList waitingPage(const QString& componentName) {
    QStringList lines = scriptBlock();
    lines.append(
        QStringLiteral("<html><basefont face=\"times new roman\" font size=3><font color=\"#0000FF\">"
                       "<br><br><br><br><p><center title=\"Please wait...\">Configuring ") +
        componentName + QStringLiteral("...</center></p></font></BODY></HTML>"));
    return lines;
}

void writePage(const QString& path, const QStringList& lines, bool lastLineEnded) {
    QByteArray bytes = joinLinesCrLf(lines);
    if (!lastLineEnded && !lines.isEmpty()) bytes.chop(2);
    writeFileBytes(path, bytes, WriteMode::Scratch);
}

void clearPageReadOnly(const QString& path) {
    // A link at a page's name is deleted, never followed: what it points at is not ours.
    if (QFileInfo(nativePath(path)).isSymLink()) return;
    clearReadOnly(path);
}

void deleteGeneratedPages(const QString& pluginFolder) {
    for (const QString& name : generatedPageNames())
        clearPageReadOnly(pluginFolder + name);
    for (const QString& name : generatedPageNames())
        deleteFile(pluginFolder + name, WriteMode::Scratch);
}

void writeWaitingPages(const QString& pluginFolder) {
    for (const ComponentInfo& info : componentTable()) {
        if (!info.waitingPage) continue;
        // The waiting page is one script block and one line, which ends with a line end.
        writePage(pluginFolder + QString::fromLatin1(info.waitingPage),
                  waitingPage(QString::fromLatin1(info.displayName)), true);
    }
}

} // namespace tarrow
