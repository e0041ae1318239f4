#include "infodump.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "app/platform.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/sysinfo.h"
#include "common/textlists.h"
#include "status/loaderchain.h"

#include <QLocale>

namespace tarrow {

SystemReadings SystemReadings::real() {
    return {WindowsVersionText, CpuSpeedMHz, PhysicalMemoryText, SwapFileText,
            [] { return QDateTime::currentDateTime(); }};
}

QString longTimeText(const QTime& time) {
    return QLocale().toString(time, QLocale::LongFormat);
}

QString dumpDateTimeText(const QDateTime& when) {
    return QLocale().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           longTimeText(when.time());
}

QString cpuSpeedText(double mhz) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(mhz, 'g', 15);
}

QString pageCopyName(const QString& page, const QString& longTime) {
    QString time = longTime;
    time.replace(QLatin1Char(':'), QLatin1Char('-'));
    return page + QLatin1Char(' ') + time + QStringLiteral(".html");
}

void assembleInfoDump(QStringList& r, const InstallPaths& p, const DumpSelection& sel,
                      const SystemReadings& readings) {
    const QString& root = p.root;
    const QString& mod = p.mod;
    r.clear();
    auto empty = [&r](int n) {
        for (int i = 0; i < n; ++i)
            r << QString();
    };
    empty(1);
    r << QStringLiteral("Dump file created by ") + PanelVersionText;
    r << QStringLiteral("Dump file created ") + dumpDateTimeText(readings.now());
    r << QStringLiteral("Tarrow Installation Path: ") + p.pluginFolder;
    empty(2);
    r << QStringLiteral("Windows Version: ") + readings.windowsVersion();
    r << QStringLiteral("CPU SPEED: ") + cpuSpeedText(readings.cpuSpeedMHz()) + QStringLiteral(" MHZ");
    r << QStringLiteral("Total/Avalible Physical Memory: ") + readings.physicalMemory();
    r << QStringLiteral("Total/Avalible Swap File: ") + readings.swapFile();
    empty(4);
    r << QStringLiteral("~~~Begin Directory List~~~");
    empty(2);
    const std::pair<QString, QString> folders[] = {
        {QStringLiteral("HL"), root},
        {mod, p.modFolder},
        {mod + QStringLiteral("\\dlls"), p.dllsFolder},
        {QStringLiteral("Tarrow\\") + mod, p.botFolder},
        {QStringLiteral("Tarrow"), p.pluginFolder},
    };
    for (const auto& [name, folder] : folders) {
        r << QStringLiteral("-==== ") + name + QStringLiteral(" DIR ===-");
        empty(1);
        QStringList names;
        ListFolderFiles(folder, names);
        r << names;
        empty(1);
        r << QStringLiteral("-==== /End ") + name + QStringLiteral(" DIR ===-");
        empty(2);
    }
    r << QStringLiteral("~~~/End Directory List~~~");
    empty(4);
    r << QStringLiteral("~~~Begin File Content List~~~");
    empty(2);
    const struct {
        const char* name;
        QString file;
        bool included;
    } files[] = {
        {"Liblist", p.liblist, true},
        {"Metamod", p.pluginsIni, true},
        {"Autoexec", p.autoexec, true},
        {"NTF_Config", p.ntfConfig, true},
        {"Plugin", p.adminmodConfigFolder + QStringLiteral("plugin.ini"), sel.plugin},
        {"Server", p.serverCfg, sel.server},
        {"ListenServer", p.listenServerCfg, sel.server},
        {"Bot", p.botTxt, sel.bot},
        {"Tarrow", p.botConfig, sel.tarrow},
        {"Default", p.botDefaultConfig, sel.tarrow},
    };
    for (const auto& f : files) {
        if (!f.included) continue;
        r << QStringLiteral("-==== Begin ") + QLatin1String(f.name) + QStringLiteral(" File ===-");
        empty(1);
        if (fileExists(f.file)) LoadListFromFile(f.file, r, false);
        empty(1);
        r << QStringLiteral("-==== /End ") + QLatin1String(f.name) + QStringLiteral(" File ===-");
        empty(2);
    }
    r << QStringLiteral("~~~/End File Content List~~~");
    empty(1);
}

namespace {

bool isBlankChar(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// One command of a line (the engine splits lines at ';'), masked when it sets a password.
QString maskCommand(const QString& command) {
    // The engine reads " SV_PASSWORD x" and "// rcon_password x" as well: compare a normalised form.
    QString n = command;
    qsizetype i = 0;
    while (i < n.size() && isBlankChar(n.at(i)))
        ++i;
    n = n.mid(i);
    bool commented = false;
    if (n.startsWith(QLatin1String("//"))) {
        commented = true;
        qsizetype j = 2;
        while (j < n.size() && isBlankChar(n.at(j)))
            ++j;
        n = QStringLiteral("//") + n.mid(j);
    }
    static const char* const texts[] = {"sv_password",     "//sv_password", "rcon_password",
                                        "//rcon_password", "setinfo",       "//setinfo"};
    QString out = command;
    bool masked = false;
    for (const char* t : texts) {
        const QLatin1String text(t);
        if (n.left(text.size()).compare(text, Qt::CaseInsensitive) == 0) {
            out = QString(text) + QStringLiteral(" ***Protected***");
            n = out;
            masked = true;
        }
    }
    if (masked) return out;
    // Any other cvar whose name speaks of a password (autohltv_pass, sv_proxypassword, ...).
    const QString body = commented ? n.mid(2) : n;
    qsizetype end = 0;
    while (end < body.size() && !isBlankChar(body.at(end)))
        ++end;
    QString name = body.left(end);
    name.remove(QLatin1Char('"'));
    if (end < body.size() && name.contains(QLatin1String("pass"), Qt::CaseInsensitive))
        return (commented ? QStringLiteral("//") : QString()) + name + QStringLiteral(" ***Protected***");
    return command;
}

} // namespace

QString maskPasswordLine(const QString& line) {
    // A file's byte-order mark does not hide its first line from the rule.
    const QString text = withoutByteOrderMark(line);
    const QStringList commands = text.split(QLatin1Char(';'));
    QStringList out;
    bool changed = false;
    for (qsizetype k = 0; k < commands.size(); ++k) {
        const QString& c = commands[k];
        QString m = maskCommand(c);
        if (m != c) {
            changed = true;
            // Later commands keep the blanks that separate them from the ';'.
            if (k > 0) {
                qsizetype i = 0;
                while (i < c.size() && isBlankChar(c.at(i)))
                    ++i;
                m = c.left(i) + m;
            }
        }
        out.append(m);
    }
    return changed ? out.join(QLatin1Char(';')) : line;
}

void maskPasswords(QStringList& report) {
    for (QString& line : report)
        line = maskPasswordLine(line);
}

void writeInfoDumpReport(const QString& folder, QStringList& report, const InstallPaths& paths,
                         const ComponentSettings& settings, const DumpSelection& selection,
                         const SystemReadings& readings) {
    assembleInfoDump(report, paths, selection, readings);
    maskPasswords(report);
    // A Linux server's dump also follows its loader chain (the Windows report stays as it always was).
    if (paths.platform == ServerPlatform::Linux)
        report << QString() << loaderChainText(followLoaderChain(paths, settings));
    // The dump is made afresh for the user: written safely, but not kept as a backup.
    writeFileBytes(folder + QStringLiteral("infodump.txt"), joinLinesCrLf(report), WriteMode::Output);
}

void copyStatusPages(const QString& folder, const QString& pluginFolder, const QString& longTime) {
    clearReadOnly(pluginFolder + QStringLiteral("tarrow.html"));
    clearReadOnly(pluginFolder + QStringLiteral("stats.html"));
    for (const char* page : {"stats", "tarrow"}) {
        const QString target = nativePath(folder + pageCopyName(QString::fromLatin1(page), longTime));
        const QString source = pluginFolder + QLatin1String(page) + QStringLiteral(".html");
        if (fileExists(source)) writeFileBytes(target, readFileBytes(source), WriteMode::Output);
    }
}

} // namespace tarrow
