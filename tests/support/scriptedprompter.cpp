#include "scriptedprompter.h"

namespace tarrow::test {

QStringList ScriptedPrompter::texts(const QString& kind) const {
    QStringList out;
    for (const Entry& e : log) {
        if (kind.isEmpty() || e.kind == kind) out.append(e.text);
    }
    return out;
}

} // namespace tarrow::test
