// convert: an old-format backup in the current format.

#include "cli.h"

#include "backupfile/document.h"

#include <memory>

namespace Cli {

int commandConvert(const QString &in, const QString &out)
{
    if (!in.toUpper().endsWith(QLatin1String(".GTB")))
        return usage(QStringLiteral("convert reads an old .GTB file"));
    auto document = std::make_unique<Document>();
    if (!openDocument(in, *document))
        return Failed;
    if (!document->save(out)) {
        failure(QStringLiteral("cannot write %1: %2").arg(out, document->errorText));
        return Failed;
    }
    return Done;
}

} // namespace Cli
