#pragma once

// Runs a program of this build (tarrow, systemd-analyze on its units) to its end, for the tests that
// call them as a shell would.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace tarrow::test {

struct ProgramResult {
    int code = -1; // -1: it did not start, crashed or ran past the time
    QString out, err;
};

// This thread's events go on meanwhile, so that a fake server of the test keeps answering.
inline ProgramResult runProgram(const QString& program, const QStringList& args,
                                const QProcessEnvironment& env, const QString& workDir = QString(),
                                int timeoutMs = 60000) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(program, args);
    if (!p.waitForStarted()) return {};
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace tarrow::test
