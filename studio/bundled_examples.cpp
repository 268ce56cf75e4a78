#include "bundled_examples.h"

#include <QCoreApplication>
#include <QDir>

namespace ezedudu {

QString BundledExamplesFolder()
{
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString& place : {QStringLiteral("/../share/ezedudu/examples"), QStringLiteral("/examples")})
        if (const QDir installed(program + place); installed.exists())
            return installed.absolutePath();
    return QStringLiteral(EZEDUDU_SOURCE_EXAMPLES);
}

} // namespace ezedudu
