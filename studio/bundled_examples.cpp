#include "bundled_examples.h"

#include <QCoreApplication>
#include <QDir>

namespace ezedudu {

QString BundledExamplesFolder()
{
    const QDir installed(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/ezedudu/examples"));
    if (installed.exists())
        return installed.absolutePath();
    return QStringLiteral(EZEDUDU_SOURCE_EXAMPLES);
}

} // namespace ezedudu
