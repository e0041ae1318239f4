#pragma once

#include "app/installpaths.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tarrow {

// One step of the engine's loader chain: a line of a loader file and the library it names.
struct ChainLink {
    QString file;      // composed path of the loader file
    int line = 0;      // 1-based
    QString statement; // the line as written
    QString library;   // native path of the library it names, resolved as the loader resolves it
    bool exists = false;
};

struct ChainProblem {
    QString file; // composed path
    int line = 0; // 0: the file as a whole
    QString text;
};

struct LoaderChain {
    ServerPlatform platform = ServerPlatform::Windows;
    QList<ChainLink> links;
    QList<ChainProblem> problems;
};

// Follows liblist.gam -> Metamod (plugins.ini, localinfo mm_gamedll) -> NeoTF (ntf_config.txt) -> the game
// library as the installation's engine does, and lists what would stop or confuse it. Reads only.
LoaderChain followLoaderChain(const InstallPaths& paths, const ComponentSettings& settings);

// The chain and its problems as lines of text, for the command line and the dump.
QStringList loaderChainText(const LoaderChain& chain);

} // namespace tarrow
