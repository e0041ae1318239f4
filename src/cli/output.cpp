#include "output.h"

#include "app/installation.h"
#include "common/fileinuse.h"
#include "exitcodes.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

namespace tarrow::cli {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

void printJson(const QJsonDocument& document) {
    out() << document.toJson(QJsonDocument::Indented);
}

int fail(const QString& text) {
    err() << "tarrow: " << text << Qt::endl;
    return int(Exit::Error);
}

void printWrites(const QList<WriteRecord>& records) {
    for (const WriteRecord& r : records) {
        if (!r.changed) continue;
        out() << (r.deleted ? "Deleted " : "Saved ") << r.path
              << (r.backup.isEmpty() ? QString()
                                     : QStringLiteral(" (previous version kept: %1)").arg(r.backup))
              << Qt::endl;
    }
}

bool colourWanted() {
    return isatty(fileno(stdout)) && qEnvironmentVariableIsEmpty("NO_COLOR");
}

RunningReport runningOf(const InstallPaths& p) {
    return StatusRefresh::runningStates(p, OpenFileScan::take({p.modLibrary, p.botLibrary, p.metamodLibrary,
                                                               p.adminmodLibrary, p.neotfLibrary}));
}

std::optional<QString> rconPassword(const Installation& in, const QString& file) {
    // It is never printed, logged or put on a command line.
    if (!file.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
        return QString::fromUtf8(f.readAll()).section(QLatin1Char('\n'), 0, 0).trimmed();
    }
    if (qEnvironmentVariableIsSet("TARROW_RCON_PASSWORD"))
        return qEnvironmentVariable("TARROW_RCON_PASSWORD");
    return in.serverCfgValue(QStringLiteral("rcon_password")).value_or(QString());
}

} // namespace tarrow::cli
