#pragma once

// A systemctl of the test's own, first on PATH, with the user's unit folder inside the fixture, while
// the object lives; PATH and XDG_CONFIG_HOME are put back after.
#include "support/fixtureinstall.h"

#include <QByteArray>
#include <QFile>

namespace tarrow::test {

struct FakeSystemctl {
    // `script`: the body of a shell script, after its "#!/bin/sh" line.
    FakeSystemctl(FixtureInstall& fx, const QByteArray& script)
        : path(qgetenv("PATH")), config(qgetenv("XDG_CONFIG_HOME")) {
        fx.write("bin/systemctl", "#!/bin/sh\n" + script);
        QFile::setPermissions(fx.path("bin/systemctl"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", fx.path("bin").toUtf8() + ":" + path);
        qputenv("XDG_CONFIG_HOME", fx.path("config").toUtf8());
    }
    ~FakeSystemctl() {
        qputenv("PATH", path);
        if (config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config);
    }
    FakeSystemctl(const FakeSystemctl&) = delete;
    FakeSystemctl& operator=(const FakeSystemctl&) = delete;

    QByteArray path, config;
};

} // namespace tarrow::test
